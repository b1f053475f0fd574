// The main window: first activation, the menu's cover and confirmation, hover highlight.
#include <gtest/gtest.h>
#include <gtest/gtest-spi.h>

#include "Aboutform.h"
#include "Getform.h"
#include "Getstatusform.h"
#include "Registry.h"
#include "Removeform.h"
#include "SampleSite.h"
#include "Selectform.h"
#include "Submitform.h"
#include "Submitstatusform.h"
#include "Tellform.h"
#include "Tellstatusform.h"
#include "TestSupport.h"
#include "Textcolorform.h"
#include "Velmoraform.h"
#include "Windowtitleform.h"

namespace {
const char* const kLowColorWarning =
    "Warning!  You are using less than 16 bit color.  The images in this program may not display properly.\n\n"
    "Please adjust your display settings to 16 bit color or higher.";
const char* const kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// A main window whose display reports the colour depth the test chooses.
class TDepthVelmora : public TfrmVelmora {
public:
    TDepthVelmora(int ABits) : TfrmVelmora(Application), FBits(ABits) { DoCreate(); }

protected:
    int ScreenColorBits() override { return FBits; }

private:
    int FBits;
};

// A Hotbar entry in the real uninstall branch, so that the Hotbar check has something to offer.
class THotbarEntry {
public:
    THotbarEntry() {
        TRegistry Registry;
        Registry.RootKey = HKEY_LOCAL_MACHINE;
        EXPECT_TRUE(Registry.OpenKey(std::string(kUninstallKey) + "\\TestHotbarOnce", true));
        Registry.WriteString("DisplayName", "Hotbar 4.0");
        Registry.WriteString("UninstallString", "C:\\no-such-folder\\uninstall.exe");
    }
    ~THotbarEntry() { RegDeleteKeyA(HKEY_LOCAL_MACHINE, (std::string(kUninstallKey) + "\\TestHotbarOnce").c_str()); }
};

int CountText(const std::vector<TMessageBoxRequest>& Asked, const std::string& Text) {
    int Count = 0;
    for (const auto& Request : Asked) Count += Request.Text == Text;
    return Count;
}

int CountCaption(const std::vector<TMessageBoxRequest>& Asked, const std::string& Caption) {
    int Count = 0;
    for (const auto& Request : Asked) Count += Request.Caption == Caption;
    return Count;
}

// Sends a mouse message to the window at a client point, as the pointer would.
void Mouse(TForm* Form, UINT Message, int X, int Y) {
    SendMessageA(Form->Handle(), Message, Message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(X, Y));
}

TPoint CentreOf(TControl* Control) {
    return TPoint{Control->Left() + Control->Width() / 2, Control->Top() + Control->Height() / 2};
}
}  // namespace

TEST(MainWindowActivation, WarnsBelowFifteenBitsOnceAndChecksHotbarOnce) {
    THotbarEntry Hotbar;
    const struct {
        int Bits;
        bool Warns;
    } Cases[] = {{8, true}, {14, true}, {15, false}, {16, false}, {24, false}, {32, false}};
    for (const auto& Case : Cases) {
        SCOPED_TRACE("bits per pixel " + std::to_string(Case.Bits));
        TBoxAnswerer Boxes({}, IDCANCEL);
        auto* Form = new TDepthVelmora(Case.Bits);
        Form->Show();
        ASSERT_TRUE(PumpUntil([&] { return CountCaption(Boxes.Asked, "Velmora! - Hotbar Found!") == 1; }));
        EXPECT_EQ(Case.Warns ? 1 : 0, CountText(Boxes.Asked, kLowColorWarning));
        if (Case.Warns) {
            const TMessageBoxRequest& Warning = Boxes.Asked.front();
            EXPECT_EQ(kLowColorWarning, Warning.Text);  // before the Hotbar check
            EXPECT_EQ("Velmora!", Warning.Caption);
            EXPECT_EQ(static_cast<unsigned>(MB_ICONERROR), Warning.Flags);
            EXPECT_EQ(Form->Handle(), Warning.Owner);
        }
        // Activating the window again, after another window or after hiding it, repeats nothing.
        Form->Hide();
        Form->Show();
        frmRemove->OnActivate = [](TObject*) { frmRemove->ModalResult = mrOk; };
        frmRemove->ShowModal();
        frmRemove->OnActivate = nullptr;
        PumpFor(300);
        EXPECT_EQ(Case.Warns ? 1 : 0, CountText(Boxes.Asked, kLowColorWarning));
        EXPECT_EQ(1, CountCaption(Boxes.Asked, "Velmora! - Hotbar Found!"));
        delete Form;
    }
}

// Closes the remove window if the main window opened it, so that a wrong answer cannot hang the test.
class TRemoveWatch {
public:
    TRemoveWatch() {
        Self = this;
        FTimer = SetTimer(nullptr, 0, 20, &TRemoveWatch::Tick);
    }
    ~TRemoveWatch() { KillTimer(nullptr, FTimer); }
    bool Opened = false;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        if (frmRemove->Visible() && frmRemove->Modal()) {
            Self->Opened = true;
            frmRemove->ModalResult = mrCancel;
        }
    }
    static TRemoveWatch* Self;
    UINT_PTR FTimer;
};
TRemoveWatch* TRemoveWatch::Self = nullptr;

TEST(MainWindowMenu, RemoveOpensOnlyOnYesAndTheCoverIsHiddenAfterwards) {
    frmVelmora->Show();
    PumpFor(100);
    const struct {
        int Answer;
        bool Opens;
    } Cases[] = {{IDNO, false}, {IDYES, true}};
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Answer == IDNO ? "answered No" : "answered Yes");
        TBoxAnswerer Boxes({Case.Answer});
        bool CoverShownAtQuestion = false;
        Boxes.OnAsk = [&](const TMessageBoxRequest&) { CoverShownAtQuestion = frmVelmora->shpCover->Visible(); };
        TRemoveWatch Watch;
        const TPoint P = CentreOf(frmVelmora->imgRemove1);
        Mouse(frmVelmora, WM_MOUSEMOVE, P.X, P.Y);
        ASSERT_TRUE(frmVelmora->imgRemove2->Visible());
        Mouse(frmVelmora, WM_LBUTTONDOWN, P.X, P.Y);
        Mouse(frmVelmora, WM_LBUTTONUP, P.X, P.Y);
        ASSERT_EQ(1u, Boxes.Asked.size());
        EXPECT_EQ("Are you sure you want to remove your skin?", Boxes.Asked[0].Text);
        EXPECT_EQ("Velmora!", Boxes.Asked[0].Caption);
        EXPECT_EQ(static_cast<unsigned>(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2), Boxes.Asked[0].Flags);
        EXPECT_EQ(frmVelmora->Handle(), Boxes.Asked[0].Owner);
        EXPECT_TRUE(CoverShownAtQuestion);
        EXPECT_EQ(Case.Opens, Watch.Opened);
        EXPECT_FALSE(frmVelmora->shpCover->Visible());
    }
}

// Every button through a real click: the window it opens (read by its caption), or for Remove the
// question; Exit only asks the window to close, without the cover. The five features that make no
// request never restart the program, whatever the status dialogs last reported.
TEST(MainWindowMenu, EachButtonOpensItsWindowAndOnlyTheNetworkFeaturesMayRestart) {
    if (SiteFile("http-port").empty()) GTEST_SKIP() << "needs the sample site (run through CTest)";
    frmVelmora->AppDataAddress = SiteAddress() + "/programs/velmora3/application/appdata.txt";
    frmVelmora->Show();
    PumpFor(100);
    TBoxAnswerer Boxes({}, IDNO);
    auto SetInternetProblem = [](bool Value) {
        frmGetStatus->InternetProblem = frmSubmitStatus->InternetProblem = frmTellStatus->InternetProblem = Value;
    };
    const struct {
        TImage* Button;
        TForm* Opens;  // nullptr: a question
        const char* Caption;
        bool InternetProblem;  // what all three status dialogs report meanwhile
    } Cases[] = {
        {frmVelmora->imgGet1, frmGet, "Get Skins!", false},
        {frmVelmora->imgSubmit1, frmSubmit, "Submit A Skin", false},
        {frmVelmora->imgTell1, frmTell, "Tell A Friend", false},
        {frmVelmora->imgSelect1, frmSelect, "Select your own skin", true},
        {frmVelmora->imgTextColor1, frmTextColor, "Change Text Color", true},
        {frmVelmora->imgChange1, frmWindowTitle, "Change Window Title", true},
        {frmVelmora->imgRemove1, nullptr, "Are you sure you want to remove your skin?", true},
        {frmVelmora->imgHelp1, frmAbout, "Help/About", true},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Caption);
        SetInternetProblem(Case.InternetProblem);
        Boxes.Asked.clear();
        std::string Caption;
        if (Case.Opens)
            WhenActive(Case.Opens, [&] {
                char Text[64] = "";
                GetWindowTextA(Case.Opens->Handle(), Text, sizeof Text);
                Caption = Text;
                Case.Opens->ModalResult = mrCancel;
            });
        const TPoint P = CentreOf(Case.Button);
        ClickAt(frmVelmora->Handle(), P.X, P.Y);
        EXPECT_TRUE(PumpUntil([&] { return Case.Opens ? !Caption.empty() && !Case.Opens->Visible() : !Boxes.Asked.empty(); },
                              20000));
        if (!Case.Opens) Caption = Boxes.Asked.empty() ? "" : Boxes.Asked[0].Text;
        EXPECT_EQ(Case.Caption, Caption);
        EXPECT_EQ(Case.Opens ? 0u : 1u, Boxes.Asked.size()) << "a box besides the question: a restart";
        EXPECT_EQ("Velmora! Version 3.1", frmVelmora->Caption());
        EXPECT_TRUE(PumpUntil([] { return frmVelmora->Visible() && !frmVelmora->shpCover->Visible(); }));
    }
    SetInternetProblem(false);
    const TCloseQueryEvent Query = frmVelmora->OnCloseQuery;
    bool AskedToClose = false, Covered = true;
    frmVelmora->OnCloseQuery = [&](TObject*, bool& CanClose) {
        AskedToClose = true;
        Covered = frmVelmora->shpCover->Visible();
        CanClose = false;  // the test goes on
    };
    const TPoint Exit = CentreOf(frmVelmora->imgExit1);
    ClickAt(frmVelmora->Handle(), Exit.X, Exit.Y);
    EXPECT_TRUE(PumpUntil([&] { return AskedToClose; }));
    frmVelmora->OnCloseQuery = Query;
    EXPECT_FALSE(Covered);
}

// A box that no test expects fails the test that shows it and is closed at once, as Escape would.
TEST(FormTests, ABoxNoTestExpectsFailsTheTestAndIsClosedAtOnce) {
    static int Answer = 0;
    EXPECT_NONFATAL_FAILURE(Answer = Application->MessageBox("Are you sure?", "Velmora!", MB_YESNO),
                            "unexpected message box \"Velmora!\": Are you sure?");
    EXPECT_EQ(IDNO, Answer);
}

TEST(MainWindowHover, LightsOnlyTheButtonUnderThePointer) {
    frmVelmora->Show();
    PumpFor(100);
    TImage* const Normal[] = {frmVelmora->imgGet1,    frmVelmora->imgSelect1, frmVelmora->imgTextColor1,
                              frmVelmora->imgChange1, frmVelmora->imgSubmit1, frmVelmora->imgTell1,
                              frmVelmora->imgRemove1, frmVelmora->imgHelp1,   frmVelmora->imgExit1};
    TImage* const Lit[] = {frmVelmora->imgGet2,    frmVelmora->imgSelect2, frmVelmora->imgTextColor2,
                           frmVelmora->imgChange2, frmVelmora->imgSubmit2, frmVelmora->imgTell2,
                           frmVelmora->imgRemove2, frmVelmora->imgHelp2,   frmVelmora->imgExit2};
    // Every menu picture shows the program's own hand cursor, registered as screen cursor 5.
    EXPECT_EQ(LoadCursorA(Application->Instance(), "HAND_POINT"), Screen->Cursors[5]);
    EXPECT_TRUE(Screen->Cursors[5] != nullptr);
    for (int I = 0; I < 9; ++I) {
        EXPECT_EQ(5, Normal[I]->Cursor);
        EXPECT_EQ(5, Lit[I]->Cursor);
    }
    EXPECT_EQ("Velmora! Version 3.1", frmVelmora->Caption());
    auto LitCount = [&] {
        int Count = 0;
        for (TImage* Image : Lit) Count += Image->Visible();
        return Count;
    };
    for (int I = 0; I < 9; ++I) {
        SCOPED_TRACE("button " + Normal[I]->Name);
        // Straight from the previous button onto this one, then a move inside the lit picture.
        const TPoint P = CentreOf(Normal[I]);
        Mouse(frmVelmora, WM_MOUSEMOVE, P.X, P.Y);
        Mouse(frmVelmora, WM_MOUSEMOVE, P.X + 3, P.Y + 1);
        EXPECT_TRUE(Lit[I]->Visible());
        EXPECT_EQ(1, LitCount());
    }
    // The gap between the Get and Select buttons, the margin, the gap between Help and Exit.
    for (const TPoint& Background : {TPoint{200, 46}, TPoint{2, 100}, TPoint{208, 330}}) {
        Mouse(frmVelmora, WM_MOUSEMOVE, CentreOf(frmVelmora->imgTell1).X, CentreOf(frmVelmora->imgTell1).Y);
        ASSERT_EQ(1, LitCount());
        Mouse(frmVelmora, WM_MOUSEMOVE, Background.X, Background.Y);
        EXPECT_EQ(0, LitCount()) << "at " << Background.X << "," << Background.Y;
    }
}
