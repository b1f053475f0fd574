// Checks of a Windows bitmap file's headers before any of it is handed to GDI.
// Plain C++ without Windows headers, so that it can also be built and fuzzed natively.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct TBmpLayout {
    int Width = 0;
    int Height = 0;           // always positive; TopDown tells the row order
    bool TopDown = false;
    int BitCount = 0;
    uint32_t Compression = 0;
    size_t InfoOffset = 14;   // the info header (and colour table) start right after the file header
    size_t InfoBytes = 0;     // info header plus masks plus colour table
    size_t BitsOffset = 0;
    size_t BitsBytes = 0;     // bytes of pixel data available in the file
};

// Largest picture we agree to load: 16384 x 16384 and 128 million pixels in all.
constexpr int kMaxBitmapSide = 16384;
constexpr long long kMaxBitmapPixels = 128LL * 1024 * 1024;
// Most memory one picture's pixels may take, so that it fits a 32-bit process beside the rest of the
// program (and a second copy while a skin is made).
constexpr long long kMaxBitmapBytes = 256LL * 1024 * 1024;

// Bytes of a bitmap's pixels with its rows padded to 4 bytes; sides up to kMaxBitmapSide.
constexpr long long BitmapBytes(long long Width, long long Height, int BitCount) {
    return (Width * BitCount + 31) / 32 * 4 * Height;
}

// True when Data holds a bitmap we can safely give to GDI; otherwise false with Error set.
bool ParseBmpLayout(const std::string& Data, TBmpLayout& Layout, std::string& Error);

// A bottom-up BI_RGB bitmap file of 24 or 32 bits a pixel. Pixels holds the rows top to bottom, Stride
// bytes apart, blue first; the file's rows are padded to 4 bytes.
std::string WriteBmpFile(int Width, int Height, int BitCount, const unsigned char* Pixels, size_t Stride);
