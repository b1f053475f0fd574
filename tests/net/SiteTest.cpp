// TNMHTTP and TNMFTP against the sample site's real servers (VELMORA_SITE_INFO names its folder).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include "NMFTP.h"
#include "NMHTTP.h"
#include "TestSupport.h"

namespace {
class SiteTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* Info = std::getenv("VELMORA_SITE_INFO");
        if (!Info) GTEST_SKIP() << "VELMORA_SITE_INFO is not set (run through CTest)";
        Folder = std::string(Info) + "\\";
        HttpPort = std::atoi(WholeFile(Folder + "http-port").c_str());
        FtpPort = std::atoi(WholeFile(Folder + "ftp-port").c_str());
        ASSERT_GT(HttpPort, 0);
        ASSERT_GT(FtpPort, 0);
    }
    void TearDown() override {
        if (HttpPort) TNMHTTP(nullptr).Get(Url("/_test/reset"));  // the hooks a test set
    }
    std::string Url(const std::string& Path) const { return "http://127.0.0.1:" + std::to_string(HttpPort) + Path; }
    // Configures an FTP client for the site's account.
    void SetUpFtp(TNMFTP& Ftp, const std::string& Password = "skins") const {
        Ftp.Host = "127.0.0.1";
        Ftp.Port = FtpPort;
        Ftp.UserID = "velmora";
        Ftp.Password = Password;
    }
    // The commands of the FTP session that stored Name, in order, from the site's log.
    std::vector<std::string> SessionCommands(const std::string& Name) const {
        std::istringstream Log(WholeFile(Folder + "log\\ftp.log"));
        std::map<std::string, std::vector<std::string>> Sessions;
        std::string Line, Found;
        while (std::getline(Log, Line)) {
            if (!Line.empty() && Line.back() == '\r') Line.pop_back();
            const size_t Blank = Line.find(' ');
            if (Blank == std::string::npos || Line.compare(Blank, 3, " > ") != 0) continue;
            const std::string Session = Line.substr(0, Blank), Command = Line.substr(Blank + 3);
            Sessions[Session].push_back(Command);
            if (Command == "STOR " + Name) Found = Session;
        }
        return Sessions[Found];
    }
    std::string Folder;
    int HttpPort = 0, FtpPort = 0;
};
}  // namespace

TEST_F(SiteTest, HttpRequestsAsTheSiteSeesThem) {
    TNMHTTP Http(nullptr);
    int Successes = 0;
    Http.OnSuccess = [&](CmdType) { ++Successes; };
    Http.Put(Url("/_test/echo"), "a=1&b=2");
    EXPECT_EQ(Http.Body,
              "PUT /_test/echo HTTP/1.0\r\nHost: 127.0.0.1\r\n"
              "Accept: www/source, text/html, video/mpeg, image/jpeg, image/x-tiff\r\n"
              "Accept: image/x-rgb, image/x-xbm, image/gif, */*, application/postscript\r\n"
              "Content-type: application/x-www-form-urlencoded\r\nContent-Length: 7\r\n\r\na=1&b=2");
    Http.Get(Url("/_test/redirect/5/programs/velmora3/application/appdata.txt"));
    EXPECT_NE(Http.Body.find("FTP_USERID"), std::string::npos);
    EXPECT_EQ(Successes, 2);
    Http.Get(Url("/_test/loop"));
    Http.Get(Url("/_test/status/404"));
    EXPECT_EQ(Successes, 2);
    for (const char* Path : {"/_test/cut/100000", "/_test/empty"})
        EXPECT_THROW(Http.Get(Url(Path)), ESockError) << Path;
    EXPECT_EQ(Successes, 2);
}

// A stranger connects to the data port first (from 127.0.0.2): he is turned away and gets nothing; the
// file goes to the server, whose connection comes from the address of the control connection.
TEST_F(SiteTest, FtpUploadInActiveMode) {
    TNMHTTP(nullptr).Get(Url("/_test/ftpstranger"));
    const size_t LogMark = WholeFile(Folder + "log\\ftp.log").size();
    TScratchFolder Scratch;
    const std::string Local = Scratch.Path() + "myskin.jpg";
    std::string Data(200000, '\0');
    for (size_t I = 0; I < Data.size(); ++I) Data[I] = static_cast<char>(I * 31 % 256);
    Data.replace(100, 4, "\r\n\n\r");  // an image transfer keeps line ends as they are
    std::ofstream(Local, std::ios::binary).write(Data.data(), static_cast<std::streamsize>(Data.size()));
    const std::string Remote = "upload-" + std::to_string(GetTickCount()) + ".jpg";

    TNMFTP Ftp(nullptr);
    EXPECT_EQ("anonymous", Ftp.UserID);  // until the form sets its own
    SetUpFtp(Ftp);
    std::vector<std::string> Events;
    long long LastSent = 0;
    Ftp.OnConnect = [&](TObject*) { Events.push_back("connect"); };
    Ftp.OnSuccess = [&](TCmdType Cmd) { Events.push_back("success " + std::to_string(Cmd)); };
    Ftp.OnPacketSent = [&](TObject*) {
        EXPECT_GT(Ftp.GetBytesSent(), LastSent);
        EXPECT_EQ(Ftp.BytesTotal, 200000);
        LastSent = Ftp.GetBytesSent();
    };
    Ftp.Connect();
    Ftp.ChangeDir("incoming");
    Ftp.Mode(MODE_IMAGE);
    Ftp.Upload(Local, Remote);
    Ftp.Disconnect();
    EXPECT_EQ(Events, (std::vector<std::string>{"connect", "success 0", "success 14", "success 9"}));
    EXPECT_EQ(LastSent, 200000);
    EXPECT_TRUE(WholeFile(Folder + "ftp\\incoming\\" + Remote) == Data);

    const std::vector<std::string> Commands = SessionCommands(Remote);
    ASSERT_EQ(Commands.size(), 7u);
    EXPECT_EQ(Commands[0], "USER velmora");
    EXPECT_EQ(Commands[1].substr(0, 5), "PASS ");
    EXPECT_EQ(Commands[2], "CWD incoming");
    EXPECT_EQ(Commands[3], "TYPE I");
    EXPECT_EQ(Commands[4].substr(0, 5), "PORT ");
    EXPECT_EQ(std::count(Commands[4].begin(), Commands[4].end(), ','), 5);
    EXPECT_EQ(Commands[4].substr(5, 10), "127,0,0,1,");
    EXPECT_EQ(Commands[5], "STOR " + Remote);
    EXPECT_EQ(Commands[6], "QUIT");
    // The site logs what the stranger got once his connection is closed.
    const auto FtpLog = [&] { return WholeFile(Folder + "log\\ftp.log").substr(LogMark); };
    for (int Waited = 0; Waited < 5000 && FtpLog().find("= stranger received") == std::string::npos; Waited += 50)
        Sleep(50);
    const std::string Log = FtpLog();
    EXPECT_NE(Log.find("= stranger connected to port"), std::string::npos) << "the stranger came too late";
    EXPECT_NE(Log.find("= stranger received 0 bytes"), std::string::npos) << Log;

    // An empty remote name stores under the local file's own name.
    LastSent = 0;
    Ftp.Connect();
    Ftp.ChangeDir("incoming");
    Ftp.Mode(MODE_IMAGE);
    Ftp.Upload(Local, "");
    Ftp.Disconnect();
    EXPECT_TRUE(WholeFile(Folder + "ftp\\incoming\\myskin.jpg") == Data);
}

TEST_F(SiteTest, FtpFailureTexts) {
    TNMFTP Ftp(nullptr);
    SetUpFtp(Ftp, "wrong");
    try {
        Ftp.Connect();
        ADD_FAILURE() << "a wrong password was accepted";
    } catch (const ESockError& E) {
        EXPECT_EQ(E.Message.substr(0, 4), "530 ");
    }
    EXPECT_FALSE(Ftp.Connected());
    EXPECT_THROW(Ftp.ChangeDir("incoming"), ESockError);

    SetUpFtp(Ftp);
    Ftp.Connect();
    try {
        Ftp.ChangeDir("private");
        ADD_FAILURE() << "a refused directory was entered";
    } catch (const ESockError& E) {
        EXPECT_EQ(E.Message.substr(0, 4), "550 ");
    }
    Ftp.ChangeDir("incoming");  // the connection is still in step after a refusal

    // A refusal in the final reply, after all the data went, is a failure too.
    TScratchFolder Scratch;
    const std::string Local = Scratch.Path() + "skin.jpg";
    std::ofstream(Local, std::ios::binary) << std::string(5000, 'x');
    int Uploads = 0;
    Ftp.OnSuccess = [&](TCmdType Cmd) { Uploads += Cmd == cmdUpload; };
    Ftp.Mode(MODE_IMAGE);
    for (const std::string Code : {"451", "452"}) {
        try {
            Ftp.Upload(Local, "_test_final_" + Code + ".jpg");
            ADD_FAILURE() << "a final " << Code << " was taken for a success";
        } catch (const ESockError& E) {
            EXPECT_EQ(E.Message.substr(0, 4), Code + " ");
        }
    }
    EXPECT_EQ(Uploads, 0);
    Ftp.Disconnect();
    EXPECT_FALSE(Ftp.Connected());

    try {
        Ftp.ChangeDir("incoming");
    } catch (const ESockError& E) {
        EXPECT_EQ(E.Message, "Not Connected");
    }
    SetUpFtp(Ftp);
    Ftp.Port = 1;
    try {
        Ftp.Connect();
    } catch (const ESockError& E) {
        EXPECT_EQ(E.Message, "Connection Failed");
    }
}
