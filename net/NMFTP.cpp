#include "NetSocket.h"  // first: winsock2.h before windows.h

#include "NMFTP.h"

#include <algorithm>
#include <fstream>
#include <vector>

#include "FtpReply.h"

namespace {
constexpr size_t kPacketBytes = 16384;
constexpr int kSendBufferBytes = 4 * kPacketBytes;
constexpr size_t kReceiveBytes = 4096;
const char* const kReplyTooLong = "The server's reply is too long";
constexpr DWORD kQuitReplyMs = 5000;  // a server that does not answer QUIT is left after this
}  // namespace

TNMFTP::TNMFTP(TComponent* AOwner) : TComponent(AOwner), FReplies(std::make_unique<TFtpReplyReader>()) {}

TNMFTP::~TNMFTP() {
    // An operation of this component may be blocked further down the stack (this destructor runs
    // from the message loop it turns): make it end without touching this object again.
    FState->Aborted = true;
    FState->Freed = true;
}

bool TNMFTP::Connected() const { return FControl && FControl->IsOpen(); }

void TNMFTP::Abort() {
    if (FState->Busy) FState->Aborted = true;
}

void TNMFTP::RequireConnected() const {
    if (!Connected()) throw ESockError(kNotConnected);
}

void TNMFTP::DropConnection() {
    FControl.reset();
    FReplies = std::make_unique<TFtpReplyReader>();
}

void TNMFTP::Run(const std::function<void()>& Operation) {
    // While an operation blocks, handlers run from the message loop: they may call Abort, or free
    // this component. Every socket step raises when that happened, so `this` is touched afterwards
    // only when State says the component still lives.
    const std::shared_ptr<TTransferState> State = FState;
    TBusyGuard Busy(State);
    try {
        Operation();
    } catch (const EFtpReplyError&) {
        throw;  // the server said no; the connection is still in step
    } catch (...) {
        // After an abort or a broken connection the replies are out of step: start afresh.
        if (!State->Freed) DropConnection();
        throw;
    }
}

TFtpReply TNMFTP::ReadReply(const TDeadline& Deadline) {
    const std::shared_ptr<TBlockingSocket> Control = FControl;
    std::vector<char> Buffer(kReceiveBytes);
    TFtpReply Reply;
    while (!FReplies->Next(Reply)) {
        if (FReplies->Overflowed()) throw ESockError(kReplyTooLong);
        const size_t Count = Control->Receive(Buffer.data(), Buffer.size(), kReadlnAborted, Deadline);
        if (Count == 0) throw ESockError(kReplyIncomplete);
        FReplies->Feed(Buffer.data(), Count);
    }
    return Reply;
}

TFtpReply TNMFTP::ReadFinalReply(const TDeadline& Deadline) {
    TFtpReply Reply;
    do Reply = ReadReply(Deadline);
    while (Reply.Preliminary());
    return Reply;
}

TFtpReply TNMFTP::Command(const std::string& Line, int Limit, DWORD TimeoutMs, bool OpensTransfer) {
    const std::shared_ptr<TBlockingSocket> Control = FControl;
    const TDeadline Deadline = TimeoutMs == INFINITE ? TDeadline::Never() : TDeadline::After(TimeoutMs);
    Control->Send(Line + "\r\n", kSendAborted);
    TFtpReply Reply = OpensTransfer ? ReadReply(Deadline) : ReadFinalReply(Deadline);
    if (Reply.Code >= Limit) throw EFtpReplyError(Reply.Text);
    return Reply;
}

void TNMFTP::Connect() {
    Run([this] {
        DropConnection();
        const sockaddr_in Remote = LookUpHost(Host, Port, FState);
        const auto Control = std::make_shared<TBlockingSocket>(FState);
        FControl = Control;
        Control->Connect(Remote);
        TFtpReply Reply = ReadFinalReply(TDeadline::Never());  // the greeting, after any "120 Ready in ..."
        if (Reply.Code >= 400) throw ESockError(Reply.Text);
        try {
            Reply = Command("USER " + UserID);
            if (Reply.Code == 331) Command("PASS " + Password);
        } catch (const EFtpReplyError&) {
            DropConnection();  // not logged in: nothing more can be done on this connection
            throw;
        }
    });
    if (OnConnect) OnConnect(this);
}

void TNMFTP::Disconnect() {
    if (!Connected()) return;
    Run([this] {
        try {
            Command("QUIT", 301, kQuitReplyMs);
        } catch (...) {
            DropConnection();
            throw;
        }
        DropConnection();
    });
}

void TNMFTP::ChangeDir(const std::string& DirName) {
    Run([&] {
        RequireConnected();
        Command("CWD " + DirName);
    });
    if (OnSuccess) OnSuccess(cmdChangeDir);
}

void TNMFTP::Mode(int TheMode) {
    Run([&] {
        RequireConnected();
        Command(TheMode == MODE_ASCII ? "TYPE A" : "TYPE I");
    });
    if (OnSuccess) OnSuccess(cmdDoCommand);
}

void TNMFTP::Upload(const std::string& LocalFile, const std::string& RemoteFile, long long Size) {
    Run([&] {
        RequireConnected();
        std::ifstream File(LocalFile, std::ios::binary | std::ios::ate);
        if (!File) throw EFtpFileError("Cannot open file \"" + LocalFile + "\"");
        BytesTotal = Size >= 0 ? Size : static_cast<long long>(File.tellg());
        BytesSent = 0;
        File.seekg(0);
        const std::shared_ptr<TTransferState> State = FState;
        // Only the server may send us the data connection: it comes from the address we talk to.
        const in_addr Server = FControl->PeerAddress().sin_addr;
        TBlockingSocket Listener(State);
        Listener.Listen(FControl->LocalAddress());
        const sockaddr_in Local = Listener.LocalAddress();
        Command("PORT " + FormatPortArgument(ntohl(Local.sin_addr.s_addr), ntohs(Local.sin_port)), 301);
        Command("STOR " + (RemoteFile.empty() ? ExtractFileName(LocalFile) : RemoteFile), 301, INFINITE,
                true);  // 125 or 150
        TBlockingSocket Data(State);
        Data.Accept(Listener, Server, kSendAborted);
        Listener.Close();
        // BytesSent follows what the connection takes, not what the system's buffers swallow: a
        // picture of 200 KB would otherwise count as sent at once however slow the line.
        Data.LimitSendBuffer(kSendBufferBytes);
        // Exactly BytesTotal bytes go, even when the file has grown meanwhile.
        std::vector<char> Packet(kPacketBytes);
        while (BytesSent < BytesTotal) {
            const auto Wanted = static_cast<std::streamsize>(
                std::min<long long>(static_cast<long long>(Packet.size()), BytesTotal - BytesSent));
            File.read(Packet.data(), Wanted);
            const size_t Count = static_cast<size_t>(File.gcount());
            if (Count == 0) throw EFtpFileError("The file \"" + LocalFile + "\" ended before all of it was sent");
            Data.Send(Packet.data(), Count, kSendAborted);
            BytesSent += static_cast<long long>(Count);
            if (OnPacketSent) OnPacketSent(this);
            if (State->Aborted) throw ESockError(kSendAborted);
        }
        Data.Close();
        const TFtpReply Reply = ReadFinalReply(TDeadline::Never());
        if (Reply.Code >= 400) throw EFtpReplyError(Reply.Text);
    });
    if (OnSuccess) OnSuccess(cmdUpload);
}
