// TNMHTTP against a server in the test: the bytes it sends, how statuses, redirects and broken
// replies end, Abort and re-entrancy while it blocks, counters, file mode and the memory cap.
#include "TestServer.h"  // first: winsock2.h before windows.h

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>

#include "HeldHostLookup.h"
#include "NMHTTP.h"
#include "TestSupport.h"

namespace {
std::string Pattern(size_t Size) {
    std::string Bytes(Size, '\0');
    for (size_t I = 0; I < Size; ++I) Bytes[I] = static_cast<char>((I * 7 + I / 4096) & 0xFF);
    return Bytes;
}

size_t NumberAfter(const std::string& Path, const std::string& Prefix) {
    return static_cast<size_t>(std::stoul(Path.substr(Prefix.size())));
}

void Serve(const std::string& Request, SOCKET Client, TTestServer& Server) {
    const std::string Path = TTestServer::PathOf(Request);
    auto Starts = [&](const char* Prefix) { return Path.rfind(Prefix, 0) == 0; };
    if (Starts("/echo")) {
        TTestServer::SendAll(Client, TTestServer::Reply(200, Request));
    } else if (Starts("/status/")) {
        // "/status/CODE", "/status/CODE/bare" for a reply without a Location, "/status/CODE/to/LOCATION"
        const int Code = static_cast<int>(NumberAfter(Path, "/status/"));
        const bool Bare = Path.find("/bare") != std::string::npos;
        const size_t To = Path.find("/to/");
        const std::string Location = To == std::string::npos ? "/status/200" : Path.substr(To + 4);
        TTestServer::SendAll(Client, TTestServer::Reply(Code, "status " + std::to_string(Code) + " body", true,
                                                        Bare ? "" : "Location: " + Location + "\r\n"));
    } else if (Starts("/redirect/")) {
        const size_t Left = NumberAfter(Path, "/redirect/");
        if (Left == 0) TTestServer::SendAll(Client, TTestServer::Reply(200, "arrived"));
        else TTestServer::SendAll(Client, TTestServer::Reply(302, "", true, "Location: /redirect/" + std::to_string(Left - 1) + "\r\n"));
    } else if (Starts("/loop")) {
        TTestServer::SendAll(Client, TTestServer::Reply(302, "", true, "Location: " + Server.Url("/loop") + "\r\n"));
    } else if (Starts("/nolength/")) {
        TTestServer::SendAll(Client, TTestServer::Reply(200, Pattern(NumberAfter(Path, "/nolength/")), false));
    } else if (Starts("/big/")) {
        TTestServer::SendAll(Client, TTestServer::Reply(200, Pattern(NumberAfter(Path, "/big/"))));
    } else if (Starts("/endless")) {
        // "/endless" without a length, "/endless/N" stating N bytes: either way bytes until the client leaves
        const std::string Length = Starts("/endless/") ? "Content-Length: " + Path.substr(9) + "\r\n" : "";
        const std::string Piece = Pattern(65536);
        if (TTestServer::SendAll(Client, "HTTP/1.0 200 OK\r\n" + Length + "\r\n"))
            while (!Server.Stopping && TTestServer::SendAll(Client, Piece)) {
            }
    } else if (Starts("/cut/")) {
        const size_t Size = NumberAfter(Path, "/cut/");
        const std::string Whole = TTestServer::Reply(200, Pattern(Size));
        TTestServer::SendAll(Client, Whole.substr(0, Whole.size() - Size / 2));
    } else if (Starts("/slow")) {
        TTestServer::SendAll(Client, "HTTP/1.0 200 OK\r\nContent-Length: 1000000\r\n\r\n");
        for (int I = 0; I < 1000 && !Server.Stopping; ++I) {
            if (!TTestServer::SendAll(Client, std::string(1000, 's'))) break;
            Sleep(20);
        }
    }
    // "/empty": closed without a byte
}

class HttpTest : public ::testing::Test {
protected:
    HttpTest() : Server([this](const std::string& Request, SOCKET Client) { Serve(Request, Client, Server); }) {
        Http = std::make_unique<TNMHTTP>(nullptr);
        Http->OnSuccess = [this](CmdType Cmd) { Successes.push_back(Cmd); };
    }
    TTestServer Server;
    std::unique_ptr<TNMHTTP> Http;
    std::vector<CmdType> Successes;
};

// Runs Action and returns the message of the ESockError it raised ("" when none).
template <class TAction>
std::string RaisedText(TAction Action) {
    try {
        Action();
    } catch (const ESockError& E) {
        return E.Message;
    }
    return "";
}
}  // namespace

TEST_F(HttpTest, GetAndPutSendExactlyTheseBytes) {
    const std::string Accept =
        "Accept: www/source, text/html, video/mpeg, image/jpeg, image/x-tiff\r\n"
        "Accept: image/x-rgb, image/x-xbm, image/gif, */*, application/postscript\r\n"
        "Content-type: application/x-www-form-urlencoded\r\n";
    Http->Get(Server.Url("/echo/a%20b?c=d"));
    const std::string Data("name=x&comment=line1\r\nline2\0\xe9", 30);
    Http->Put(Server.Url("/echo"), Data);
    const auto Requests = Server.Requests();
    ASSERT_EQ(Requests.size(), 2u);
    EXPECT_EQ(Requests[0], "GET /echo/a%20b?c=d HTTP/1.0\r\nHost: 127.0.0.1\r\n" + Accept + "\r\n");
    EXPECT_EQ(Requests[1], "PUT /echo HTTP/1.0\r\nHost: 127.0.0.1\r\n" + Accept + "Content-Length: 30\r\n\r\n" + Data);
    EXPECT_EQ(Http->Body, Requests[1]);  // the reply body, kept in memory
    EXPECT_NE(Http->Header.find("Content-Length: " + std::to_string(Requests[1].size())), std::string::npos);
    EXPECT_EQ(Successes, (std::vector<CmdType>{CmdGET, CmdPUT}));
}

TEST_F(HttpTest, StatusDecidesSuccessAndRedirects) {
    // Every reply but the bare ones names /status/200 as Location: only 300 to 302 go there, and
    // without a Location they are the final reply.
    // Only http addresses are followed: the others would be asked of this server as http.
    const std::string Here = "127.0.0.1:" + std::to_string(Server.Port()) + "/status/200";
    struct {
        std::string Status;
        bool Success;
        size_t Requests;
        const char* Body;
    } Cases[] = {
        {"200", true, 1, "status 200 body"},      {"201", true, 1, "status 201 body"},
        {"298", true, 1, "status 298 body"},      {"299", false, 1, "status 299 body"},
        {"300", true, 2, "status 200 body"},      {"301", true, 2, "status 200 body"},
        {"302", true, 2, "status 200 body"},      {"303", false, 1, "status 303 body"},
        {"304", false, 1, "status 304 body"},     {"399", false, 1, "status 399 body"},
        {"404", false, 1, "status 404 body"},     {"500", false, 1, "status 500 body"},
        {"300/bare", false, 1, "status 300 body"}, {"301/bare", false, 1, "status 301 body"},
        {"302/bare", false, 1, "status 302 body"},
        {"302/to/HTTP://" + Here, true, 2, "status 200 body"},
        {"302/to/ftp://" + Here, false, 1, "status 302 body"},
        {"300/to/file://" + Here, false, 1, "status 300 body"},
    };
    size_t Before = 0;
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Status);
        Successes.clear();
        EXPECT_NO_THROW(Http->Get(Server.Url("/status/" + Case.Status)));
        EXPECT_EQ(Successes.size(), Case.Success ? 1u : 0u);
        EXPECT_EQ(Http->Body, Case.Body);
        const size_t Now = Server.Requests().size();
        EXPECT_EQ(Now - Before, Case.Requests);
        Before = Now;
    }
}

TEST_F(HttpTest, RedirectsFollowedFiveTimesAtMost) {
    Http->Get(Server.Url("/redirect/5"));  // relative Locations, five in a row
    EXPECT_EQ(Successes.size(), 1u);
    EXPECT_EQ(Http->Body, "arrived");
    EXPECT_EQ(Server.Requests().size(), 6u);

    Successes.clear();
    EXPECT_NO_THROW(Http->Get(Server.Url("/redirect/6")));
    EXPECT_TRUE(Successes.empty());
    EXPECT_EQ(Server.Requests().size(), 12u);
    EXPECT_EQ(TTestServer::PathOf(Server.Requests().back()), "/redirect/1");

    EXPECT_NO_THROW(Http->Get(Server.Url("/loop")));  // absolute Location to itself
    EXPECT_TRUE(Successes.empty());
    EXPECT_EQ(Server.Requests().size(), 18u);
}

TEST_F(HttpTest, ReplyWithoutLengthEndsWithTheConnection) {
    Http->Get(Server.Url("/nolength/200000"));
    EXPECT_EQ(Successes.size(), 1u);
    EXPECT_EQ(Http->Body, Pattern(200000));
    EXPECT_EQ(Http->BytesRecvd, 200000);
    EXPECT_EQ(Http->BytesTotal, 0);
}

TEST_F(HttpTest, CutAndEmptyRepliesAreNoSuccess) {
    for (const char* Path : {"/cut/100000", "/empty"}) {
        SCOPED_TRACE(Path);
        EXPECT_EQ(RaisedText([&] { Http->Get(Server.Url(Path)); }), "Connection closed before the reply was complete");
        EXPECT_TRUE(Successes.empty());
    }
}

TEST_F(HttpTest, FailureTexts) {
    struct {
        std::string Url;
        const char* Text;
    } Cases[] = {
        {"http://127.0.0.1:" + std::to_string(ClosedPort()) + "/", "Connection Failed"},
        {"http://nonexistent.invalid/x", "Host Lookup Failed"},
        {"", "Empty URL"},
        {"https://127.0.0.1/", "HTTP Secure Socket is not supported"},
        {"http:///x", "Null Remote Address"},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Url);
        EXPECT_EQ(RaisedText([&] { Http->Get(Case.Url); }), Case.Text);
    }
    EXPECT_TRUE(Successes.empty());
}

TEST_F(HttpTest, AbortFromTheMessageLoopEndsTheCall) {
    // The Abort arrives through a timer message: only a turning message loop delivers it.
    TNMHTTP* Client = Http.get();
    RunLater(300, [Client] { Client->Abort(); });
    const DWORD Start = GetTickCount();
    const std::string Text = RaisedText([&] { Http->Get(Server.Url("/slow")); });
    EXPECT_EQ(Text, "Socket capture aborted");
    EXPECT_LT(GetTickCount() - Start, 5000u);
    EXPECT_TRUE(Successes.empty());
    EXPECT_LT(Http->BytesRecvd, Http->BytesTotal);
    // The next request is not aborted by the old Abort; Abort with nothing running does nothing.
    Http->Abort();
    Http->Get(Server.Url("/status/200"));
    EXPECT_EQ(Successes.size(), 1u);
}

// A name server that does not answer: the message loop keeps turning, Abort ends the wait at once,
// and without it the bound does.
TEST_F(HttpTest, AHostLookupThatDoesNotAnswerKeepsTheLoopTurningUntilAbortOrTheBound) {
    auto Held = std::make_unique<THeldHostLookup>(1500);
    static int Ticks;
    struct TTicker {
        static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) { ++Ticks; }
    };
    const UINT_PTR Ticker = SetTimer(nullptr, 0, 50, TTicker::Tick);
    const struct {
        int AbortAfterMs;  // 0: no Abort
        const char* Text;
        DWORD AtLeastMs, AtMostMs;
    } Cases[] = {{300, "Connection Canceled", 300, 1000}, {0, "Host Lookup Timed Out", 1500, 2500}};
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Text);
        TNMHTTP* Client = Http.get();
        if (Case.AbortAfterMs) RunLater(Case.AbortAfterMs, [Client] { Client->Abort(); });
        Ticks = 0;
        const DWORD Start = GetTickCount();
        EXPECT_EQ(Case.Text, RaisedText([&] { Http->Get("http://no-answer.invalid/x"); }));
        const DWORD Took = GetTickCount() - Start;
        EXPECT_GE(Took, Case.AtLeastMs);
        EXPECT_LT(Took, Case.AtMostMs);
        EXPECT_GE(Ticks, static_cast<int>(Case.AtLeastMs / 50 / 2)) << "the message loop stood still";
    }
    KillTimer(nullptr, Ticker);
    Held.reset();
    EXPECT_TRUE(Successes.empty());
    Http->Get(Server.Url("/status/200"));  // a dotted address needs no lookup
    EXPECT_EQ(Successes.size(), 1u);
}

TEST_F(HttpTest, CountersAndPacketsDuringALargeBody) {
    constexpr long long kSize = 3 * 1024 * 1024 + 123;
    std::vector<long long> Seen;
    Http->OnPacketRecvd = [&](TObject* Sender) {
        EXPECT_EQ(Sender, Http.get());
        EXPECT_EQ(Http->BytesTotal, kSize);
        Seen.push_back(Http->BytesRecvd);
    };
    Http->Get(Server.Url("/big/" + std::to_string(kSize)));
    ASSERT_FALSE(Seen.empty());
    EXPECT_GE(Seen.size(), static_cast<size_t>(kSize / 65536));
    long long Last = 0;
    for (long long Now : Seen) {
        EXPECT_GT(Now, Last);
        EXPECT_LE(Now - Last, 65536);
        Last = Now;
    }
    EXPECT_EQ(Last, kSize);
    EXPECT_EQ(Http->Body, Pattern(kSize));
    EXPECT_EQ(Successes.size(), 1u);
}

// A body is taken up to its stated length and no further, and never beyond the limit its caller set:
// a larger stated length fails before the file is made, a body without a length once it grows past.
TEST_F(HttpTest, BodiesEndAtTheirLengthAndNeverPassTheLimit) {
    constexpr long long kMiB = 1024 * 1024;
    TScratchFolder Folder;
    const std::string File = Folder.Path() + "reply.bin";
    const long long Default = TNMHTTP(nullptr).MaxBody;
    const struct {
        bool ToFile;
        std::string Path;
        long long Limit;     // 0: the default
        const char* Text;    // the failure, or "" for a success
        long long Taken;     // bytes of the body kept, -1: none, and no file made
    } Cases[] = {
        {false, "/endless/1000", 0, "", 1000},
        {true, "/endless/1000", 0, "", 1000},
        {false, "/big/" + std::to_string(8 * kMiB + 1), 0, "The reply is larger than 8 MB", -1},
        {true, "/endless/107374182400", 256 * kMiB + 1162, "The reply is larger than 256 MB", -1},
        {true, "/endless", 3 * kMiB + 5, "The reply is larger than 3 MB", 3 * kMiB + 5},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Path + (Case.ToFile ? " to a file" : " in memory"));
        ::DeleteFileA(File.c_str());
        Successes.clear();
        Http->InputFileMode = Case.ToFile;
        Http->Body = Case.ToFile ? File : "";
        Http->MaxBody = Case.Limit ? Case.Limit : Default;
        EXPECT_EQ(Case.Text, RaisedText([&] { Http->Get(Server.Url(Case.Path)); }));
        EXPECT_EQ(Successes.size(), *Case.Text ? 0u : 1u);
        const std::string Kept = Case.ToFile ? WholeFile(File) : Http->Body;
        if (Case.ToFile) EXPECT_EQ(Case.Taken >= 0, ::GetFileAttributesA(File.c_str()) != INVALID_FILE_ATTRIBUTES);
        // A failure may leave less than the limit: the caller deletes the file anyway.
        if (*Case.Text) EXPECT_LE(static_cast<long long>(Kept.size()), std::max(Case.Taken, 0LL));
        else EXPECT_TRUE(Kept == Pattern(static_cast<size_t>(Case.Taken))) << Kept.size() << " bytes";
    }
}

TEST_F(HttpTest, HandlersMayStartRequestsOrFreeTheComponent) {
    // Another component's request from inside a running one: both complete.
    TNMHTTP Other(nullptr);
    std::string SameComponentError;
    bool Nested = false;
    Http->OnPacketRecvd = [&](TObject*) {
        if (Nested) return;
        Nested = true;
        Other.Get(Server.Url("/status/201"));
        SameComponentError = RaisedText([&] { Http->Get(Server.Url("/status/200")); });
    };
    Http->Get(Server.Url("/big/1000000"));
    EXPECT_EQ(Other.Body, "status 201 body");
    EXPECT_EQ(SameComponentError, "A transfer is already in progress");
    EXPECT_EQ(Http->Body, Pattern(1000000));
    EXPECT_EQ(Successes.size(), 1u);

    // The component freed while its Get blocks: the Get ends with an exception, nothing else.
    TNMHTTP* Doomed = Http.release();
    RunLater(200, [Doomed] { delete Doomed; });
    EXPECT_THROW(Doomed->Get(Server.Url("/slow")), ESockError);
}
