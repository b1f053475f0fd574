// Telling a friend through the real forms, typed into for real, against the sample site.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <regex>

#include "SampleSite.h"
#include "StatusWatch.h"
#include "Tellform.h"
#include "Tellstatusform.h"
#include "Telltermsform.h"
#include "Velmoraform.h"

namespace {
const char* const kReply = "Thank you! Your friend will get your message shortly.";

// The tell form as the main window opens it, with the site as it was generated.
class Telling : public testing::Test {
protected:
    void SetUp() override {
        Info = std::getenv("VELMORA_SITE_INFO") ? std::getenv("VELMORA_SITE_INFO") : "";
        if (Info.empty()) GTEST_SKIP() << "needs the sample site (run through CTest)";
        SiteGet("/_test/reset");
        frmVelmora->AppDataAddress = SiteAddress() + "/programs/velmora3/application/appdata.txt";
        F->txtFriendEmail->SetText("friend@example.com");
        F->txtYourName->SetText("Jane");
        F->txtYourEmail->SetText("jane@example.com");
        F->memMessage->SetText("");
        LogMark = SiteLog().size();
    }
    void TearDown() override {
        if (!Info.empty()) SiteGet("/_test/reset");
    }
    // Answers the agreement, then watches the status dialog that Submit opens.
    TEnding Submit(std::function<void(TStatusDialog*)> WhileRunning = nullptr) {
        TEnding Ending;
        RunModal(F, [&] {
            RunLater(kWatchPollMs, [] { frmTellTerms->btnOk->Click(); });
            Ending = WatchWhile(frmTellStatus, [&] { F->btnSubmit->Click(); }, WhileRunning);
        }, 30000);
        return Ending;
    }
    std::string PutBody() const { return LastPutBody(LogMark); }
    std::string Info;
    size_t LogMark = 0;
    TfrmTell* F = frmTell;
    TBoxAnswerer Boxes;
};
}  // namespace

TEST_F(Telling, TypedEntriesArriveAsTheBodyAndTheReplyIsShown) {
    for (TCustomEdit* Edit : {static_cast<TCustomEdit*>(F->txtFriendEmail), static_cast<TCustomEdit*>(F->txtYourName),
                              static_cast<TCustomEdit*>(F->txtYourEmail)})
        Edit->SetText("");
    TEnding Ending;
    RunModal(F, [&] {
        EXPECT_TRUE(F->txtFriendEmail->Focused());
        TypeKeys("Friend@Example.COM");
        PressKey(VK_TAB);
        TypeKeys("jane  ");
        PressKey(VK_TAB);
        TypeKeys("ME@X.org");
        PressKey(VK_TAB);
        TypeKeys("Hi");
        PressKey(VK_RETURN);
        TypeKeys("there & = too");
        PressKey(VK_RETURN);
        PressKey(VK_RETURN);
        EXPECT_TRUE(PumpUntil([&] { return F->memMessage->Text() == "Hi\r\nthere & = too\r\n\r\n"; }))
            << F->memMessage->Text();
        RunLater(kWatchPollMs, [] { frmTellTerms->btnOk->Click(); });
        Ending = WatchWhile(frmTellStatus, [&] { F->btnSubmit->Click(); });
    }, 30000);
    EXPECT_EQ("friend@example.com", F->txtFriendEmail->Text());
    EXPECT_EQ("Jane  ", F->txtYourName->Text());  // a capital first, then as typed
    EXPECT_EQ("friendemail=friend@example.com&yourname=Jane&youremail=me@x.org&message=Hi\nthere & = too", PutBody());
    EXPECT_TRUE(Ending.WaitedForClose && !Ending.AbortStillShown);
    EXPECT_EQ(kReply, Ending.Text);
    EXPECT_FALSE(frmTellStatus->InternetProblem);
    EXPECT_FALSE(F->Visible());
}

TEST_F(Telling, InputChecksAndACancelledAgreementSendNothing) {
    const std::string FillIn = "Please fill in 'Your Friend's Email', 'Your Name', and 'Your Email'.";
    const std::string Invalid = "Please enter a valid email address.";
    const struct {
        std::string Friend, Name, Yours, Box;
        TEdit* Focused;
    } Cases[] = {
        {"", "Jane", "jane@example.com", FillIn, nullptr},
        {"friend@example.com", "", "jane@example.com", FillIn, nullptr},
        {"friend@example.com", "Jane", "", FillIn, nullptr},
        {"friend@example", "Jane", "jane@example.com", Invalid, F->txtFriendEmail},
        {"friend@example.com", "Jane", "jane.example.com", Invalid, F->txtYourEmail},
        {"friend@example.com", "Jane", "jane@example.com", "", nullptr},  // the agreement cancelled
    };
    F->Show();
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Box + " | " + Case.Friend + " | " + Case.Yours);
        F->txtFriendEmail->SetText(Case.Friend);
        F->txtYourName->SetText(Case.Name);
        F->txtYourEmail->SetText(Case.Yours);
        F->btnSubmit->SetFocus();
        Boxes.Asked.clear();
        const bool TermsShown = SubmitCancellingTheAgreement(frmTellTerms, [&] { F->btnSubmitClick(nullptr); });
        EXPECT_EQ(Case.Box.empty(), TermsShown);
        if (Case.Box.empty()) {
            EXPECT_TRUE(Boxes.Asked.empty());
        } else {
            ASSERT_EQ(1u, Boxes.Asked.size());
            EXPECT_EQ(Case.Box, Boxes.Asked[0].Text);
            EXPECT_EQ(unsigned(MB_ICONWARNING | MB_OK), Boxes.Asked[0].Flags);
            EXPECT_EQ(F->Handle(), Boxes.Asked[0].Owner);
        }
        if (Case.Focused) {
            EXPECT_TRUE(Case.Focused->Focused());
        }
        EXPECT_TRUE(F->Visible());
    }
    F->Hide();
    EXPECT_EQ(LogMark, SiteLog().size());
}

TEST_F(Telling, EveryEndingSaysWhatHappenedAndRestartsOnlyAfterAnInternetProblem) {
    const struct {
        const char* What;
        const char* Key;
        std::string Value, Text;
        bool InternetProblem;
    } Cases[] = {
        {"closed", "TELLCLOSED_MSG", "Not today & not tomorrow", "Not today & not tomorrow", false},
        {"no address", "TELL_CGI", "", "Error processing request!\n\nError: Empty URL", true},
        {"error status", "TELL_CGI", SiteAddress() + "/_test/status/500",
         "Error processing request!\n\nError: HTTP/1.0 500 Internal Server Error", false},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.What);
        SiteGet("/_test/reset");
        SetAppData(Case.Key, Case.Value);
        const TEnding Ending = Submit();
        EXPECT_TRUE(Ending.WaitedForClose && !Ending.AbortStillShown);
        EXPECT_EQ(Case.Text, Ending.Text);
        EXPECT_EQ(Case.InternetProblem, frmTellStatus->InternetProblem);
    }
    {
        SCOPED_TRACE("abort during the application data");
        frmVelmora->AppDataAddress = SiteAddress() + "/_test/slow/100000/50";
        const TEnding Ending = Submit([](TStatusDialog* D) {
            if (D->lblStatus->Caption().rfind("Downloading", 0) == 0 && D->btnAbort->Visible()) D->btnAbort->Click();
        });
        frmVelmora->AppDataAddress = SiteAddress() + "/programs/velmora3/application/appdata.txt";
        EXPECT_EQ("Action Aborted!", Ending.Text);
        EXPECT_TRUE(frmTellStatus->InternetProblem);
    }
    {
        SCOPED_TRACE("abort during the send");
        SiteGet("/_test/reset");
        SetAppData("TELL_CGI", SiteAddress() + "/_test/slow/100000/50");
        const TEnding Ending = Submit([](TStatusDialog* D) {
            if (D->lblStatus->Caption().rfind("Sending", 0) == 0 && D->btnAbort->Visible()) D->btnAbort->Click();
        });
        EXPECT_EQ("Action Aborted!", Ending.Text);
        EXPECT_FALSE(frmTellStatus->InternetProblem);
    }
}
