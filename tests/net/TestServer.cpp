#include "TestServer.h"

#include "HttpReply.h"

TTestServer::TTestServer(THandler Handler) : FHandler(std::move(Handler)) {
    WSADATA Data;
    WSAStartup(MAKEWORD(2, 2), &Data);
    FListener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in Address{};
    Address.sin_family = AF_INET;
    Address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(FListener, reinterpret_cast<sockaddr*>(&Address), sizeof Address);
    listen(FListener, 16);
    int Length = sizeof Address;
    getsockname(FListener, reinterpret_cast<sockaddr*>(&Address), &Length);
    FPort = ntohs(Address.sin_port);
    FAcceptThread = std::thread([this] { AcceptLoop(); });
}

TTestServer::~TTestServer() {
    Stopping = true;
    closesocket(FListener);
    FAcceptThread.join();
    for (std::thread& Connection : FConnections) Connection.join();
}

std::string TTestServer::Url(const std::string& Path) const {
    return "http://127.0.0.1:" + std::to_string(FPort) + Path;
}

std::vector<std::string> TTestServer::Requests() {
    std::lock_guard<std::mutex> Lock(FLock);
    return FRequests;
}

void TTestServer::AcceptLoop() {
    while (true) {
        const SOCKET Client = accept(FListener, nullptr, nullptr);
        if (Client == INVALID_SOCKET) return;
        // A client that stops reading must not hold the test up at the end.
        const DWORD Timeout = 10000;
        setsockopt(Client, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&Timeout), sizeof Timeout);
        std::lock_guard<std::mutex> Lock(FLock);
        FConnections.emplace_back([this, Client] {
            // The request: its head, then as many body bytes as Content-Length says.
            std::string Request;
            char Buffer[4096];
            size_t HeadEnd;
            while ((HeadEnd = FindReplyHeadEnd(Request)) == std::string::npos) {
                const int Count = recv(Client, Buffer, sizeof Buffer, 0);
                if (Count <= 0) break;
                Request.append(Buffer, Count);
            }
            if (HeadEnd != std::string::npos) {
                const long long Length = ParseReplyHead(Request.substr(0, HeadEnd)).ContentLength;
                while (Length > 0 && Request.size() < HeadEnd + Length) {
                    const int Count = recv(Client, Buffer, sizeof Buffer, 0);
                    if (Count <= 0) break;
                    Request.append(Buffer, Count);
                }
            }
            {
                std::lock_guard<std::mutex> Lock(FLock);
                FRequests.push_back(Request);
            }
            FHandler(Request, Client);
            shutdown(Client, SD_SEND);
            closesocket(Client);
        });
    }
}

bool TTestServer::SendAll(SOCKET Client, const std::string& Bytes) {
    size_t Done = 0;
    while (Done < Bytes.size()) {
        const int Sent = send(Client, Bytes.data() + Done, static_cast<int>(Bytes.size() - Done), 0);
        if (Sent <= 0) return false;
        Done += static_cast<size_t>(Sent);
    }
    return true;
}

std::string TTestServer::Reply(int Status, const std::string& Body, bool WithLength, const std::string& ExtraHeaders) {
    std::string Head = "HTTP/1.0 " + std::to_string(Status) + " Status\r\n" + ExtraHeaders;
    if (WithLength) Head += "Content-Length: " + std::to_string(Body.size()) + "\r\n";
    return Head + "\r\n" + Body;
}

std::string TTestServer::PathOf(const std::string& Request) {
    const size_t Start = Request.find(' ') + 1;
    return Request.substr(Start, Request.find(' ', Start) - Start);
}

int ClosedPort() {
    WSADATA Data;
    WSAStartup(MAKEWORD(2, 2), &Data);
    const SOCKET Probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in Address{};
    Address.sin_family = AF_INET;
    Address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(Probe, reinterpret_cast<sockaddr*>(&Address), sizeof Address);
    int Length = sizeof Address;
    getsockname(Probe, reinterpret_cast<sockaddr*>(&Address), &Length);
    closesocket(Probe);
    return ntohs(Address.sin_port);
}
