#include "NetSocket.h"  // first: winsock2.h before windows.h

#include "NMHTTP.h"

#include <fstream>
#include <iterator>
#include <vector>

#include "HttpReply.h"

namespace {
constexpr size_t kPieceBytes = 65536;
constexpr size_t kMaxHeadBytes = 65536;
const char* const kReplyTooLarge = "The reply is larger than 8 MiB";
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
    std::vector<char> Piece(kPieceBytes);
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
            const size_t Count = Socket.Receive(Piece.data(), Piece.size(), kReadlnAborted);
            if (Count == 0) throw ESockError(kReplyIncomplete);  // also: closed with no byte at all
            Received.append(Piece.data(), Count);
        }
        const THttpReplyHead Head = ParseReplyHead(Received.substr(0, HeadEnd));
        Header = Received.substr(0, HeadEnd);
        BytesTotal = Head.ContentLength > 0 ? Head.ContentLength : 0;
        const bool Redirect = Head.StatusCode >= 300 && Head.StatusCode <= 302 && !Head.Location.empty();
        if (Redirect && Redirects < kMaxRedirects) {
            Address = ResolveLocation(Address, Head.Location);
            BytesTotal = 0;
            continue;
        }

        const bool InMemory = !InputFileMode;
        if (InMemory && Head.ContentLength > kMaxMemoryBody) throw ESockError(kReplyTooLarge);
        std::unique_ptr<TBodyFile> File;
        if (!InMemory) File = std::make_unique<TBodyFile>(Body);
        // Takes one piece of the body; the handler of OnPacketRecvd may abort or free us.
        auto TakePiece = [&](const char* Bytes, size_t Count) {
            if (InMemory) {
                if (static_cast<long long>(Body.size() + Count) > kMaxMemoryBody) throw ESockError(kReplyTooLarge);
                Body.append(Bytes, Count);
            } else {
                File->Write(Bytes, Count);
            }
            BytesRecvd += static_cast<long long>(Count);
            if (OnPacketRecvd) OnPacketRecvd(this);
            if (State->Aborted) throw ESockError(kCaptureAborted);
        };
        if (Received.size() > HeadEnd) TakePiece(Received.data() + HeadEnd, Received.size() - HeadEnd);
        Received.clear();
        while (const size_t Count = Socket.Receive(Piece.data(), Piece.size(), kCaptureAborted))
            TakePiece(Piece.data(), Count);
        Socket.Close();
        File.reset();
        if (Head.ContentLength >= 0 && BytesRecvd < Head.ContentLength) throw ESockError(kReplyIncomplete);
        if (Head.StatusCode < 299 && OnSuccess) OnSuccess(Cmd);
        return;
    }
}
