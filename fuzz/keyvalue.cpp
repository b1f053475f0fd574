// The site's key-value texts: the first line is the key, the first byte the occurrence.
#include <cstddef>
#include <cstdint>
#include <string>

#include "Keyvaluetext.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size == 0) return 0;
    const std::string Text(reinterpret_cast<const char*>(Data + 1), Size - 1);
    const size_t Break = Text.find('\n');
    const std::string Key = Text.substr(0, Break);
    if (Key.empty() || Break == std::string::npos) return 0;
    const std::string Body = Text.substr(Break + 1);
    const int Index = Data[0] % 4;
    const std::string Value = GetKeyValue(Body, Key, Index);
    if (Value.size() > Text.size()) __builtin_trap();
    // A list read in one pass gives what reading each occurrence gives.
    if (GetKeyValues(Body, Key, 4)[Index] != Value) __builtin_trap();
    return 0;
}
