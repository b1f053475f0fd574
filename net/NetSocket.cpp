#include "NetSocket.h"

#include "Forms.h"

const char* const kEmptyUrl = "Empty URL";
const char* const kSecureNotSupported = "HTTP Secure Socket is not supported";
const char* const kHostLookupFailed = "Host Lookup Failed";
const char* const kHostLookupTimedOut = "Host Lookup Timed Out";
const char* const kNullRemoteAddress = "Null Remote Address";
const char* const kConnectionFailed = "Connection Failed";
const char* const kConnectionTimedOut = "Connection Timed out";
const char* const kConnectionCanceled = "Connection Canceled";
const char* const kNotConnected = "Not Connected";
const char* const kSendAborted = "Socket send aborted";
const char* const kReadlnAborted = "Socket readln aborted";
const char* const kCaptureAborted = "Socket capture aborted";
const char* const kDataConnectionError = "Error creating Data Connection";
const char* const kReplyIncomplete = "Connection closed before the reply was complete";
const char* const kReplyTimedOut = "Timed out waiting for the reply";

namespace {
constexpr int kConnectPollMs = 2;
constexpr DWORD kConnectTimeoutMs = 30000;
constexpr DWORD kAcceptTimeoutMs = 30000;
// While data flows, the message loop turns at most this often: a PeekMessage per 64 KiB piece
// would cost more under Wine than the piece itself.
constexpr DWORD kPumpIntervalMs = 10;
// How long one wait for socket readiness lasts before the message loop turns again.
constexpr long kWaitSliceUs = 10000;

void StartWinsock() {
    static const bool Started = [] {
        WSADATA Data;
        return WSAStartup(MAKEWORD(2, 2), &Data) == 0;
    }();
    (void)Started;
}

std::string WinsockErrorText(const char* What, int Code) {
    return std::string(What) + " (Winsock error " + std::to_string(Code) + ")";
}

// Waits up to Microseconds until Socket can be read (Write false) or written; failures of a
// connect show in the exception set.
enum TReadiness { rdNone, rdReady, rdFailed };
TReadiness WaitSocket(SOCKET Socket, bool Write, long Microseconds) {
    fd_set Ready, Failed;
    FD_ZERO(&Ready);
    FD_ZERO(&Failed);
    FD_SET(Socket, &Ready);
    FD_SET(Socket, &Failed);
    timeval Timeout{0, Microseconds};
    const int Count = select(0, Write ? nullptr : &Ready, Write ? &Ready : nullptr, &Failed, &Timeout);
    if (Count == SOCKET_ERROR || FD_ISSET(Socket, &Failed)) return rdFailed;
    return Count > 0 ? rdReady : rdNone;
}
}  // namespace

TBusyGuard::TBusyGuard(std::shared_ptr<TTransferState> State) : FState(std::move(State)) {
    if (FState->Busy) throw ESockError("A transfer is already in progress");
    FState->Busy = true;
    FState->Aborted = false;
}

namespace {
bool ResolveByName(const std::string& Host, in_addr& Address) {
    addrinfo Hints{};
    Hints.ai_family = AF_INET;
    Hints.ai_socktype = SOCK_STREAM;
    addrinfo* Found = nullptr;
    if (getaddrinfo(Host.c_str(), nullptr, &Hints, &Found) != 0 || !Found) return false;
    Address = reinterpret_cast<sockaddr_in*>(Found->ai_addr)->sin_addr;
    freeaddrinfo(Found);
    return true;
}

// One lookup, shared by the waiting caller and the lookup thread: whichever lets go last frees it.
struct TLookupJob {
    std::string Host;
    std::function<bool(const std::string&, in_addr&)> Resolve;
    HANDLE Done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    bool Found = false;
    in_addr Address{};
    ~TLookupJob() {
        if (Done) CloseHandle(Done);
    }
};

DWORD WINAPI RunLookup(LPVOID Parameter) {
    const std::unique_ptr<std::shared_ptr<TLookupJob>> Job(static_cast<std::shared_ptr<TLookupJob>*>(Parameter));
    TLookupJob& Lookup = **Job;
    Lookup.Found = Lookup.Resolve(Lookup.Host, Lookup.Address);
    SetEvent(Lookup.Done);
    return 0;
}
}  // namespace

THostLookup& HostLookup() {
    static THostLookup Settings{ResolveByName};
    return Settings;
}

sockaddr_in LookUpHost(const std::string& Host, int Port, std::shared_ptr<TTransferState> State) {
    StartWinsock();
    if (Host.empty()) throw ESockError(kNullRemoteAddress);
    sockaddr_in Address{};
    Address.sin_family = AF_INET;
    Address.sin_port = htons(static_cast<u_short>(Port));
    Address.sin_addr.s_addr = inet_addr(Host.c_str());
    if (Address.sin_addr.s_addr != INADDR_NONE) return Address;

    auto Job = std::make_shared<TLookupJob>();
    Job->Host = Host;
    Job->Resolve = HostLookup().Resolve;
    const DWORD Timeout = HostLookup().TimeoutMs;
    auto* ThreadsShare = new std::shared_ptr<TLookupJob>(Job);
    const HANDLE Thread = Job->Done ? CreateThread(nullptr, 0, RunLookup, ThreadsShare, 0, nullptr) : nullptr;
    if (!Thread) {
        delete ThreadsShare;
        throw ESockError(kHostLookupFailed);
    }
    CloseHandle(Thread);
    const DWORD Start = GetTickCount();
    while (WaitForSingleObject(Job->Done, kWaitSliceUs / 1000) == WAIT_TIMEOUT) {
        // As in Pump: anything may run here, the freeing of the component too; State stays.
        Application->ProcessMessages();
        if (State->Aborted) throw ESockError(kConnectionCanceled);
        if (GetTickCount() - Start >= Timeout) throw ESockError(kHostLookupTimedOut);
    }
    if (!Job->Found) throw ESockError(kHostLookupFailed);
    Address.sin_addr = Job->Address;
    return Address;
}

TDeadline TDeadline::After(DWORD Milliseconds) {
    TDeadline Deadline;
    Deadline.FBounded = true;
    Deadline.FStart = GetTickCount();
    Deadline.FMilliseconds = Milliseconds;
    return Deadline;
}

bool TDeadline::Passed() const { return FBounded && GetTickCount() - FStart >= FMilliseconds; }

TBlockingSocket::TBlockingSocket(std::shared_ptr<TTransferState> State) : FState(std::move(State)) { StartWinsock(); }

void TBlockingSocket::Close() {
    if (FSocket == INVALID_SOCKET) return;
    closesocket(FSocket);
    FSocket = INVALID_SOCKET;
}

void TBlockingSocket::LimitSendBuffer(int Bytes) {
    setsockopt(FSocket, SOL_SOCKET, SO_SNDBUF, reinterpret_cast<const char*>(&Bytes), sizeof Bytes);
}

void TBlockingSocket::Create() {
    Close();
    FSocket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (FSocket == INVALID_SOCKET) throw ESockError(WinsockErrorText(kConnectionFailed, WSAGetLastError()));
    u_long NonBlocking = 1;
    ioctlsocket(FSocket, FIONBIO, &NonBlocking);
}

void TBlockingSocket::Pump(const char* AbortText, bool Force) {
    static DWORD LastPump = 0;
    const DWORD Now = GetTickCount();
    if (Force || Now - LastPump >= kPumpIntervalMs) {
        LastPump = Now;
        // Anything may run here: Abort, another request on another component, even the freeing of
        // the component that owns this socket. Only FState is safe to look at afterwards.
        Application->ProcessMessages();
    }
    if (FState->Aborted) {
        Close();
        throw ESockError(AbortText);
    }
}

void TBlockingSocket::Connect(const sockaddr_in& Address) {
    Create();
    if (connect(FSocket, reinterpret_cast<const sockaddr*>(&Address), sizeof Address) == 0) return;
    if (WSAGetLastError() != WSAEWOULDBLOCK) {
        Close();
        throw ESockError(kConnectionFailed);
    }
    const DWORD Start = GetTickCount();
    while (true) {
        const TReadiness Ready = WaitSocket(FSocket, true, kConnectPollMs * 1000);
        if (Ready == rdReady) return;
        if (Ready == rdFailed) {
            Close();
            throw ESockError(kConnectionFailed);
        }
        Pump(kConnectionCanceled, true);
        if (GetTickCount() - Start > kConnectTimeoutMs) {
            Close();
            throw ESockError(kConnectionTimedOut);
        }
    }
}

void TBlockingSocket::Listen(const sockaddr_in& Local) {
    Create();
    sockaddr_in Address = Local;
    Address.sin_port = 0;
    if (bind(FSocket, reinterpret_cast<const sockaddr*>(&Address), sizeof Address) != 0 || listen(FSocket, 1) != 0) {
        Close();
        throw ESockError(kDataConnectionError);
    }
}

void TBlockingSocket::Accept(TBlockingSocket& Listener, const in_addr& Peer, const char* AbortText) {
    Close();
    const DWORD Start = GetTickCount();
    while (true) {
        const TReadiness Ready = WaitSocket(Listener.FSocket, false, kWaitSliceUs);
        if (Ready == rdFailed) throw ESockError(kDataConnectionError);
        if (Ready == rdReady) {
            sockaddr_in From{};
            int Length = sizeof From;
            FSocket = accept(Listener.FSocket, reinterpret_cast<sockaddr*>(&From), &Length);
            if (FSocket == INVALID_SOCKET) throw ESockError(kDataConnectionError);
            if (From.sin_addr.s_addr == Peer.s_addr) {
                u_long NonBlocking = 1;
                ioctlsocket(FSocket, FIONBIO, &NonBlocking);
                return;
            }
            Close();  // a stranger's: the awaited one may still come
        }
        Pump(AbortText, true);
        if (GetTickCount() - Start > kAcceptTimeoutMs) throw ESockError(kDataConnectionError);
    }
}

void TBlockingSocket::Send(const char* Data, size_t Size, const char* AbortText) {
    if (FSocket == INVALID_SOCKET) throw ESockError(kNotConnected);
    while (Size > 0) {
        const int Sent = send(FSocket, Data, static_cast<int>(Size), 0);
        if (Sent > 0) {
            Data += Sent;
            Size -= static_cast<size_t>(Sent);
            Pump(AbortText, false);
            continue;
        }
        const int Error = WSAGetLastError();
        if (Error != WSAEWOULDBLOCK) throw ESockError(WinsockErrorText("Connection lost", Error));
        if (WaitSocket(FSocket, true, kWaitSliceUs) == rdFailed)
            throw ESockError(WinsockErrorText("Connection lost", WSAGetLastError()));
        Pump(AbortText, false);
    }
}

size_t TBlockingSocket::Receive(char* Buffer, size_t Size, const char* AbortText, const TDeadline& Deadline) {
    if (FSocket == INVALID_SOCKET) throw ESockError(kNotConnected);
    while (true) {
        // Also while bytes keep coming: a peer that trickles its reply is held to the same bound.
        if (Deadline.Passed()) throw ESockError(kReplyTimedOut);
        const int Received = recv(FSocket, Buffer, static_cast<int>(Size), 0);
        if (Received >= 0) {
            Pump(AbortText, false);
            return static_cast<size_t>(Received);
        }
        const int Error = WSAGetLastError();
        if (Error != WSAEWOULDBLOCK) throw ESockError(WinsockErrorText("Connection lost", Error));
        // select returns as soon as data arrives; the loop turns at least once per wait slice.
        if (WaitSocket(FSocket, false, kWaitSliceUs) == rdFailed)
            throw ESockError(WinsockErrorText("Connection lost", WSAGetLastError()));
        Pump(AbortText, false);
    }
}

sockaddr_in TBlockingSocket::PeerAddress() const {
    sockaddr_in Address{};
    int Length = sizeof Address;
    getpeername(FSocket, reinterpret_cast<sockaddr*>(&Address), &Length);
    return Address;
}

sockaddr_in TBlockingSocket::LocalAddress() const {
    sockaddr_in Address{};
    int Length = sizeof Address;
    getsockname(FSocket, reinterpret_cast<sockaddr*>(&Address), &Length);
    return Address;
}
