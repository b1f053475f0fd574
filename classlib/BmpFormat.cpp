#include "BmpFormat.h"

#include <algorithm>

#include "ByteOrder.h"

bool ParseBmpLayout(const std::string& D, TBmpLayout& L, std::string& Error, size_t FileSize) {
    L = TBmpLayout{};
    if (FileSize == SIZE_MAX) FileSize = D.size();
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
    if (!FitsPictureBudget(Width, Height)) return Fail("Bitmap image is too large");
    L.Width = static_cast<int>(Width);
    L.Height = static_cast<int>(Height);

    const int Bits = L.BitCount;
    if (Bits != 1 && Bits != 4 && Bits != 8 && Bits != 16 && Bits != 24 && Bits != 32)
        return Fail("Bitmap image is not valid");
    switch (L.Compression) {
        case kBmpRgb: break;
        case kBmpRle8: if (Bits != 8 || L.TopDown) return Fail("Bitmap image is not valid"); break;
        case kBmpRle4: if (Bits != 4 || L.TopDown) return Fail("Bitmap image is not valid"); break;
        case kBmpBitFields: if (Bits != 16 && Bits != 32) return Fail("Bitmap image is not valid"); break;
        default: return Fail("Unsupported bitmap compression");
    }

    size_t Extra = 0;  // colour masks after a plain info header; the longer headers hold them
    if (L.Compression == kBmpBitFields && HeaderSize == 40) Extra = 12;
    size_t Colors = 0;
    if (Bits <= 8) {
        uint32_t Used = HeaderSize >= 40 ? Le32(D, 46) : 0;
        const uint32_t Max = 1u << Bits;
        Colors = (Used == 0 || Used > Max) ? Max : Used;
    }
    L.ColorBytes = HeaderSize == 12 ? 3 : 4;
    L.ColorsOffset = L.InfoOffset + HeaderSize + Extra;
    L.Colors = Colors;
    L.InfoBytes = HeaderSize + Extra + Colors * L.ColorBytes;
    if (L.InfoBytes > D.size() - 14) return Fail("Bitmap image is not valid");
    if (BitsOffset < 14 + L.InfoBytes || BitsOffset >= FileSize) return Fail("Bitmap image is not valid");
    L.BitsOffset = BitsOffset;
    L.BitsBytes = FileSize - BitsOffset;

    if (L.Compression == kBmpRgb || L.Compression == kBmpBitFields) {
        const unsigned long long Stride = ((static_cast<unsigned long long>(L.Width) * Bits + 31) / 32) * 4;
        if (Stride * static_cast<unsigned long long>(L.Height) > L.BitsBytes)
            return Fail("Bitmap image is not valid");  // cut off before its last row
        L.BitsBytes = static_cast<size_t>(Stride * L.Height);
        L.Stride = static_cast<size_t>(Stride);
    }
    return true;
}

void ExpandRleBitmap(const std::string& D, const TBmpLayout& L, int BytesPerPixel,
                     const std::function<unsigned char*(int Y)>& Row) {
    const bool Four = L.Compression == kBmpRle4;
    size_t At = L.BitsOffset;
    const size_t End = L.BitsOffset + L.BitsBytes;
    long long X = 0, Y = 0;  // Y counts rows from the bottom, as the data does
    unsigned char* Line = nullptr;
    long long LineY = -1;
    auto Put = [&](unsigned Index) {
        if (X < L.Width && Y < L.Height) {
            if (LineY != Y) {
                Line = Row(L.Height - 1 - static_cast<int>(Y));
                LineY = Y;
            }
            unsigned char* P = Line + X * BytesPerPixel;
            if (Index < L.Colors) {
                const size_t Entry = L.ColorsOffset + Index * L.ColorBytes;
                P[0] = static_cast<unsigned char>(D[Entry]);
                P[1] = static_cast<unsigned char>(D[Entry + 1]);
                P[2] = static_cast<unsigned char>(D[Entry + 2]);
            } else {
                P[0] = P[1] = P[2] = 0;
            }
        }
        ++X;
    };
    while (At + 2 <= End && Y < L.Height) {
        const unsigned Count = static_cast<unsigned char>(D[At]), Value = static_cast<unsigned char>(D[At + 1]);
        At += 2;
        if (Count > 0) {  // a run of one index, or of two alternating ones
            for (unsigned I = 0; I < Count && X < L.Width; ++I) Put(Four ? (I % 2 ? Value & 0xF : Value >> 4) : Value);
            continue;
        }
        if (Value == 0) {  // end of the row
            X = 0;
            ++Y;
        } else if (Value == 1) {  // end of the picture
            return;
        } else if (Value == 2) {  // move right and up
            if (At + 2 > End) return;
            X += static_cast<unsigned char>(D[At]);
            Y += static_cast<unsigned char>(D[At + 1]);
            At += 2;
        } else {  // Value indices as they are, padded to a whole word
            const size_t Bytes = Four ? (Value + 1) / 2 : Value;
            if (At + Bytes > End) return;
            for (unsigned I = 0; I < Value && X < L.Width; ++I) {
                const unsigned Byte = static_cast<unsigned char>(D[At + (Four ? I / 2 : I)]);
                Put(Four ? (I % 2 ? Byte & 0xF : Byte >> 4) : Byte);
            }
            At += (Bytes + 1) & ~static_cast<size_t>(1);
        }
    }
}

namespace {
void PutLe32(std::string& D, size_t At, uint32_t V) {
    for (int I = 0; I < 4; ++I) D[At + I] = static_cast<char>(V >> (8 * I));
}
void PutLe16(std::string& D, size_t At, uint16_t V) {
    D[At] = static_cast<char>(V);
    D[At + 1] = static_cast<char>(V >> 8);
}

size_t FileStride(int Width, int BitCount) {
    return (static_cast<size_t>(Width) * (BitCount / 8) + 3) & ~static_cast<size_t>(3);
}
}  // namespace

std::string BmpFileHeaders(int Width, int Height, int BitCount) {
    const size_t kHeaders = 14 + 40;
    const size_t PixelBytes = FileStride(Width, BitCount) * Height;
    std::string D(kHeaders, '\0');
    D[0] = 'B';
    D[1] = 'M';
    PutLe32(D, 2, static_cast<uint32_t>(kHeaders + PixelBytes));
    PutLe32(D, 10, kHeaders);
    PutLe32(D, 14, 40);
    PutLe32(D, 18, static_cast<uint32_t>(Width));
    PutLe32(D, 22, static_cast<uint32_t>(Height));  // positive: bottom row first
    PutLe16(D, 26, 1);
    PutLe16(D, 28, static_cast<uint16_t>(BitCount));
    PutLe32(D, 30, kBmpRgb);
    PutLe32(D, 34, static_cast<uint32_t>(PixelBytes));
    PutLe32(D, 38, 3780);  // 96 dots an inch, in dots a metre
    PutLe32(D, 42, 3780);
    return D;
}

std::string WriteBmpFile(int Width, int Height, int BitCount, const unsigned char* Pixels, size_t Stride) {
    std::string D = BmpFileHeaders(Width, Height, BitCount);
    const size_t Headers = D.size(), RowBytes = static_cast<size_t>(Width) * (BitCount / 8),
                 Padded = FileStride(Width, BitCount);
    D.resize(Headers + Padded * Height, '\0');
    for (int Y = 0; Y < Height; ++Y) {
        const unsigned char* Row = Pixels + static_cast<size_t>(Height - 1 - Y) * Stride;
        std::copy(Row, Row + RowBytes, D.begin() + Headers + Padded * Y);
    }
    return D;
}
