// How large a picture may be, whatever its kind, sampling or depth and whatever its file's size. The
// budget is in pixels: a real photo of up to 8000 x 8000 loads, previews and becomes a skin, and a
// few bytes that claim more are refused before any of its pixels take memory.
// Plain C++ without Windows headers, so that the parsers that use it build natively too.
#pragma once

// 64 megapixels, an 8000 x 8000 photo: held at 3 or 4 bytes a pixel, at most 256 MB.
constexpr long long kMaxPicturePixels = 8000LL * 8000;
// The longest side: JPEG's own limit, which no real picture of another kind passes either.
constexpr long long kMaxPictureSide = 65500;

constexpr bool FitsPictureBudget(long long Width, long long Height) {
    return Width <= kMaxPictureSide && Height <= kMaxPictureSide && Width * Height <= kMaxPicturePixels;
}

// The largest file a picture within the budget can be: a bitmap of 4 bytes a pixel (or of 3, its rows
// padded) behind its longest headers and colour table.
constexpr long long kMaxPictureFileBytes = kMaxPicturePixels * 4 + 64 * 1024;
