// Telling a friend through the real forms, typed into for real, against the sample site.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <regex>

#include "SampleSite.h"
#include "StatusWatch.h"
#include "Submittermsform.h"
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

// Filled in and sent with the keyboard alone: Tab leaves the message for "&Submit", Enter presses
// it, and in the agreement, which opens on "&Cancel", Tab and Enter accept.
TEST_F(Telling, TypedEntriesArriveAsTheBodyAndTheReplyIsShown) {
    for (TCustomEdit* Edit : {static_cast<TCustomEdit*>(F->txtFriendEmail), static_cast<TCustomEdit*>(F->txtYourName),
                              static_cast<TCustomEdit*>(F->txtYourEmail)})
        Edit->SetText("");
    TEnding Ending;
    bool TermsOpenedOnCancel = false;
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
        PressKey(VK_TAB, false, true);  // Ctrl+Tab stays in the message
        PumpFor(100);
        EXPECT_TRUE(F->memMessage->Focused());
        PressKey(VK_TAB);
        EXPECT_TRUE(PumpUntil([&] { return F->btnSubmit->Focused(); })) << "Tab did not leave the message";
        EXPECT_EQ("Hi\r\nthere & = too\r\n\r\n", F->memMessage->Text()) << "Tab went into the message too";
        WhenActive(frmTellTerms, [&] {
            TermsOpenedOnCancel = frmTellTerms->btnCancel->Focused();
            PressKey(VK_TAB);
            PressKey(VK_RETURN);
        });
        Ending = WatchWhile(frmTellStatus, [&] {
            PressKey(VK_RETURN);
            PumpUntil([&] { return F->ModalResult != mrNone; }, 20000);
        });
    }, 30000);
    EXPECT_TRUE(TermsOpenedOnCancel);
    EXPECT_EQ("friend@example.com", F->txtFriendEmail->Text());
    EXPECT_EQ("Jane  ", F->txtYourName->Text());  // a capital first, then as typed
    EXPECT_EQ("friendemail=friend@example.com&yourname=Jane&youremail=me@x.org&message=Hi\nthere & = too", PutBody());
    EXPECT_TRUE(Ending.WaitedForClose && !Ending.AbortStillShown);
    EXPECT_EQ(kReply, Ending.Text);
    EXPECT_FALSE(frmTellStatus->InternetProblem);
    EXPECT_FALSE(F->Visible());
}

// The form activated again (after another window) gives the message back as it was: the text is
// not selected again, so typing goes on where the caret stood.
TEST_F(Telling, ComingBackToTheFormKeepsTheMessageAndItsCaret) {
    RunModal(F, [&] {
        F->txtYourEmail->SetFocus();
        PressKey(VK_TAB);
        TypeKeys("Hello");
        EXPECT_TRUE(PumpUntil([&] { return F->memMessage->Text() == "Hello"; })) << F->memMessage->Text();
        HWND Other = CreateWindowA("STATIC", "another program", WS_POPUP | WS_VISIBLE, 0, 0, 80, 40, nullptr, nullptr,
                                   nullptr, nullptr);
        SetForegroundWindow(Other);
        EXPECT_TRUE(PumpUntil([&] { return !F->Active(); }));
        SetForegroundWindow(F->Handle());
        EXPECT_TRUE(PumpUntil([&] { return F->Active() && F->memMessage->Focused(); }));
        TypeKeys(" again");
        EXPECT_TRUE(PumpUntil([&] { return F->memMessage->Text() == "Hello again"; })) << F->memMessage->Text();
        DestroyWindow(Other);
        F->ModalResult = mrCancel;
    });
}

// Shift+Tab leaves the message for the field before it, as Tab leaves it for the button after it.
TEST_F(Telling, ShiftTabLeavesTheMessageForTheFieldBeforeIt) {
    RunModal(F, [&] {
        F->memMessage->SetFocus();
        PressKey(VK_TAB, true);
        EXPECT_TRUE(PumpUntil([&] { return F->txtYourEmail->Focused(); })) << "focus on " << GetFocus();
        EXPECT_EQ("", F->memMessage->Text()) << "Shift+Tab went into the message";
        F->ModalResult = mrCancel;
    });
}

// An abort that comes as the dialog first paints, before the request has begun, ends the showing
// on "Action Aborted!" without any request.
TEST_F(Telling, AnAbortBeforeTheRequestBeginsSendsNothing) {
    const TNotifyEvent Activate = frmTellStatus->OnActivate;
    frmTellStatus->OnActivate = [&](TObject* Sender) {
        PostMessageA(frmTellStatus->btnAbort->Handle(), BM_CLICK, 0, 0);  // handled as the dialog paints
        Activate(Sender);
    };
    const TEnding Ending = Submit();
    frmTellStatus->OnActivate = Activate;
    EXPECT_EQ("Action Aborted!", Ending.Text);
    EXPECT_TRUE(frmTellStatus->Aborted);
    EXPECT_FALSE(frmTellStatus->InternetProblem);
    EXPECT_EQ(LogMark, SiteLog().size()) << "a request was made after the abort";
}

// Every showing of an agreement opens on "&Cancel", also after the last one was accepted: Enter
// there cancels.
TEST_F(Telling, AgreementsOpenOnCancelAtEveryShowing) {
    for (TTermsDialog* Terms : {static_cast<TTermsDialog*>(frmTellTerms), static_cast<TTermsDialog*>(frmSubmitTerms)}) {
        SCOPED_TRACE(Terms->Caption());
        EXPECT_EQ(mrOk, RunModal(Terms, [&] {
                      PressKey(VK_TAB);
                      PressKey(VK_RETURN);
                  }));
        bool OnCancel = false;
        EXPECT_EQ(mrCancel, RunModal(Terms, [&] {
                      OnCancel = Terms->btnCancel->Focused();
                      PressKey(VK_RETURN);
                  }));
        EXPECT_TRUE(OnCancel);
    }
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
