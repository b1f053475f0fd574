// Checks of an icon file's directory and images before any of it is handed to GDI.
// Plain C++ without Windows headers, so that it can also be built and fuzzed natively.
#pragma once

#include <cstddef>
#include <string>

// One image of an icon file: a DIB (colour bits then the AND mask) or, in newer icons, a PNG file.
struct TIconImage {
    int Width = 0;
    int Height = 0;
    int BitCount = 0;  // 32 for PNG images
    bool Png = false;
    size_t Offset = 0;
    size_t Bytes = 0;
};

// True when every image of the icon file in Data lies inside it and is well formed; Best is then the
// image that draws best when stretched: the largest, and of those the one with the most colours.
// Otherwise false with Error set.
bool ParseIconFile(const std::string& Data, TIconImage& Best, std::string& Error);
