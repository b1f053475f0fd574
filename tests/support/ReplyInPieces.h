// A reply head as a slow server sends it: Step bytes per receive, the finder asked after each.
#pragma once

#include <string>

#include "HttpReply.h"

// The head's end as Finder reports it once the bytes so far hold it, else npos.
inline size_t FindHeadEndInPieces(const std::string& Reply, size_t Step, THeadEndFinder& Finder) {
    std::string Received;
    size_t End = std::string::npos;
    for (size_t At = 0; At < Reply.size() && End == std::string::npos; At += Step) {
        Received.append(Reply, At, Step);
        End = Finder.Find(Received);
    }
    return End;
}
