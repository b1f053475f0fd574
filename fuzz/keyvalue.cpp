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
    const std::string Value = GetKeyValue(Text.substr(Break + 1), Key, Data[0] % 4);
    if (Value.size() > Text.size()) __builtin_trap();
    return 0;
}
