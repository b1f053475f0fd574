// Names and texts from the site and its servers: cache file names, status lines, FTP ports.
#include <cstddef>
#include <cstdint>
#include <string>

#include "Webtexts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const std::string Text(reinterpret_cast<const char*>(Data), Size);
    if (IsSafeCacheFileName(Text) && Text.find_first_of("\\/:") != std::string::npos) __builtin_trap();
    IsShellAddress(Text);
    StatusLineOf(Text);
    int Port = 0;
    if (ParseFtpPort(Text, Port) && (Port < 1 || Port > 65535)) __builtin_trap();
    return 0;
}
