// Winsock sockets whose blocking steps keep the application's message loop turning. Include this
// before any other header that brings in windows.h.
#pragma once

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "NetError.h"

// Texts of the failures the clients raise.
extern const char* const kEmptyUrl;
extern const char* const kSecureNotSupported;
extern const char* const kHostLookupFailed;
extern const char* const kHostLookupTimedOut;
extern const char* const kNullRemoteAddress;
extern const char* const kConnectionFailed;
extern const char* const kConnectionTimedOut;
extern const char* const kConnectionCanceled;
extern const char* const kNotConnected;
extern const char* const kSendAborted;
extern const char* const kReadlnAborted;
extern const char* const kCaptureAborted;
extern const char* const kDataConnectionError;
extern const char* const kReplyIncomplete;
extern const char* const kReplyTimedOut;

// Marks a component's state busy for one call (a second call on the same component from a handler
// raises); undone through the shared state, which outlives the component.
class TBusyGuard {
public:
    explicit TBusyGuard(std::shared_ptr<TTransferState> State);
    ~TBusyGuard() { FState->Busy = false; }
    TBusyGuard(const TBusyGuard&) = delete;
    TBusyGuard& operator=(const TBusyGuard&) = delete;

private:
    std::shared_ptr<TTransferState> FState;
};

// A dotted address, or a host name looked up on a thread of its own while the message loop turns.
// Raises "Host Lookup Failed", "Host Lookup Timed Out" after the bound, and on Abort
// "Connection Canceled". The thread touches no window; one left behind ends on its own.
sockaddr_in LookUpHost(const std::string& Host, int Port, std::shared_ptr<TTransferState> State);

// How names are looked up: the resolver (run on the lookup thread; true and Address when found)
// and the bound. Tests put in a resolver that holds the lookup.
struct THostLookup {
    std::function<bool(const std::string& Host, in_addr& Address)> Resolve;
    DWORD TimeoutMs = 30000;
};
THostLookup& HostLookup();

// When a bounded wait gives up, fixed as the wait begins: a reply that comes in parts is bounded as
// a whole, however slowly its parts arrive.
class TDeadline {
public:
    static TDeadline Never() { return TDeadline(); }
    static TDeadline After(DWORD Milliseconds);
    bool Passed() const;

private:
    bool FBounded = false;
    DWORD FStart = 0, FMilliseconds = 0;
};

class TBlockingSocket {
public:
    explicit TBlockingSocket(std::shared_ptr<TTransferState> State);
    ~TBlockingSocket() { Close(); }
    TBlockingSocket(const TBlockingSocket&) = delete;
    TBlockingSocket& operator=(const TBlockingSocket&) = delete;

    // Connects, polling every 2 ms; raises "Connection Failed", "Connection Timed out" or, on
    // Abort, "Connection Canceled".
    void Connect(const sockaddr_in& Address);
    // Listens on an unused port of the given local address, for one incoming data connection.
    void Listen(const sockaddr_in& Local);
    // Takes the connection that Listener received from the address Peer (waits for it; one from
    // anywhere else is closed); raises AbortText on Abort.
    void Accept(TBlockingSocket& Listener, const in_addr& Peer, const char* AbortText);
    // Sends all of Data; raises AbortText on Abort.
    void Send(const char* Data, size_t Size, const char* AbortText);
    void Send(const std::string& Data, const char* AbortText) { Send(Data.data(), Data.size(), AbortText); }
    // Reads what has arrived, at most Size bytes, waiting for at least one; 0 when the peer has
    // closed the connection. Raises AbortText on Abort, and "Timed out waiting for the reply" once
    // Deadline has passed.
    size_t Receive(char* Buffer, size_t Size, const char* AbortText, const TDeadline& Deadline = TDeadline::Never());
    sockaddr_in LocalAddress() const;
    sockaddr_in PeerAddress() const;
    // Keeps at most Bytes queued in the system for sending.
    void LimitSendBuffer(int Bytes);
    bool IsOpen() const { return FSocket != INVALID_SOCKET; }
    void Close();

private:
    // Turns the message loop (at most every few ms unless Force), then raises AbortText if the
    // transfer was aborted meanwhile.
    void Pump(const char* AbortText, bool Force);
    void Create();
    SOCKET FSocket = INVALID_SOCKET;
    std::shared_ptr<TTransferState> FState;
};
