// Submitting a skin through the real forms against the sample site's HTTP and FTP servers: what
// arrives, the input checks, the link choice, and how every kind of failure and abort ends.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <regex>

#include "SampleSite.h"
#include "StatusWatch.h"
#include "Submitcommentsform.h"
#include "Submitform.h"
#include "Submitstatusform.h"
#include "Submittermsform.h"
#include "Velmoraform.h"

namespace {
void WriteFile(const std::string& Path, size_t Size) {
    std::string Data(Size, '\0');
    for (size_t I = 0; I < Size; ++I) Data[I] = static_cast<char>(I * 7 % 256);
    Data.replace(10, 4, std::string("\r\n\0\n", 4));  // the picture must travel byte for byte
    std::ofstream(Path, std::ios::binary) << Data;
}

// Answers the next agreement dialog with OK or Cancel once it shows.
void AnswerTerms(TModalResult Answer, int WaitedMs = 0) {
    RunLater(kWatchPollMs, [=] {
        if (frmSubmitTerms->Visible()) (Answer == mrOk ? frmSubmitTerms->btnOk : frmSubmitTerms->btnCancel)->Click();
        else if (WaitedMs < 10000) AnswerTerms(Answer, WaitedMs + kWatchPollMs);
    });
}

// The submit form as the main window opens it, filled in, with the site as it was generated.
class Submitting : public testing::Test {
protected:
    void SetUp() override {
        Info = std::getenv("VELMORA_SITE_INFO") ? std::getenv("VELMORA_SITE_INFO") : "";
        if (Info.empty()) GTEST_SKIP() << "needs the sample site (run through CTest)";
        SiteGet("/_test/reset");
        frmVelmora->AppDataAddress = SiteAddress() + "/programs/velmora3/application/appdata.txt";
        Picture = Folder.Path() + "skin" + std::to_string(GetTickCount()) + ".jpg";
        WriteFile(Picture, kMaxSkinBytes);
        F->txtName->SetText("Jane");
        F->txtEmail->SetText("jane@example.com");
        F->txtWebsite->SetText("http://");
        F->txtSkin->SetText(Picture);
        LogMark = SiteLog().size();
        FtpMark = FtpLog().size();
    }
    void TearDown() override {
        if (Info.empty()) return;
        SiteGet("/_test/reset");
        F->ftp->Port = 21;
        F->Hide();
    }
    std::string FtpLog() const { return WholeFile(Info + "\\log\\ftp.log"); }
    // The FTP commands sent since the test began, in order.
    std::vector<std::string> FtpCommands() const {
        std::vector<std::string> Commands;
        const std::string Log = FtpLog().substr(FtpMark);
        std::smatch M;
        for (auto It = Log.cbegin(); std::regex_search(It, Log.cend(), M, std::regex("\\d+ > ([^\\r\\n]*)")); It = M[0].second)
            Commands.push_back(M[1]);
        return Commands;
    }
    std::string PutBody() const { return LastPutBody(LogMark); }
    // Opens the form, presses Submit, accepts the agreement and watches the status dialog.
    TEnding Submit(std::function<void(TStatusDialog*)> WhileRunning = nullptr) {
        TEnding Ending;
        RunModal(F, [&] {
            AnswerTerms(mrOk);
            Ending = WatchWhile(frmSubmitStatus, [&] { F->btnSubmit->Click(); }, WhileRunning);
        }, 30000);
        return Ending;
    }
    std::string Info, Picture;
    size_t LogMark = 0, FtpMark = 0;
    TScratchFolder Folder;
    TfrmSubmit* F = frmSubmit;
    TBoxAnswerer Boxes;
};

std::string Name(const std::string& Path) { return Path.substr(Path.find_last_of('\\') + 1); }
}  // namespace

TEST_F(Submitting, ThePictureArrivesByteForByteTheDetailsByPutAndTheReplyIsShown) {
    F->txtName->SetText("  Jane & Co=1 ");
    F->txtWebsite->SetText("http://jane.example/");
    F->optEmail->SetChecked(true);
    TEnding Ending;
    RunModal(F, [&] {
        // The comments typed in their dialog, which Tab leaves for "&OK", all with the keyboard.
        F->btnComments->SetFocus();
        WhenActive(frmSubmitComments, [] {
            PressKey(VK_RETURN);
            TypeKeys("first line");
            PressKey(VK_RETURN);
            TypeKeys("second line");
            PressKey(VK_RETURN);
            PressKey(VK_RETURN);
            PressKey(VK_TAB);
            PressKey(VK_RETURN);
            RunLater(5000, [] {
                if (!frmSubmitComments->Visible()) return;
                ADD_FAILURE() << "Tab and Enter did not reach OK";
                frmSubmitComments->ModalResult = mrCancel;
            });
        });
        PressKey(VK_RETURN);
        EXPECT_TRUE(PumpUntil([] { return frmSubmitComments->ModalResult == mrOk && !frmSubmitComments->Visible(); }));
        EXPECT_EQ("\r\nfirst line\r\nsecond line\r\n\r\n", frmSubmitComments->memComments->Text());
        AnswerTerms(mrOk);
        Ending = WatchWhile(frmSubmitStatus, [&] { F->btnSubmit->Click(); });
    }, 30000);
    EXPECT_TRUE(Ending.WaitedForClose);
    EXPECT_EQ("Thank you! Your skin has been received.\r\n\r\nIt will appear in the gallery once we have looked at it.",
              Ending.Text);
    EXPECT_FALSE(frmSubmitStatus->InternetProblem);
    EXPECT_FALSE(F->Visible());
    EXPECT_TRUE(WholeFile(Info + "\\ftp\\incoming\\" + Name(Picture)) == WholeFile(Picture));
    const std::vector<std::string> Commands = FtpCommands();
    ASSERT_EQ(7u, Commands.size());
    EXPECT_EQ("USER velmora", Commands[0]);
    EXPECT_EQ("CWD /incoming", Commands[2]);
    EXPECT_EQ("TYPE I", Commands[3]);
    EXPECT_EQ("PORT 127,0,0,1,", Commands[4].substr(0, 15));
    EXPECT_EQ("STOR " + Name(Picture), Commands[5]);
    EXPECT_EQ("QUIT", Commands[6]);
    EXPECT_EQ("name=Jane & Co=1&email=jane@example.com&url=http://jane.example/&skin=" + Picture +
                  "&emaillink=YES&urllink=NO&comments=first line\nsecond line",
              PutBody());
    EXPECT_EQ(static_cast<int>(kMaxSkinBytes), frmSubmitStatus->prgUpload->Max());
    EXPECT_EQ(static_cast<int>(kMaxSkinBytes), frmSubmitStatus->prgUpload->Position());
}

TEST_F(Submitting, InputChecksStopBeforeAnyRequest) {
    const std::string Big = Folder.Path() + "big.jpg";
    WriteFile(Big, kMaxSkinBytes + 1);
    // A file whose size cannot be read (GetFileSizeEx fails on a pipe) counts as not found.
    const std::string Pipe = "\\\\.\\pipe\\velmora-skin-" + std::to_string(GetCurrentProcessId());
    HANDLE PipeServer = CreateNamedPipeA(Pipe.c_str(), PIPE_ACCESS_DUPLEX, 0, PIPE_UNLIMITED_INSTANCES, 512, 512, 0, nullptr);
    const std::string TooLarge =
        "File is too large!  The maximum skin size is 200 kb.\n\nConvert the skin to a smaller type (JPEG), or lower "
        "the height and width of the skin.";
    const struct {
        std::string Name, Email, Skin, Box;
        unsigned Icon;
        bool EmailFocused, TermsShown;
    } Cases[] = {
        {"", "jane@example.com", Picture, "Please fill in all fields.", MB_ICONWARNING, false, false},
        {"Jane", "", Picture, "Please fill in all fields.", MB_ICONWARNING, false, false},
        {"Jane", "jane@example.com", "", "Please fill in all fields.", MB_ICONWARNING, false, false},
        {"Jane", "jane@example", Picture, "Please enter a valid email address.", MB_ICONWARNING, true, false},
        {"Jane", "jane@example.com", Folder.Path() + "gone.jpg", "File could not be opened!", MB_ICONWARNING, false, false},
        {"Jane", "jane@example.com", Pipe, "File could not be opened!", MB_ICONWARNING, false, false},
        {"Jane", "jane@example.com", Big, TooLarge, MB_ICONINFORMATION, false, false},
        {"Jane", "jane@example.com", Picture, "", 0, false, true},  // the agreement cancelled
    };
    F->Show();
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Box + " | " + Case.Skin);
        F->txtName->SetText(Case.Name);
        F->txtEmail->SetText(Case.Email);
        F->txtSkin->SetText(Case.Skin);
        F->txtName->SetFocus();
        Boxes.Asked.clear();
        const bool TermsShown = SubmitCancellingTheAgreement(frmSubmitTerms, [&] { F->btnSubmitClick(nullptr); });
        if (Case.Box.empty()) {
            EXPECT_TRUE(Boxes.Asked.empty());
        } else {
            ASSERT_EQ(1u, Boxes.Asked.size());
            EXPECT_EQ(Case.Box, Boxes.Asked[0].Text);
            EXPECT_EQ(Case.Icon, Boxes.Asked[0].Flags & MB_ICONMASK);
            EXPECT_EQ("Velmora!", Boxes.Asked[0].Caption);
            EXPECT_EQ(F->Handle(), Boxes.Asked[0].Owner);
        }
        EXPECT_EQ(Case.EmailFocused, F->txtEmail->Focused());
        EXPECT_EQ(Case.TermsShown, TermsShown);
        EXPECT_TRUE(F->Visible());
    }
    CloseHandle(PipeServer);
    EXPECT_EQ(LogMark, SiteLog().size());
    EXPECT_TRUE(FtpCommands().empty());
}

TEST_F(Submitting, TheLinkChoiceFollowsTheAddressAndReopeningKeepsTheFields) {
    const struct {
        const char* Address;
        bool WebsiteEnabled, Website, Neither;
    } Cases[] = {
        {"http://", false, false, true}, {"http://x", true, true, false}, {"HTTP://x", false, false, true},
        {"http:// ", true, true, false}, {"", false, false, true},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Address);
        F->optEmail->SetChecked(true);  // any change moves the choice away from the e-mail link
        F->txtWebsite->SetText(Case.Address);
        EXPECT_EQ(Case.WebsiteEnabled, F->optWebsite->Enabled());
        EXPECT_EQ(Case.Website, F->optWebsite->Checked());
        EXPECT_EQ(Case.Neither, F->optNeither->Checked());
    }
    F->txtWebsite->SetText("http://kept.example");
    frmSubmitComments->memComments->SetText("old comments");
    std::string Comments;
    int SelStart = -1, SelLength = -1;
    EXPECT_EQ(mrCancel, RunModal(F, [&] {
                  Comments = frmSubmitComments->memComments->Text();
                  SelStart = F->txtName->SelStart();
                  SelLength = F->txtName->SelLength();
                  EXPECT_TRUE(F->txtName->Focused());
                  F->btnCancel->Click();
              }));
    EXPECT_EQ("", Comments);
    EXPECT_EQ(0, SelStart);
    EXPECT_EQ(4, SelLength);
    EXPECT_EQ("Jane", F->txtName->Text());
    EXPECT_EQ("http://kept.example", F->txtWebsite->Text());
    EXPECT_EQ(Picture, F->txtSkin->Text());
}

TEST_F(Submitting, EveryEndingSaysWhatHappenedAndRestartsOnlyAfterAnInternetProblem) {
    const std::string Reply =
        "Thank you! Your skin has been received.\r\n\r\nIt will appear in the gallery once we have looked at it.";
    const struct {
        const char* What;
        std::vector<std::pair<std::string, std::string>> AppData;
        std::string Hook;
        std::string Text;
        bool InternetProblem, Stored, Put;
    } Cases[] = {
        {"closed", {{"SUBMITCLOSED_MSG", "Closed for now & then"}}, "", "Closed for now & then", false, false, false},
        {"refused folder", {{"FTP_DIRECTORY", "/private"}}, "", "Error connecting to server!", true, false, false},
        {"wrong password", {{"FTP_PASSWORD", "wrong"}}, "", "Error connecting to server!", true, false, false},
        {"no folder", {{"FTP_DIRECTORY", ""}}, "", Reply, false, true, true},
        {"PUT answered 500", {{"SUBMIT_CGI", SiteAddress() + "/_test/status/500"}}, "", "Error sending skin information!",
         false, true, true},
        {"port abc", {{"FTP_PORT", "abc"}}, "", "Error connecting to server!", false, false, false},
        {"port 0", {{"FTP_PORT", "0"}}, "", "Error connecting to server!", false, false, false},
        {"port 70000", {{"FTP_PORT", "70000"}}, "", "Error connecting to server!", false, false, false},
        {"port $15", {{"FTP_PORT", "$15"}}, "", "Error connecting to server!", false, false, false},
        {"binary refused", {}, "/_test/ftprefuse/TYPE", "Error uploading skin!", true, false, false},
        {"a 120 before the reply to USER", {}, "/_test/ftppreliminary/USER", Reply, false, true, true},
        {"no port: the last one given is kept", {{"FTP_PORT", ""}}, "", Reply, false, true, true},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.What);
        SiteGet("/_test/reset");
        for (const auto& Value : Case.AppData) SetAppData(Value.first, Value.second);
        if (!Case.Hook.empty()) SiteGet(Case.Hook);
        FtpMark = FtpLog().size();
        LogMark = SiteLog().size();
        const TEnding Ending = Submit();
        EXPECT_TRUE(Ending.WaitedForClose && !Ending.AbortStillShown);
        EXPECT_EQ(Case.Text, Ending.Text);
        EXPECT_EQ(Case.InternetProblem, frmSubmitStatus->InternetProblem);
        const std::vector<std::string> Commands = FtpCommands();
        const bool Stored = std::find(Commands.begin(), Commands.end(), "STOR " + Name(Picture)) != Commands.end();
        EXPECT_EQ(Case.Stored, Stored);
        EXPECT_EQ(Case.Put, PutBody() != "<none>");
        if (std::string(Case.What).rfind("port", 0) == 0 || std::string(Case.What) == "closed") {
            EXPECT_TRUE(Commands.empty()) << "an FTP session was opened";
        }
        if (std::string(Case.What) == "no folder") {
            EXPECT_TRUE(std::none_of(Commands.begin(), Commands.end(), [](const std::string& C) { return C.rfind("CWD", 0) == 0; }));
        }
        EXPECT_FALSE(F->Visible());
    }
}

TEST_F(Submitting, APictureDeletedOrGrownAfterTheChecksIsNotUploaded) {
    const TNotifyEvent Connected = F->ftp->OnConnect;
    for (bool Delete : {true, false}) {
        SCOPED_TRACE(Delete ? "deleted" : "grown");
        WriteFile(Picture, kMaxSkinBytes);
        F->txtSkin->SetText(Picture);
        F->ftp->OnConnect = [&](TObject* S) {
            Connected(S);
            if (Delete) DeleteFileA(Picture.c_str());
            else WriteFile(Picture, kMaxSkinBytes + 1);
        };
        FtpMark = FtpLog().size();
        const TEnding Ending = Submit();
        F->ftp->OnConnect = Connected;
        EXPECT_EQ("Error uploading skin!", Ending.Text);
        EXPECT_FALSE(frmSubmitStatus->InternetProblem);
        for (const std::string& Command : FtpCommands()) EXPECT_NE("STOR", Command.substr(0, 4));
    }
}

// The upload, slowed by the site, sends exactly the size checked before it began: a picture that
// grows meanwhile arrives as it was checked, one that shrinks fails the upload; the bar never
// passes its maximum.
TEST_F(Submitting, APictureThatChangesDuringTheUploadSendsOnlyWhatWasChecked) {
    const std::string Original = WholeFile(Picture);
    const struct {
        const char* Name;
        long long NewSize;
        const char* Text;
    } Cases[] = {
        {"grown", kMaxSkinBytes + 50000, "Thank you! Your skin has been received.\r\n\r\nIt will appear in the gallery once we have looked at it."},
        {"shrunk", kMaxSkinBytes / 4, "Error uploading skin!"},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        WriteFile(Picture, kMaxSkinBytes);
        const std::string Remote = Info + "\\ftp\\incoming\\" + Name(Picture);
        DeleteFileA(Remote.c_str());
        SiteGet("/_test/ftprate/40000");
        bool Changed = false, PastMaximum = false;
        const TEnding Ending = Submit([&](TStatusDialog*) {
            TProgressBar* Bar = frmSubmitStatus->prgUpload;
            PastMaximum = PastMaximum || Bar->Position() > Bar->Max();
            // Once the first packets are on their way.
            if (Changed || frmSubmitStatus->lblStatus->Caption() != "Uploading Skin\n\nPlease Wait..." ||
                F->ftp->GetBytesSent() == 0 || F->ftp->GetBytesSent() >= F->ftp->BytesTotal)
                return;
            HANDLE File = CreateFileA(Picture.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
            LARGE_INTEGER Size{};
            Size.QuadPart = Case.NewSize;
            Changed = File != INVALID_HANDLE_VALUE && SetFilePointerEx(File, Size, nullptr, FILE_BEGIN) && SetEndOfFile(File);
            CloseHandle(File);
        });
        SiteGet("/_test/reset");
        EXPECT_TRUE(Changed) << "the picture was not changed during the upload";
        EXPECT_EQ(Case.Text, Ending.Text);
        EXPECT_FALSE(PastMaximum);
        EXPECT_FALSE(frmSubmitStatus->InternetProblem);
        if (Case.NewSize > kMaxSkinBytes) {
            EXPECT_TRUE(WholeFile(Remote) == Original) << WholeFile(Remote).size() << " bytes arrived";
        }
    }
}

// Closing the form sends QUIT; a server that never answers it, or answers a byte at a time, holds
// the form only for a bounded time: the bound covers the whole reply, not each piece of it.
TEST_F(Submitting, AServerThatNeverAnswersQuitDoesNotHoldTheClosingForm) {
    const struct {
        const char* Name;
        const char* Hook;
    } Cases[] = {
        {"silent", "/_test/ftpsilent/QUIT"},
        {"answered one byte every 300 ms", "/_test/ftptrickle/QUIT/300"},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        SiteGet("/_test/reset");
        SiteGet(Case.Hook);
        FtpMark = FtpLog().size();
        // A wait without a bound fails the test here instead of hanging it (the wait turns the loop).
        auto Closed = std::make_shared<bool>(false);
        RunLater(12000, [this, Closed] {
            if (*Closed) return;
            ADD_FAILURE() << "still waiting for the reply to QUIT";
            F->ftp->Abort();
        });
        DWORD Start = 0;
        RunModal(F, [&] {
            F->ftp->Host = "127.0.0.1";
            F->ftp->Port = std::stoi(SiteFile("ftp-port"));
            F->ftp->UserID = "velmora";
            F->ftp->Password = "skins";
            F->ftp->Connect();
            EXPECT_TRUE(F->ftp->Connected());
            Start = GetTickCount();
            F->btnCancel->Click();
        });
        EXPECT_LT(GetTickCount() - Start, 8000u);
        *Closed = true;
        EXPECT_FALSE(F->ftp->Connected()) << "the connection stays open";
        // The form left the server while its reply was still coming.
        EXPECT_TRUE(PumpUntil([&] { return FtpLog().find("disconnect", FtpMark) != std::string::npos; }));
        EXPECT_EQ(std::string::npos, FtpLog().find("= trickle done", FtpMark));
    }
}

TEST_F(Submitting, AbortsEndOnActionAbortedAndRestartOnlyDuringTheApplicationData) {
    {
        SCOPED_TRACE("during the application data");
        frmVelmora->AppDataAddress = SiteAddress() + "/_test/slow/100000/50";
        const TEnding Ending = Submit([](TStatusDialog* D) {
            if (D->lblStatus->Caption().rfind("Downloading", 0) == 0 && D->btnAbort->Visible()) D->btnAbort->Click();
        });
        frmVelmora->AppDataAddress = SiteAddress() + "/programs/velmora3/application/appdata.txt";
        EXPECT_EQ("Action Aborted!", Ending.Text);
        EXPECT_TRUE(frmSubmitStatus->InternetProblem);
        EXPECT_TRUE(FtpCommands().empty());
    }
    {
        SCOPED_TRACE("during the upload");
        SiteGet("/_test/ftprate/20000");
        FtpMark = FtpLog().size();
        int Seen = 0;
        const TEnding Ending = Submit([&](TStatusDialog* D) {
            Seen = frmSubmitStatus->prgUpload->Position();
            if (Seen > 0 && D->btnAbort->Visible()) D->btnAbort->Click();
        });
        EXPECT_EQ("Action Aborted!", Ending.Text);
        EXPECT_GT(Seen, 0);
        EXPECT_LT(Seen, static_cast<int>(kMaxSkinBytes));
        EXPECT_FALSE(frmSubmitStatus->InternetProblem);
        EXPECT_EQ("<none>", PutBody());
        SiteGet("/_test/reset");
    }
    {
        SCOPED_TRACE("during the PUT");
        SetAppData("SUBMIT_CGI", SiteAddress() + "/_test/slow/100000/50");
        const TEnding Ending = Submit([](TStatusDialog* D) {
            if (D->lblStatus->Caption().rfind("Sending", 0) == 0 && D->btnAbort->Visible()) D->btnAbort->Click();
        });
        EXPECT_EQ("Action Aborted!", Ending.Text);
        EXPECT_FALSE(frmSubmitStatus->InternetProblem);
    }
}
