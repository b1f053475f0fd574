// The gallery's status dialog against the sample site: how a request ends (text, "&OK" or not, the
// flags the gallery and the main window read), an abort in the middle of a download, and an error
// that one of the gallery's operations raises instead of reporting.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <memory>

#include "Getform.h"
#include "Getstatusform.h"
#include "Globalfunctions.h"
#include "NMHTTP.h"
#include "TestSupport.h"
#include "Velmoraform.h"

namespace {
constexpr int kPollMs = 50;
constexpr int kGiveUpMs = 15000;  // a dialog still up by then has hung

// How one showing of the dialog ended.
struct TEnding {
    std::string Text;
    bool WaitedForOk = false;  // "&OK" shown, "&Abort" hidden, and the dialog waiting
    bool AbortStillShown = false;
};

struct TWatch {
    TEnding Ending;
    int Steady = 0, Waited = 0;
    bool Over = false;
};

// Presses "&OK" once it has shown for two polls in a row, so that the runner has returned as well.
void Watch(std::shared_ptr<TWatch> W) {
    if (W->Over) return;
    TfrmGetStatus* D = frmGetStatus;
    W->Steady = D->Visible() && D->btnClose->Visible() ? W->Steady + 1 : 0;
    W->Waited += kPollMs;
    if (W->Steady == 2 || W->Waited > kGiveUpMs) {
        W->Ending = {D->lblStatus->Caption(), W->Steady == 2, D->btnAbort->Visible()};
        W->Over = true;
        D->btnClose->Click();
        return;
    }
    RunLater(kPollMs, [W] { Watch(W); });
}

class GetStatus : public testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("VELMORA_SITE_INFO")) GTEST_SKIP() << "needs the sample site (run through CTest)";
        Site = "http://127.0.0.1:" + SiteFile("http-port");
        Get("/_test/reset");
        frmVelmora->AppDataAddress = Site + "/programs/velmora3/application/appdata.txt";
        Saved.Category = frmGet->CategoryIndex;
        Saved.Entry = GalleryEntries[0];
        Saved.CategoryName = frmGet->CategoryLabels[0]->Caption();
        Saved.Height = frmGet->txtHeight->Text();
    }
    void TearDown() override {
        if (Site.empty()) return;
        Get("/_test/reset");
        frmVelmora->AppDataAddress = Site + "/programs/velmora3/application/appdata.txt";
        frmGet->ResetRequests();
        frmGet->CategoryIndex = Saved.Category;
        GalleryEntries[0] = Saved.Entry;
        frmGet->CategoryLabels[0]->SetCaption(Saved.CategoryName);
        frmGet->txtHeight->SetText(Saved.Height);
    }
    void Get(const std::string& Path) {
        TNMHTTP Client(nullptr);
        Client.Get(Site + Path);
    }
    // Makes the gallery's request the way the gallery does, and shows the dialog for it.
    TEnding Run(bool TfrmGet::*Kind) {
        frmGet->ResetRequests();
        frmGet->*Kind = true;
        auto W = std::make_shared<TWatch>();
        RunLater(kPollMs, [W] { Watch(W); });
        frmGetStatus->ShowModal();
        if (!W->Over) W->Ending.Text = frmGetStatus->lblStatus->Caption();
        W->Over = true;
        return W->Ending;
    }
    std::string Site;
    struct {
        int Category;
        GalleryEntry Entry;
        std::string CategoryName, Height;
    } Saved;
};

::testing::AssertionResult EndedWith(const TEnding& E, const std::string& Text, bool CloseGallery,
                                     bool InternetProblem) {
    if (!E.WaitedForOk || E.AbortStillShown)
        return ::testing::AssertionFailure() << "not waiting on \"&OK\" alone; text \"" << E.Text << "\"";
    if (E.Text != Text) return ::testing::AssertionFailure() << "text \"" << E.Text << "\", wanted \"" << Text << "\"";
    if (frmGetStatus->CloseGallery != CloseGallery || frmGetStatus->InternetProblem != InternetProblem)
        return ::testing::AssertionFailure() << "CloseGallery " << frmGetStatus->CloseGallery << ", InternetProblem "
                                             << frmGetStatus->InternetProblem;
    return ::testing::AssertionSuccess();
}
}  // namespace

TEST_F(GetStatus, ConnectEndingsWithAMessage) {
    TBoxAnswerer Boxes;
    {
        SCOPED_TRACE("application data unreachable");
        frmVelmora->AppDataAddress = "http://127.0.0.1:1/programs/velmora3/application/appdata.txt";
        EXPECT_TRUE(EndedWith(Run(&TfrmGet::ReqConnect),
                              "Error downloading application data!\n\nPlease try again later.", true, true));
        EXPECT_FALSE(frmGetStatus->Aborted);
        frmVelmora->AppDataAddress = Site + "/programs/velmora3/application/appdata.txt";
    }
    {
        SCOPED_TRACE("gallery closed by the site");
        Get("/_test/set?GETCLOSED_MSG=Closed%20for%20repairs%20-%20back%20soon!");
        EXPECT_TRUE(EndedWith(Run(&TfrmGet::ReqConnect), "Closed for repairs - back soon!", true, false));
        Get("/_test/reset");
    }
    {
        SCOPED_TRACE("category list unreachable");
        Get("/_test/set?REGISTERED_CATLIST=http%3A%2F%2F127.0.0.1%3A1%2Fcategories.txt");
        EXPECT_TRUE(EndedWith(Run(&TfrmGet::ReqConnect),
                              "Error downloading category list!\n\nPlease try again later", true, false));
        Get("/_test/reset");
    }
    // The runner shows no box of its own.
    EXPECT_TRUE(Boxes.Asked.empty());
}

TEST_F(GetStatus, AbortWhileTheApplicationDataDownloads) {
    TBoxAnswerer Boxes;
    frmVelmora->AppDataAddress = Site + "/_test/slow/100000/50";
    RunLater(400, [] { frmGetStatus->btnAbort->Click(); });
    const DWORD Start = GetTickCount();
    // An abort while connecting counts as an internet problem: the program restarts.
    EXPECT_TRUE(EndedWith(Run(&TfrmGet::ReqConnect), "Action Aborted!", true, true));
    EXPECT_TRUE(frmGetStatus->Aborted);
    EXPECT_LT(GetTickCount() - Start, 4000u) << "the download went on after the abort";
    EXPECT_FALSE(frmGet->ReqConnect);
    EXPECT_TRUE(Boxes.Asked.empty());
}

// The height is converted once the skin picture is in the cache; an empty text raises the
// conversion error, which the dialog shows like any other error and then reports as a failed apply.
TEST_F(GetStatus, EmptyHeightTextEndsAsASkinNotApplied) {
    TBoxAnswerer Boxes;
    frmGet->CategoryLabels[0]->SetCaption("Nature");
    frmGet->CategoryIndex = 0;
    GalleryEntries[0] = GalleryEntry{};
    GalleryEntries[0].SkinUrl = Site + "/programs/velmora3/gallery/nature/meadow.jpg";
    frmGet->SkinIndex = 0;
    frmGet->txtHeight->SetText("");
    const std::string Cached = GetSkinCachePath("Nature", GalleryEntries[0].SkinUrl);
    ::DeleteFileA(Cached.c_str());

    const TEnding Ending = Run(&TfrmGet::ReqSkin);
    EXPECT_TRUE(EndedWith(Ending, "Error! Skin could not be applied.", false, false));
    ASSERT_EQ(1u, Boxes.Asked.size());
    EXPECT_EQ("'' is not a valid integer value.", Boxes.Asked[0].Text);
    EXPECT_EQ(unsigned(MB_OK | MB_ICONSTOP), Boxes.Asked[0].Flags);
    EXPECT_TRUE(frmGetStatus->pnlProgress->Visible());
    EXPECT_TRUE(FileExists(Cached)) << "the skin picture was not downloaded first";
    ::DeleteFileA(Cached.c_str());
}
