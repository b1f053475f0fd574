// The HTTP client component placed on forms. Get and Put block their caller but keep the message
// loop turning; their events fire on the caller's thread inside the call.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "Classes.h"
#include "NetError.h"

// The request that succeeded.
enum CmdType { CmdGET = 0, CmdPUT = 4 };
using THTTPSuccessEvent = std::function<void(CmdType Cmd)>;

class TNMHTTP : public TComponent {
public:
    using TComponent::TComponent;
    ~TNMHTTP() override;

    // After a request: the reply body, or, with InputFileMode, the name of the file that receives it.
    std::string Body = "Default.htm";
    std::string Header = "Head.txt";  // after a request: the reply head (status line and header lines)
    bool InputFileMode = false;       // the reply body goes to the file named by Body
    bool OutputFileMode = false;      // Put sends the contents of the file its Data names
    int Port = 0;                     // not used for requests: the address names its port (else 80)
    long long BytesRecvd = 0;         // reply body bytes received so far
    long long BytesTotal = 0;         // the reply's Content-Length, 0 when absent
    // The largest reply body taken, in memory or into the file: a reply that states a larger length
    // fails before any of its body is read or the file is made, one without a length fails when it
    // grows beyond this. Each download sets what its kind of reply can be.
    long long MaxBody = 8 * 1024 * 1024;

    THTTPSuccessEvent OnSuccess;  // after the whole body of a reply with a status below 299
    TNotifyEvent OnPacketRecvd;   // after each piece of the reply body

    // Replies of 300 to 302 are followed this many times in a row, then taken as failed.
    static constexpr int kMaxRedirects = 5;

    void Get(const std::string& Url);
    void Put(const std::string& Url, const std::string& Data);
    // Ends a request in progress: the blocked Get or Put raises. With none in progress it does nothing.
    void Abort();

private:
    void Request(CmdType Cmd, const std::string& Url, const std::string& Data);
    std::shared_ptr<TTransferState> FState = std::make_shared<TTransferState>();
};
