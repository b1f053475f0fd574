// A bitmap file: what its headers promise must lie inside the file.
#include <cstddef>
#include <cstdint>
#include <string>

#include "BmpFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const std::string File(reinterpret_cast<const char*>(Data), Size);
    TBmpLayout Layout;
    std::string Error;
    if (ParseBmpLayout(File, Layout, Error) &&
        (Layout.BitsOffset + Layout.BitsBytes > File.size() || 14 + Layout.InfoBytes > File.size()))
        __builtin_trap();
    return 0;
}
