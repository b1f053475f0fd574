// Picture files for tests, written and read byte by byte without the class library.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct TRgb {
    uint8_t R, G, B;
    bool operator==(const TRgb& O) const { return R == O.R && G == O.G && B == O.B; }
};

// Writes a bottom-up 24-bit BMP; Pixel gives the colour of (X, Y), Y counted from the top.
void WriteBmp24(const std::string& Path, int Width, int Height, const std::function<TRgb(int X, int Y)>& Pixel);
void WriteBytes(const std::string& Path, const std::string& Bytes);
// The whole content of a file; empty when it cannot be read.
std::string ReadBytes(const std::string& Path);

// A BMP file read back: its header fields and, for 24-bit files, its pixels.
struct TBmpFile {
    bool Valid = false;
    int Width = 0, Height = 0, BitCount = 0;
    std::vector<TRgb> Pixels;  // top row first
    TRgb At(int X, int Y) const { return Pixels.at(static_cast<size_t>(Y) * Width + X); }
};
TBmpFile ReadBmp(const std::string& Path);
