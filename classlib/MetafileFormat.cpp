#include "MetafileFormat.h"

#include <cstdint>
#include <cstdlib>

#include "ByteOrder.h"
#include "PictureBudget.h"

namespace {
int16_t Int16(const std::string& D, size_t At) { return static_cast<int16_t>(Le16(D, At)); }
int32_t Int32(const std::string& D, size_t At) { return static_cast<int32_t>(Le32(D, At)); }

constexpr uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr size_t kPlaceableBytes = 22;
constexpr size_t kWmfHeaderBytes = 18;
constexpr uint16_t kWmfSetWindowExt = 0x020C;
constexpr uint32_t kEmfHeader = 1, kEmfEof = 14, kEmfSignature = 0x464D4520;  // " EMF"
constexpr size_t kEmfHeaderBytes = 88;
constexpr int kHundredthMmPerInch = 2540, kPixelsPerInch = 96;

bool SetSize(TMetafileLayout& L, long long Width, long long Height) {
    if (Width <= 0 || Height <= 0 || Width > kMaxPictureSide || Height > kMaxPictureSide) return false;
    L.Width = static_cast<int>(Width);
    L.Height = static_cast<int>(Height);
    if (L.MMWidth == 0) {
        L.MMWidth = static_cast<int>(Width * kHundredthMmPerInch / kPixelsPerInch);
        L.MMHeight = static_cast<int>(Height * kHundredthMmPerInch / kPixelsPerInch);
    }
    return true;
}

bool ParseEnhanced(const std::string& D, TMetafileLayout& L) {
    const uint32_t HeaderSize = Le32(D, 4), Bytes = Le32(D, 48);
    if (HeaderSize < kEmfHeaderBytes || HeaderSize % 4 != 0 || Le32(D, 40) != kEmfSignature) return false;
    if (Bytes < HeaderSize || Bytes > D.size()) return false;
    size_t At = 0;
    for (;;) {
        if (Bytes - At < 8) return false;
        const uint32_t Type = Le32(D, At), Size = Le32(D, At + 4);
        if (Size < 8 || Size % 4 != 0 || Size > Bytes - At) return false;
        At += Size;
        if (Type == kEmfEof) break;
    }
    L.Enhanced = true;
    L.RecordsOffset = 0;
    L.RecordsBytes = At;
    const long long FrameW = static_cast<long long>(Int32(D, 32)) - Int32(D, 24);
    const long long FrameH = static_cast<long long>(Int32(D, 36)) - Int32(D, 28);
    if (FrameW > 0 && FrameH > 0) {
        L.MMWidth = static_cast<int>(FrameW > INT32_MAX ? INT32_MAX : FrameW);
        L.MMHeight = static_cast<int>(FrameH > INT32_MAX ? INT32_MAX : FrameH);
        return SetSize(L, (FrameW * kPixelsPerInch + kHundredthMmPerInch / 2) / kHundredthMmPerInch,
                       (FrameH * kPixelsPerInch + kHundredthMmPerInch / 2) / kHundredthMmPerInch);
    }
    // The bounds are inclusive device pixels.
    return SetSize(L, static_cast<long long>(Int32(D, 16)) - Int32(D, 8) + 1,
                   static_cast<long long>(Int32(D, 20)) - Int32(D, 12) + 1);
}

// The header and records of a plain metafile at Start; sizes count 16-bit words.
bool ParseWindows(const std::string& D, size_t Start, TMetafileLayout& L, long long& ExtentX, long long& ExtentY) {
    if (D.size() - Start < kWmfHeaderBytes) return false;
    const uint16_t Type = Le16(D, Start), HeaderWords = Le16(D, Start + 2);
    if ((Type != 1 && Type != 2) || HeaderWords != kWmfHeaderBytes / 2) return false;
    const unsigned long long Bytes = 2ULL * Le32(D, Start + 6);
    if (Bytes < kWmfHeaderBytes || Bytes > D.size() - Start) return false;
    size_t At = Start + kWmfHeaderBytes;
    const size_t End = Start + static_cast<size_t>(Bytes);
    for (;;) {
        if (End - At < 6) return false;
        const unsigned long long Size = 2ULL * Le32(D, At);
        const uint16_t Function = Le16(D, At + 4);
        if (Size < 6 || Size > End - At) return false;
        if (Function == kWmfSetWindowExt && Size >= 10 && ExtentX == 0) {
            ExtentY = std::llabs(Int16(D, At + 6));
            ExtentX = std::llabs(Int16(D, At + 8));
        }
        At += static_cast<size_t>(Size);
        if (Function == 0) break;
    }
    L.RecordsOffset = Start;
    L.RecordsBytes = At - Start;
    return true;
}
}  // namespace

bool ParseMetafile(const std::string& D, TMetafileLayout& L, std::string& Error) {
    L = TMetafileLayout{};
    Error = "Metafile is not valid";
    bool Valid = false;
    long long ExtentX = 0, ExtentY = 0;
    if (D.size() >= kEmfHeaderBytes && Le32(D, 0) == kEmfHeader) {
        Valid = ParseEnhanced(D, L);
    } else if (D.size() >= kPlaceableBytes && Le32(D, 0) == kPlaceableKey) {
        // Bounding box in logical units, and how many of those make an inch.
        const long long W = std::llabs(static_cast<long long>(Int16(D, 10)) - Int16(D, 6));
        const long long H = std::llabs(static_cast<long long>(Int16(D, 12)) - Int16(D, 8));
        const long long Inch = Le16(D, 14);
        Valid = Inch > 0 && ParseWindows(D, kPlaceableBytes, L, ExtentX, ExtentY);
        if (Valid) {
            L.MMWidth = static_cast<int>(W * kHundredthMmPerInch / Inch);
            L.MMHeight = static_cast<int>(H * kHundredthMmPerInch / Inch);
            Valid = SetSize(L, (W * kPixelsPerInch + Inch / 2) / Inch, (H * kPixelsPerInch + Inch / 2) / Inch);
        }
    } else {
        // Without a placeable header the only size there is is the window extent the records set.
        Valid = ParseWindows(D, 0, L, ExtentX, ExtentY) && SetSize(L, ExtentX, ExtentY);
    }
    if (Valid) Error.clear();
    return Valid;
}
