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

// How a JPEG's rows are given: 3 bytes a pixel (red, green, blue) or 4 (cyan, magenta, yellow, black).
// RGB is stored as YCbCr, its colour at half resolution both ways (4:2:0) or, as editors write at high
// quality, at full resolution (4:4:4).
enum TJpegSamples { jsRgb, jsRgbFullColour, jsCmyk };
// A baseline JPEG (CMYK with Adobe's marker) whose row Y RowAt fills, rows in order from the top;
// progressive, in libjpeg's usual scans, and arithmetic-coded instead of Huffman-coded, when asked.
std::string EncodeJpeg(int Width, int Height, TJpegSamples Samples,
                       const std::function<void(int Y, std::vector<unsigned char>& Row)>& RowAt, int Quality = 95,
                       bool Progressive = false, bool Arithmetic = false);
// A progressive JPEG of one grey made of its DC scan alone, written Scans times over (a hostile file
// repeats it thousands of times), 4:2:0 or with its colour at full resolution (4:4:4). Each scan's data
// is complete, so libjpeg has nothing to warn of but the repetition; the file is about Width x Height /
// 340 bytes a scan (4:2:0).
std::string DcOnlyJpeg(int Width, int Height, int Scans, bool FullColour = false);
// Jpeg with its frame (of whatever kind) claiming Width x Height.
std::string ClaimingSize(std::string Jpeg, int Width, int Height);
// A file of the segments of Jpeg up to its first scan, its frame claiming Width x Height, then that scan's
// header with one byte of data, Scans times: how a hostile file is made from any progressive one.
std::string RepeatedFirstScan(const std::string& Jpeg, int Width, int Height, int Scans);
// An 8-bit RLE bitmap of Width x Height whose data ends the picture at once: a few bytes that claim
// Width x Height pixels.
std::string EmptyRle8Bmp(int Width, int Height);
// Metafiles filled with one colour (0x00BBGGRR): an enhanced one of Width x Height pixels, and a Windows
// one whose window is Width x Height, behind a placeable header when asked (bounds of Width x Height
// tens of a unit at 1000 units an inch: 96 x 48 pixels for 100 x 50).
std::string FilledEmf(int Width, int Height, uint32_t Color);
std::string FilledWmf(int Width, int Height, uint32_t Color, bool Placeable);
// The whole content of a file; empty when it cannot be read.
std::string ReadBytes(const std::string& Path);

// A BMP file read back: its header fields and, for 24-bit files, its pixels.
struct TBmpFile {
    bool Valid = false;
    int Width = 0, Height = 0, BitCount = 0;
    std::vector<TRgb> Pixels;  // top row first
    TRgb At(int X, int Y) const { return Pixels.at(static_cast<size_t>(Y) * Width + X); }
};
// Without Pixels only the headers are read, and the file's size is checked against them.
TBmpFile ReadBmp(const std::string& Path, bool Pixels = true);
