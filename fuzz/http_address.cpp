// Addresses from the web site and Location headers: splitting, and resolving one that is followed
// against another.
#include <cstddef>
#include <cstdint>
#include <string>

#include "HttpReply.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const std::string Text(reinterpret_cast<const char*>(Data), Size);
    const size_t Break = Text.find('\n');
    const std::string Base = Text.substr(0, Break), Location = Break == std::string::npos ? "" : Text.substr(Break + 1);
    SplitHttpAddress(Text);
    if (IsHttpLocation(Location)) SplitHttpAddress(ResolveLocation(Base, Location));
    return 0;
}
