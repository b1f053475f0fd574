#include "IconFormat.h"

#include <cstdint>

#include "ByteOrder.h"

namespace {
uint32_t Be32(const std::string& D, size_t At) {
    return static_cast<uint32_t>(static_cast<unsigned char>(D[At])) << 24 |
           static_cast<uint32_t>(static_cast<unsigned char>(D[At + 1])) << 16 |
           static_cast<uint32_t>(static_cast<unsigned char>(D[At + 2])) << 8 |
           static_cast<uint32_t>(static_cast<unsigned char>(D[At + 3]));
}

const char kPngSignature[] = "\x89PNG\r\n\x1a\n";
constexpr int kMaxIconSide = 1024;

// The image's own header, which GDI reads, rather than the directory's sizes, which it does not.
bool ReadImage(const std::string& D, TIconImage& Image) {
    const std::string Head = D.substr(Image.Offset, 8);
    if (Head == std::string(kPngSignature, 8)) {
        // Signature, then the IHDR chunk: length 13, "IHDR", width, height (big-endian).
        if (Image.Bytes < 8 + 8 + 13 || D.compare(Image.Offset + 12, 4, "IHDR") != 0) return false;
        const uint32_t W = Be32(D, Image.Offset + 16), H = Be32(D, Image.Offset + 20);
        if (W == 0 || H == 0 || W > kMaxIconSide || H > kMaxIconSide) return false;
        Image.Png = true;
        Image.Width = static_cast<int>(W);
        Image.Height = static_cast<int>(H);
        Image.BitCount = 32;
        return true;
    }
    // A BITMAPINFOHEADER whose height counts the colour rows and the mask rows.
    if (Image.Bytes < 40) return false;
    const size_t At = Image.Offset;
    const uint32_t HeaderSize = Le32(D, At);
    const int32_t W = static_cast<int32_t>(Le32(D, At + 4));
    const int32_t DoubleH = static_cast<int32_t>(Le32(D, At + 8));
    const int Bits = Le16(D, At + 14);
    const uint32_t Compression = Le32(D, At + 16);
    const uint32_t Used = Le32(D, At + 32);
    if (HeaderSize < 40 || HeaderSize > Image.Bytes || Le16(D, At + 12) != 1 || Compression != 0) return false;
    if (W <= 0 || W > kMaxIconSide || DoubleH <= 0 || DoubleH % 2 != 0 || DoubleH / 2 > kMaxIconSide) return false;
    if (Bits != 1 && Bits != 4 && Bits != 8 && Bits != 16 && Bits != 24 && Bits != 32) return false;
    size_t Colors = 0;
    if (Bits <= 8) Colors = (Used == 0 || Used > (1u << Bits)) ? (1u << Bits) : Used;
    const size_t H = static_cast<size_t>(DoubleH) / 2;
    const size_t ColorStride = ((static_cast<size_t>(W) * Bits + 31) / 32) * 4;
    const size_t MaskStride = ((static_cast<size_t>(W) + 31) / 32) * 4;
    if (HeaderSize + Colors * 4 + (ColorStride + MaskStride) * H > Image.Bytes) return false;
    Image.Width = W;
    Image.Height = static_cast<int>(H);
    Image.BitCount = Bits;
    return true;
}
}  // namespace

bool ParseIconFile(const std::string& D, TIconImage& Best, std::string& Error) {
    Best = TIconImage{};
    Error = "Icon image is not valid";
    // ICONDIR: reserved 0, type 1 (icon, not cursor), count; then 16 bytes an entry.
    if (D.size() < 6 || Le16(D, 0) != 0 || Le16(D, 2) != 1) return false;
    const size_t Count = Le16(D, 4);
    if (Count == 0 || 6 + Count * 16 > D.size()) return false;
    for (size_t I = 0; I < Count; ++I) {
        const size_t Entry = 6 + I * 16;
        TIconImage Image;
        Image.Bytes = Le32(D, Entry + 8);
        Image.Offset = Le32(D, Entry + 12);
        if (Image.Offset < 6 + Count * 16 || Image.Offset > D.size() || Image.Bytes > D.size() - Image.Offset)
            return false;
        if (!ReadImage(D, Image)) return false;
        const long long Area = static_cast<long long>(Image.Width) * Image.Height;
        const long long BestArea = static_cast<long long>(Best.Width) * Best.Height;
        if (Area > BestArea || (Area == BestArea && Image.BitCount > Best.BitCount)) Best = Image;
    }
    Error.clear();
    return true;
}
