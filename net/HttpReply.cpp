#include "HttpReply.h"

#include <algorithm>
#include <cctype>

namespace {
constexpr size_t kMaxPathLength = 256;

bool IsBlank(char C) { return static_cast<unsigned char>(C) <= 32; }

std::string Trimmed(const std::string& S) {
    size_t First = 0, Last = S.size();
    while (First < Last && IsBlank(S[First])) ++First;
    while (Last > First && IsBlank(S[Last - 1])) --Last;
    return S.substr(First, Last - First);
}

bool SameAscii(const std::string& A, const std::string& B) {
    if (A.size() != B.size()) return false;
    for (size_t I = 0; I < A.size(); ++I)
        if (std::tolower(static_cast<unsigned char>(A[I])) != std::tolower(static_cast<unsigned char>(B[I])))
            return false;
    return true;
}

bool StartsWithAscii(const std::string& S, const std::string& Prefix) {
    return S.size() >= Prefix.size() && SameAscii(S.substr(0, Prefix.size()), Prefix);
}

// A run of decimal digits, nothing else; -1 when empty, not digits or too large.
long long ParseDecimal(const std::string& S, long long Limit) {
    if (S.empty()) return -1;
    long long Value = 0;
    for (char C : S) {
        if (C < '0' || C > '9') return -1;
        Value = Value * 10 + (C - '0');
        if (Value > Limit) return -1;
    }
    return Value;
}

// The line that starts at Start, without its CR LF or LF; Next is set past the line end, or to npos
// when the line has no end yet.
std::string LineAt(const std::string& Data, size_t Start, size_t& Next) {
    const size_t End = Data.find('\n', Start);
    if (End == std::string::npos) {
        Next = std::string::npos;
        return Data.substr(Start);
    }
    Next = End + 1;
    size_t Stop = End;
    if (Stop > Start && Data[Stop - 1] == '\r') --Stop;
    return Data.substr(Start, Stop - Start);
}
}  // namespace

THttpAddress SplitHttpAddress(const std::string& Url) {
    THttpAddress Result;
    const std::string Address = Trimmed(Url);
    if (Address.empty()) {
        Result.Error = THttpAddress::EmptyUrl;
        return Result;
    }
    if (StartsWithAscii(Address, "https:")) {
        Result.Error = THttpAddress::SecureScheme;
        return Result;
    }
    const size_t Slashes = Address.find("//");
    const size_t HostStart = Slashes == std::string::npos ? 0 : Slashes + 2;
    const size_t HostEnd = Address.find('/', HostStart);
    std::string HostPart = Address.substr(HostStart, HostEnd == std::string::npos ? std::string::npos : HostEnd - HostStart);
    if (HostEnd != std::string::npos) Result.Path = Address.substr(HostEnd, kMaxPathLength);
    const size_t Colon = HostPart.find(':');
    if (Colon != std::string::npos) {
        const std::string PortText = HostPart.substr(Colon + 1);
        HostPart.erase(Colon);
        if (!PortText.empty()) {
            const long long Port = ParseDecimal(PortText, 65535);
            if (Port <= 0) {
                Result.Error = THttpAddress::BadPort;
                return Result;
            }
            Result.Port = static_cast<int>(Port);
        }
    }
    Result.Host = HostPart;
    if (Result.Host.empty()) Result.Error = THttpAddress::NoHost;
    return Result;
}

std::string ResolveLocation(const std::string& BaseUrl, const std::string& Location) {
    const std::string Target = Trimmed(Location);
    const size_t Scheme = Target.find("://");
    if (Scheme != std::string::npos && Target.find('/') > Scheme) return Target;
    const std::string Base = Trimmed(BaseUrl);
    const size_t Slashes = Base.find("//");
    const size_t HostStart = Slashes == std::string::npos ? 0 : Slashes + 2;
    const size_t HostEnd = Base.find('/', HostStart);
    const std::string Origin = Base.substr(0, HostEnd);  // scheme and host part
    if (Target.compare(0, 2, "//") == 0) return (Slashes == std::string::npos ? std::string("http:") : Base.substr(0, Slashes)) + Target;
    if (!Target.empty() && Target[0] == '/') return Origin + Target;
    // Relative to the folder of the requested path.
    std::string Folder = HostEnd == std::string::npos ? "/" : Base.substr(HostEnd);
    Folder.erase(std::min(Folder.find_first_of("?#"), Folder.size()));
    Folder.erase(Folder.rfind('/') + 1);
    return Origin + Folder + Target;
}

bool IsHttpLocation(const std::string& Location) {
    // A scheme is a letter, then letters, digits, '+', '-' or '.', ended by ':'; an address that does
    // not start with one is relative.
    const std::string Target = Trimmed(Location);
    for (size_t I = 0; I < Target.size(); ++I) {
        const char C = Target[I];
        if (C == ':') return I > 0 && SameAscii(Target.substr(0, I), "http");
        const bool Letter = (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z');
        if (!Letter && (I == 0 || !((C >= '0' && C <= '9') || C == '+' || C == '-' || C == '.'))) return true;
    }
    return true;
}

std::string BuildHttpRequest(const std::string& Method, const std::string& Host, const std::string& Path,
                             const std::string& Data, bool WithBody) {
    std::string Request = Method + " " + Path + " HTTP/1.0\r\n";
    Request += "Host: " + Host + "\r\n";
    Request += "Accept: www/source, text/html, video/mpeg, image/jpeg, image/x-tiff\r\n";
    Request += "Accept: image/x-rgb, image/x-xbm, image/gif, */*, application/postscript\r\n";
    Request += "Content-type: application/x-www-form-urlencoded\r\n";
    if (WithBody) Request += "Content-Length: " + std::to_string(Data.size()) + "\r\n";
    Request += "\r\n";
    if (WithBody) Request += Data;
    return Request;
}

size_t FindReplyHeadEnd(const std::string& Data) { return THeadEndFinder().Find(Data); }

size_t THeadEndFinder::Find(const std::string& Data) {
    while (true) {
        const size_t End = Data.find('\n', FSearched);
        FVisited += (End == std::string::npos ? Data.size() : End + 1) - FSearched;
        if (End == std::string::npos) {
            FSearched = Data.size();
            return std::string::npos;
        }
        FSearched = End + 1;
        // An empty line, or one holding only its CR, ends the head.
        if (End == FLineStart || (End == FLineStart + 1 && Data[FLineStart] == '\r')) return End + 1;
        FLineStart = End + 1;
    }
}

THttpReplyHead ParseReplyHead(const std::string& Head) {
    THttpReplyHead Result;
    size_t Next;
    const std::string StatusLine = LineAt(Head, 0, Next);
    // The second word of the status line.
    size_t WordStart = StatusLine.find_first_of(" \t");
    if (WordStart != std::string::npos) {
        WordStart = StatusLine.find_first_not_of(" \t", WordStart);
        if (WordStart != std::string::npos) {
            const size_t WordEnd = StatusLine.find_first_of(" \t", WordStart);
            const long long Code = ParseDecimal(StatusLine.substr(WordStart, WordEnd - WordStart), 99999);
            if (Code > 0) Result.StatusCode = static_cast<int>(Code);
        }
    }
    for (size_t Start = Next; Start != std::string::npos && Start < Head.size(); Start = Next) {
        const std::string Line = LineAt(Head, Start, Next);
        if (Line.empty()) break;
        const size_t Colon = Line.find(':');
        if (Colon == std::string::npos) continue;
        const std::string Name = Trimmed(Line.substr(0, Colon)), Value = Trimmed(Line.substr(Colon + 1));
        Result.Fields.emplace_back(Name, Value);
        if (SameAscii(Name, "Content-Length") && Result.ContentLength < 0)
            Result.ContentLength = ParseDecimal(Value, 1LL << 53);
        else if (SameAscii(Name, "Location") && Result.Location.empty())
            Result.Location = Value;
    }
    return Result;
}

TBodyPiece TakeBodyPiece(long long ContentLength, long long Limit, long long Received, size_t Count) {
    TBodyPiece Piece;
    const auto Arrived = static_cast<long long>(Count);
    if (ContentLength > Limit || (ContentLength < 0 && Received + Arrived > Limit)) {
        Piece.TooLarge = true;
        return Piece;
    }
    Piece.Take = ContentLength < 0 ? Count : static_cast<size_t>(std::min(Arrived, ContentLength - Received));
    Piece.Complete = ContentLength >= 0 && Received + static_cast<long long>(Piece.Take) >= ContentLength;
    return Piece;
}
