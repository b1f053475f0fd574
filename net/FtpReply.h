// FTP control-connection replies and the PORT argument: plain code with no Windows header, so that
// it also builds natively (unit tests, fuzzing).
#pragma once

#include <string>

struct TFtpReply {
    int Code = 0;
    std::string Text;  // every line of the reply, joined by CR LF, without the last line end
    // A reply of 100 to 199 ("120 Service ready in 2 minutes"): the final reply to the command follows.
    bool Preliminary() const { return Code >= 100 && Code <= 199; }
};

// Collects the bytes of a control connection and hands out whole replies. A reply is one line
// "123 text", or "123-text" followed by any lines up to one that starts with "123 " (the same code).
// Lines outside a reply that do not start with a code are skipped.
class TFtpReplyReader {
public:
    void Feed(const char* Data, size_t Size);
    // Takes the next complete reply; false while none is complete.
    bool Next(TFtpReply& Reply);
    // More than kMaxReplyBytes without a complete reply: the peer is not an FTP server.
    bool Overflowed() const { return FPending.size() - FStart > kMaxReplyBytes; }
    static constexpr size_t kMaxReplyBytes = 65536;
    size_t Visited() const { return FVisited; }  // bytes looked at, all calls together

private:
    // Each call goes on where the last one stopped: a reply that arrives a byte at a time is still
    // read in time linear in its length.
    void Compact();
    std::string FPending;
    size_t FStart = 0;     // where the reply in progress (or the bytes not yet read) starts
    size_t FLine = 0;      // where the next line starts
    size_t FSearched = 0;  // how far a line end was looked for
    size_t FVisited = 0;
    std::string FCode, FText;  // the reply in progress: its code (empty before one starts), its lines
};

// "h1,h2,h3,h4,p1,p2": an IPv4 address (host byte order) and a port as six decimal bytes, high first.
std::string FormatPortArgument(unsigned long Address, unsigned short Port);
