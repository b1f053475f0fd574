// An icon file: the image chosen from its directory.
#include <cstddef>
#include <cstdint>
#include <string>

#include "IconFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    TIconImage Best;
    std::string Error;
    ParseIconFile(std::string(reinterpret_cast<const char*>(Data), Size), Best, Error);
    return 0;
}
