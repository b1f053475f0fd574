// The FTP client component placed on forms: active-mode uploads. Every operation blocks its caller
// but keeps the message loop turning; its events fire on the caller's thread inside the call.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "Classes.h"
#include "NetError.h"

// The operation that succeeded (only these occur here; the numbers are fixed).
enum TCmdType { cmdChangeDir = 0, cmdUpload = 9, cmdDoCommand = 14 };
using TFTPSuccessEvent = std::function<void(TCmdType Trans_Type)>;

constexpr int MODE_ASCII = 1, MODE_IMAGE = 2;

class TBlockingSocket;
class TDeadline;
class TFtpReplyReader;
struct TFtpReply;

class TNMFTP : public TComponent {
public:
    explicit TNMFTP(TComponent* AOwner);
    ~TNMFTP() override;

    std::string Host;
    int Port = 21;
    std::string UserID = "anonymous";
    std::string Password;
    bool Passive = false;       // transfers are always active (PORT); kept for the forms' settings
    long long BytesTotal = 0;   // size of the file being uploaded
    long long BytesSent = 0;
    long long GetBytesSent() const { return BytesSent; }
    bool Connected() const;

    TNotifyEvent OnConnect;     // after login
    TNotifyEvent OnPacketSent;  // after each packet of an upload
    TFTPSuccessEvent OnSuccess;

    // Connects and logs in with UserID and Password.
    void Connect();
    // Sends QUIT and closes the connection, whatever the reply, after waiting at most 5 s for all of
    // it; does nothing when not connected.
    void Disconnect();
    void ChangeDir(const std::string& DirName);
    // MODE_IMAGE: binary transfers (TYPE I); MODE_ASCII: text (TYPE A).
    void Mode(int TheMode);
    // Stores LocalFile on the server under RemoteFile, or under its own name when RemoteFile is empty:
    // the whole file, or exactly its first Size bytes when Size is given (BytesTotal). A file that
    // cannot be opened, or ends before Size, raises EFtpFileError.
    void Upload(const std::string& LocalFile, const std::string& RemoteFile, long long Size = -1);
    // Cancels the data connection of a running transfer (and any other step in progress): the
    // blocked call raises.
    void Abort();

private:
    // One command and its reply, which must be whole within TimeoutMs of sending the command; a
    // code of Limit or more raises with the server's reply text. A preliminary reply (1xx) is read
    // past to the final one, unless the command opens a transfer: then it is the sign to send.
    TFtpReply Command(const std::string& Line, int Limit = 400, DWORD TimeoutMs = INFINITE, bool OpensTransfer = false);
    TFtpReply ReadReply(const TDeadline& Deadline);
    TFtpReply ReadFinalReply(const TDeadline& Deadline);
    // Runs one operation as the only one of this component; failures other than a refusal by the
    // server close the connection.
    void Run(const std::function<void()>& Operation);
    void RequireConnected() const;
    void DropConnection();
    std::shared_ptr<TTransferState> FState = std::make_shared<TTransferState>();
    // Shared with the running call, so that a handler that frees the component does not free the
    // socket under it.
    std::shared_ptr<TBlockingSocket> FControl;
    std::unique_ptr<TFtpReplyReader> FReplies;
};
