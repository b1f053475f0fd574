// A small HTTP server on 127.0.0.1 in a thread of the test, one thread per connection, that records
// the exact bytes of each request and answers through a handler of the test.
#pragma once

#include <winsock2.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class TTestServer {
public:
    // Handler: the raw request (head and body) and the connection to answer on; the connection is
    // closed when it returns.
    using THandler = std::function<void(const std::string& Request, SOCKET Client)>;
    explicit TTestServer(THandler Handler);
    ~TTestServer();
    int Port() const { return FPort; }
    std::string Url(const std::string& Path) const;
    std::vector<std::string> Requests();
    std::atomic<bool> Stopping{false};

    // Helpers for handlers. SendAll returns false once the client has gone.
    static bool SendAll(SOCKET Client, const std::string& Bytes);
    static std::string Reply(int Status, const std::string& Body, bool WithLength = true,
                             const std::string& ExtraHeaders = "");
    static std::string PathOf(const std::string& Request);

private:
    void AcceptLoop();
    THandler FHandler;
    SOCKET FListener = INVALID_SOCKET;
    int FPort = 0;
    std::thread FAcceptThread;
    std::mutex FLock;
    std::vector<std::thread> FConnections;
    std::vector<std::string> FRequests;
};

// A port on 127.0.0.1 on which nothing listens.
int ClosedPort();
