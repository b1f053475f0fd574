// A Windows or enhanced metafile, with or without the placeable header.
#include <cstddef>
#include <cstdint>
#include <string>

#include "MetafileFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    TMetafileLayout Layout;
    std::string Error;
    ParseMetafile(std::string(reinterpret_cast<const char*>(Data), Size), Layout, Error);
    return 0;
}
