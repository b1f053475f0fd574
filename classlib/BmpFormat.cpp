#include "BmpFormat.h"

namespace {
uint32_t Le32(const std::string& D, size_t At) {
    return static_cast<uint32_t>(static_cast<unsigned char>(D[At])) |
           static_cast<uint32_t>(static_cast<unsigned char>(D[At + 1])) << 8 |
           static_cast<uint32_t>(static_cast<unsigned char>(D[At + 2])) << 16 |
           static_cast<uint32_t>(static_cast<unsigned char>(D[At + 3])) << 24;
}
uint16_t Le16(const std::string& D, size_t At) {
    return static_cast<uint16_t>(static_cast<unsigned char>(D[At]) |
                                 static_cast<unsigned char>(D[At + 1]) << 8);
}
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
    if (HeaderSize < 12 || HeaderSize > D.size() - 14) return Fail("Bitmap image is not valid");
    long long Width, Height;
    int Planes;
    if (HeaderSize == 12) {  // the old OS/2 core header
        Width = Le16(D, 18);
        Height = Le16(D, 20);
        Planes = Le16(D, 22);
        L.BitCount = Le16(D, 24);
    } else {
        if (HeaderSize < 40) return Fail("Bitmap image is not valid");
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
    switch (L.Compression) {
        case kRgb: break;
        case kRle8: if (Bits != 8 || L.TopDown) return Fail("Bitmap image is not valid"); break;
        case kRle4: if (Bits != 4 || L.TopDown) return Fail("Bitmap image is not valid"); break;
        case kBitFields: if (Bits != 16 && Bits != 32) return Fail("Bitmap image is not valid"); break;
        default: return Fail("Unsupported bitmap compression");
    }

    size_t Extra = 0;  // colour masks of a plain info header
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
