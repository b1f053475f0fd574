// A control connection's bytes, fed in pieces of the size the first byte gives.
#include <cstddef>
#include <cstdint>

#include "FtpReply.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size == 0) return 0;
    const size_t Step = Data[0] % 16 + 1;
    TFtpReplyReader Reader;
    TFtpReply Reply;
    for (size_t At = 1; At < Size; At += Step) {
        Reader.Feed(reinterpret_cast<const char*>(Data) + At, At + Step <= Size ? Step : Size - At);
        while (Reader.Next(Reply)) {
            if (Reply.Code < 0 || Reply.Code > 999) __builtin_trap();
        }
        if (Reader.Overflowed()) break;
    }
    if (Reader.Visited() > Size) __builtin_trap();
    return 0;
}
