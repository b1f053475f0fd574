#include "BmpFormat.h"

#include <algorithm>

#include "ByteOrder.h"

namespace {
constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3;
}  // namespace

bool ParseBmpLayout(const std::string& D, TBmpLayout& L, std::string& Error) {
    L = TBmpLayout{};
    auto Fail = [&Error](const char* Why) {
        Error = Why;
        return false;
    };
    if (D.size() < 14 + 12 || D[0] != 'B' || D[1] != 'M') return Fail("Bitmap image is not valid");
    const uint32_t BitsOffset = Le32(D, 10);
    const uint32_t HeaderSize = Le32(D, 14);
    // Only the headers Windows defines: core (12), info (40), and the info header grown by its masks
    // (52, 56) and by V4 and V5 (108, 124). Windows takes a size between them for one of them and
    // reads its masks past the end of what it was given.
    const bool KnownHeader = HeaderSize == 12 || HeaderSize == 40 || HeaderSize == 52 || HeaderSize == 56 ||
                             HeaderSize == 108 || HeaderSize == 124;
    if (!KnownHeader || HeaderSize > D.size() - 14) return Fail("Bitmap image is not valid");
    long long Width, Height;
    int Planes;
    if (HeaderSize == 12) {  // the old OS/2 core header
        Width = Le16(D, 18);
        Height = Le16(D, 20);
        Planes = Le16(D, 22);
        L.BitCount = Le16(D, 24);
    } else {
        Width = static_cast<int32_t>(Le32(D, 18));
        Height = static_cast<int32_t>(Le32(D, 22));
        Planes = Le16(D, 26);
        L.BitCount = Le16(D, 28);
        L.Compression = Le32(D, 30);
    }
    if (Planes != 1) return Fail("Bitmap image is not valid");
    if (Height < 0) {
        L.TopDown = true;
        Height = -Height;
    }
    if (Width <= 0 || Height <= 0) return Fail("Bitmap image is not valid");
    if (Width > kMaxBitmapSide || Height > kMaxBitmapSide || Width * Height > kMaxBitmapPixels)
        return Fail("Bitmap image is too large");
    L.Width = static_cast<int>(Width);
    L.Height = static_cast<int>(Height);

    const int Bits = L.BitCount;
    if (Bits != 1 && Bits != 4 && Bits != 8 && Bits != 16 && Bits != 24 && Bits != 32)
        return Fail("Bitmap image is not valid");
    // Loaded into 24 bits a pixel, or 32 for a 32-bit file: a few bytes of RLE may claim hundreds of MB.
    if (BitmapBytes(Width, Height, Bits == 32 ? 32 : 24) > kMaxBitmapBytes) return Fail("Bitmap image is too large");
    switch (L.Compression) {
        case kRgb: break;
        case kRle8: if (Bits != 8 || L.TopDown) return Fail("Bitmap image is not valid"); break;
        case kRle4: if (Bits != 4 || L.TopDown) return Fail("Bitmap image is not valid"); break;
        case kBitFields: if (Bits != 16 && Bits != 32) return Fail("Bitmap image is not valid"); break;
        default: return Fail("Unsupported bitmap compression");
    }

    size_t Extra = 0;  // colour masks after a plain info header; the longer headers hold them
    if (L.Compression == kBitFields && HeaderSize == 40) Extra = 12;
    size_t Colors = 0;
    if (Bits <= 8) {
        uint32_t Used = HeaderSize >= 40 ? Le32(D, 46) : 0;
        const uint32_t Max = 1u << Bits;
        Colors = (Used == 0 || Used > Max) ? Max : Used;
    }
    const size_t EntryBytes = HeaderSize == 12 ? 3 : 4;
    L.InfoBytes = HeaderSize + Extra + Colors * EntryBytes;
    if (L.InfoBytes > D.size() - 14) return Fail("Bitmap image is not valid");
    if (BitsOffset < 14 + L.InfoBytes || BitsOffset >= D.size()) return Fail("Bitmap image is not valid");
    L.BitsOffset = BitsOffset;
    L.BitsBytes = D.size() - BitsOffset;

    if (L.Compression == kRgb || L.Compression == kBitFields) {
        const unsigned long long Stride = ((static_cast<unsigned long long>(L.Width) * Bits + 31) / 32) * 4;
        if (Stride * static_cast<unsigned long long>(L.Height) > L.BitsBytes)
            return Fail("Bitmap image is not valid");  // cut off before its last row
        L.BitsBytes = static_cast<size_t>(Stride * L.Height);
    }
    return true;
}

namespace {
void PutLe32(std::string& D, size_t At, uint32_t V) {
    for (int I = 0; I < 4; ++I) D[At + I] = static_cast<char>(V >> (8 * I));
}
void PutLe16(std::string& D, size_t At, uint16_t V) {
    D[At] = static_cast<char>(V);
    D[At + 1] = static_cast<char>(V >> 8);
}
}  // namespace

std::string WriteBmpFile(int Width, int Height, int BitCount, const unsigned char* Pixels, size_t Stride) {
    const size_t kHeaders = 14 + 40;
    const size_t PixelBytes = static_cast<size_t>(Width) * (BitCount / 8);
    const size_t FileStride = (PixelBytes + 3) & ~static_cast<size_t>(3);
    std::string D(kHeaders + FileStride * Height, '\0');
    D[0] = 'B';
    D[1] = 'M';
    PutLe32(D, 2, static_cast<uint32_t>(D.size()));
    PutLe32(D, 10, kHeaders);
    PutLe32(D, 14, 40);
    PutLe32(D, 18, static_cast<uint32_t>(Width));
    PutLe32(D, 22, static_cast<uint32_t>(Height));  // positive: bottom row first
    PutLe16(D, 26, 1);
    PutLe16(D, 28, static_cast<uint16_t>(BitCount));
    PutLe32(D, 30, kRgb);
    PutLe32(D, 34, static_cast<uint32_t>(FileStride * Height));
    PutLe32(D, 38, 3780);  // 96 dots an inch, in dots a metre
    PutLe32(D, 42, 3780);
    for (int Y = 0; Y < Height; ++Y) {
        const unsigned char* Row = Pixels + static_cast<size_t>(Height - 1 - Y) * Stride;
        std::copy(Row, Row + PixelBytes, D.begin() + kHeaders + FileStride * Y);
    }
    return D;
}
