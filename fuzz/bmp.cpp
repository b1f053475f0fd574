// A bitmap file: what its headers promise must lie inside the file, and RLE data expands inside the
// picture it belongs to.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "BmpFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const std::string File(reinterpret_cast<const char*>(Data), Size);
    TBmpLayout Layout;
    std::string Error;
    if (!ParseBmpLayout(File, Layout, Error)) return 0;
    if (Layout.BitsOffset + Layout.BitsBytes > File.size() || 14 + Layout.InfoBytes > File.size()) __builtin_trap();
    const bool Rle = Layout.Compression == kBmpRle8 || Layout.Compression == kBmpRle4;
    if (Rle && static_cast<long long>(Layout.Width) * Layout.Height <= (1 << 20)) {
        std::vector<unsigned char> Pixels(static_cast<size_t>(Layout.Width) * Layout.Height * 3);
        ExpandRleBitmap(File, Layout, 3, [&](int Y) {
            if (Y < 0 || Y >= Layout.Height) __builtin_trap();
            return Pixels.data() + static_cast<size_t>(Y) * Layout.Width * 3;
        });
    }
    return 0;
}
