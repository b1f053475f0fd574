#include "NetSocket.h"  // first: winsock2.h before windows.h

#include "NMHTTP.h"

#include <fstream>
#include <iterator>
#include <vector>

#include "HttpReply.h"

namespace {
constexpr size_t kPieceBytes = 65536;
constexpr size_t kMaxHeadBytes = 65536;
const char* const kHeadTooLarge = "The reply head is too long";

// The file that receives a reply body in file mode. A partial file stays when the request fails.
class TBodyFile {
public:
    explicit TBodyFile(const std::string& Path)
        : FHandle(CreateFileA(Path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr)) {
        if (FHandle == INVALID_HANDLE_VALUE) throw ESockError("Cannot create file \"" + Path + "\"");
    }
    ~TBodyFile() { CloseHandle(FHandle); }
    TBodyFile(const TBodyFile&) = delete;
    TBodyFile& operator=(const TBodyFile&) = delete;
    void Write(const char* Data, size_t Size) {
        DWORD Written = 0;
        if (!WriteFile(FHandle, Data, static_cast<DWORD>(Size), &Written, nullptr) || Written != Size)
            throw ESockError("Cannot write the reply to the file");
    }

private:
    HANDLE FHandle;
};

// "The reply is larger than 256 KB": the limit in whole kilobytes or megabytes of 1024 and 1048576 bytes,
// as Windows shows file sizes, rounded down so that the text stays true.
std::string ReplyTooLargeText(long long Limit) {
    constexpr long long kKilobyte = 1024, kMegabyte = 1024 * 1024;
    const std::string Size = Limit >= kMegabyte ? std::to_string(Limit / kMegabyte) + " MB"
                                                : std::to_string(Limit / kKilobyte) + " KB";
    return "The reply is larger than " + Size;
}

void RaiseAddressError(THttpAddress::TError Error) {
    switch (Error) {
        case THttpAddress::None: return;
        case THttpAddress::EmptyUrl: throw ESockError(kEmptyUrl);
        case THttpAddress::SecureScheme: throw ESockError(kSecureNotSupported);
        case THttpAddress::NoHost: throw ESockError(kNullRemoteAddress);
        case THttpAddress::BadPort: throw ESockError(kConnectionFailed);
    }
}
}  // namespace

TNMHTTP::~TNMHTTP() {
    // A Get or Put of this component may be blocked further down the stack (this destructor runs
    // from the message loop it turns): make it end without touching this object again.
    FState->Aborted = true;
    FState->Freed = true;
}

void TNMHTTP::Abort() {
    if (FState->Busy) FState->Aborted = true;
}

void TNMHTTP::Get(const std::string& Url) { Request(CmdGET, Url, std::string()); }

void TNMHTTP::Put(const std::string& Url, const std::string& Data) {
    if (!OutputFileMode) {
        Request(CmdPUT, Url, Data);
        return;
    }
    std::ifstream File(Data, std::ios::binary);
    if (!File) throw ESockError("Cannot open file \"" + Data + "\"");
    Request(CmdPUT, Url, std::string(std::istreambuf_iterator<char>(File), std::istreambuf_iterator<char>()));
}

void TNMHTTP::Request(CmdType Cmd, const std::string& Url, const std::string& Data) {
    // While this call blocks, handlers run from the message loop: they may call Abort, start a
    // request on another component, or free this one. Every socket step raises when that happened
    // (State->Aborted), and so do the checks after our own events; only then is `this` touched again.
    const std::shared_ptr<TTransferState> State = FState;
    TBusyGuard Busy(State);
    BytesRecvd = BytesTotal = 0;
    Header.clear();
    if (!InputFileMode) Body.clear();
    const char* const Method = Cmd == CmdPUT ? "PUT" : "GET";
    std::string Address = Url;
    std::vector<char> Buffer(kPieceBytes);
    const long long Limit = MaxBody;
    for (int Redirects = 0;; ++Redirects) {
        const THttpAddress Target = SplitHttpAddress(Address);
        RaiseAddressError(Target.Error);
        const sockaddr_in Remote = LookUpHost(Target.Host, Target.Port, State);
        TBlockingSocket Socket(State);
        Socket.Connect(Remote);
        Socket.Send(BuildHttpRequest(Method, Target.Host, Target.Path, Data, Cmd == CmdPUT), kSendAborted);

        std::string Received;
        THeadEndFinder Finder;
        size_t HeadEnd;
        while ((HeadEnd = Finder.Find(Received)) == std::string::npos) {
            if (Received.size() > kMaxHeadBytes) throw ESockError(kHeadTooLarge);
            const size_t Count = Socket.Receive(Buffer.data(), Buffer.size(), kReadlnAborted);
            if (Count == 0) throw ESockError(kReplyIncomplete);  // also: closed with no byte at all
            Received.append(Buffer.data(), Count);
        }
        const THttpReplyHead Head = ParseReplyHead(Received.substr(0, HeadEnd));
        Header = Received.substr(0, HeadEnd);
        BytesTotal = Head.ContentLength > 0 ? Head.ContentLength : 0;
        const bool Redirect = Head.StatusCode >= 300 && Head.StatusCode <= 302 && !Head.Location.empty() &&
                              IsHttpLocation(Head.Location);
        if (Redirect && Redirects < kMaxRedirects) {
            Address = ResolveLocation(Address, Head.Location);
            BytesTotal = 0;
            continue;
        }

        // A stated length beyond the limit is refused before the file is made.
        const TBodyPiece AtStart = TakeBodyPiece(Head.ContentLength, Limit, 0, 0);
        if (AtStart.TooLarge) throw ESockError(ReplyTooLargeText(Limit));
        const bool InMemory = !InputFileMode;
        std::unique_ptr<TBodyFile> File;
        if (!InMemory) File = std::make_unique<TBodyFile>(Body);
        // Takes what of one piece belongs to the body and tells whether the body is complete; the
        // handler of OnPacketRecvd may abort or free us.
        auto TakePiece = [&](const char* Bytes, size_t Count) {
            const TBodyPiece Taken = TakeBodyPiece(Head.ContentLength, Limit, BytesRecvd, Count);
            if (Taken.TooLarge) throw ESockError(ReplyTooLargeText(Limit));
            if (InMemory) Body.append(Bytes, Taken.Take);
            else File->Write(Bytes, Taken.Take);
            BytesRecvd += static_cast<long long>(Taken.Take);
            if (OnPacketRecvd) OnPacketRecvd(this);
            if (State->Aborted) throw ESockError(kCaptureAborted);
            return Taken.Complete;
        };
        // What follows the stated length is not the body: it is neither taken nor waited for.
        bool Complete = AtStart.Complete;
        if (!Complete && Received.size() > HeadEnd)
            Complete = TakePiece(Received.data() + HeadEnd, Received.size() - HeadEnd);
        Received.clear();
        while (!Complete) {
            const size_t Count = Socket.Receive(Buffer.data(), Buffer.size(), kCaptureAborted);
            if (Count == 0) break;
            Complete = TakePiece(Buffer.data(), Count);
        }
        Socket.Close();
        File.reset();
        if (Head.ContentLength >= 0 && BytesRecvd < Head.ContentLength) throw ESockError(kReplyIncomplete);
        if (Head.StatusCode < 299 && OnSuccess) OnSuccess(Cmd);
        return;
    }
}
