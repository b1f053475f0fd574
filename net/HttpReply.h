// What the HTTP client sends and how it reads a reply head: plain functions with no Windows header,
// so that they also build natively (unit tests, fuzzing).
#pragma once

#include <string>
#include <vector>

// Where a request goes. Error is empty when the address could be used.
struct THttpAddress {
    enum TError { None, EmptyUrl, SecureScheme, NoHost, BadPort };
    TError Error = None;
    std::string Host;
    int Port = 80;
    std::string Path = "/";
};

// Splits an address: the host part follows "//" (or starts the address when it has none) and ends at
// the next "/"; the path is the rest, cut to 256 characters, "/" when empty; the port follows ":" in
// the host part, else 80.
THttpAddress SplitHttpAddress(const std::string& Url);

// The absolute address that a Location header names, seen from the address that was requested.
std::string ResolveLocation(const std::string& BaseUrl, const std::string& Location);

// Whether a redirect to Location is followed: only when it stays on the web, an address of the http
// scheme or one without a scheme. Any other (ftp:, file:, https:, mailto:) leaves the redirect reply
// as the final one, which is no success.
bool IsHttpLocation(const std::string& Location);

// The request bytes: request line, our fixed headers, Content-Length and the data for PUT.
std::string BuildHttpRequest(const std::string& Method, const std::string& Host, const std::string& Path,
                             const std::string& Data, bool WithBody);

// The offset just past the empty line that ends a reply head (lines may end with CR LF or LF), or
// std::string::npos while the head is not complete.
size_t FindReplyHeadEnd(const std::string& Data);

// FindReplyHeadEnd for bytes that arrive piece by piece: each call goes on where the last one
// stopped, so every byte is looked at once, however finely the head is cut up.
class THeadEndFinder {
public:
    // Data is what was received so far; it only grows from one call to the next.
    size_t Find(const std::string& Data);
    size_t Visited() const { return FVisited; }  // bytes looked at, all calls together

private:
    size_t FLineStart = 0, FSearched = 0, FVisited = 0;
};

struct THttpReplyHead {
    int StatusCode = 0;          // second word of the status line; 0 when missing or not a number
    long long ContentLength = -1;  // -1 when absent or not a number
    std::string Location;
    std::vector<std::pair<std::string, std::string>> Fields;  // name, trimmed value, in order
};

// Parses a head as FindReplyHeadEnd delimits it (the empty line may be included or not).
THttpReplyHead ParseReplyHead(const std::string& Head);

// What becomes of Count bytes that arrive after Received bytes of a body whose stated length is
// ContentLength (-1 when none) and which may be at most Limit bytes long. Asked with Count 0 before
// any byte, it tells a stated length beyond the limit, and an empty body, at once.
struct TBodyPiece {
    size_t Take = 0;        // the bytes that belong to the body; nothing past its stated length
    bool TooLarge = false;  // the body would be larger than Limit: the request fails, nothing is taken
    bool Complete = false;  // the body has all its stated length: nothing more is read
};
TBodyPiece TakeBodyPiece(long long ContentLength, long long Limit, long long Received, size_t Count);
