// Checks of a Windows bitmap file's headers before any of it is handed to GDI.
// Plain C++ without Windows headers, so that it can also be built and fuzzed natively.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "PictureBudget.h"

struct TBmpLayout {
    int Width = 0;
    int Height = 0;           // always positive; TopDown tells the row order
    bool TopDown = false;
    int BitCount = 0;
    uint32_t Compression = 0;
    size_t InfoOffset = 14;   // the info header (and colour table) start right after the file header
    size_t InfoBytes = 0;     // info header plus masks plus colour table
    size_t ColorsOffset = 0;  // the colour table: Colors entries of ColorBytes (blue, green, red[, 0])
    size_t Colors = 0;
    size_t ColorBytes = 4;
    size_t BitsOffset = 0;
    size_t BitsBytes = 0;     // bytes of pixel data available in the file
    size_t Stride = 0;        // bytes a row takes, padded to 4 (not for RLE, whose rows vary)
};

constexpr uint32_t kBmpRgb = 0, kBmpRle8 = 1, kBmpRle4 = 2, kBmpBitFields = 3;

// True when Data holds a bitmap we can safely give to GDI; otherwise false with Error set. A bitmap
// larger than the picture budget is "Bitmap image is too large". Data may be only the file's start, at
// least its headers and colour table, when FileSize gives the whole file's size.
bool ParseBmpLayout(const std::string& Data, TBmpLayout& Layout, std::string& Error, size_t FileSize = SIZE_MAX);
// How much of a file's start ParseBmpLayout needs at most: the longest headers and colour table.
constexpr size_t kBmpHeadBytes = 14 + 124 + 12 + 256 * 4;

// Writes the pixels of an RLE8 or RLE4 bitmap, blue, green and red from its colour table, into the rows
// that Row(Y) gives (Y counted from the top; BytesPerPixel bytes a pixel). Pixels the data skips or
// never reaches keep what they had; a run past a row's end or the picture's top is cut off there.
void ExpandRleBitmap(const std::string& Data, const TBmpLayout& Layout, int BytesPerPixel,
                     const std::function<unsigned char*(int Y)>& Row);

// The file and info headers of a bottom-up BI_RGB bitmap file of 24 or 32 bits a pixel, whose rows,
// padded to 4 bytes, follow them bottom row first.
std::string BmpFileHeaders(int Width, int Height, int BitCount);
// Such a file whole. Pixels holds the rows top to bottom, Stride bytes apart, blue first.
std::string WriteBmpFile(int Width, int Height, int BitCount, const unsigned char* Pixels, size_t Stride);
