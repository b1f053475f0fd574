// A reply head as a server sends it, in pieces of the size the first byte gives.
#include <cstddef>
#include <cstdint>
#include <string>

#include "HttpReply.h"
#include "ReplyInPieces.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    if (Size == 0) return 0;
    const size_t Step = Data[0] % 16 + 1;
    const std::string Reply(reinterpret_cast<const char*>(Data + 1), Size - 1);
    THeadEndFinder Finder;
    const size_t End = FindHeadEndInPieces(Reply, Step, Finder);
    if (End != FindReplyHeadEnd(Reply) || Finder.Visited() > Reply.size()) __builtin_trap();
    ParseReplyHead(End == std::string::npos ? Reply : Reply.substr(0, End));
    return 0;
}
