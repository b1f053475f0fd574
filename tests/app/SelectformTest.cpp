// "Select your own skin" with the real file dialog, real controls, registry and files.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <fstream>

#include "Globalfunctions.h"
#include "Selectform.h"
#include "TestPictures.h"
#include "TestSupport.h"
#include "ToolbarValues.h"
#include "Velmoraform.h"

namespace {
const char* const kDialogTitle = "Select A Skin";
const TRgb kRed{255, 0, 0}, kBlue{0, 0, 255};

void Click(TWinControl* Control) { SendMessageA(Control->Handle(), BM_CLICK, 0, 0); }

void Type(TEdit* Edit, const std::string& Keys) {
    for (char Key : Keys) SendMessageA(Edit->Handle(), WM_CHAR, static_cast<unsigned char>(Key), 0);
}

TRgb PixelOf(TImage* Image, int X, int Y) {
    const COLORREF C = GetPixel(Image->Picture.Bitmap()->Canvas()->Handle, X, Y);
    return TRgb{GetRValue(C), GetGValue(C), GetBValue(C)};
}

// Opens the dialog as the main window does (shown, so its handlers work as for a user), with the
// toolbar key present, no Skin file, and the recording stand-in as Internet Explorer.
class SelectDialog : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ClearToolbarValues());
        DeleteSkinFiles();
        Halves = Folder.Path() + "halves.bmp";
        WriteBmp24(Halves, 40, 20, [](int X, int) { return X < 20 ? kRed : kBlue; });
        frmSelect->Show();
    }
    void TearDown() override {
        frmSelect->Hide();
        DeleteSkinFiles();
    }
    // Picks a file through "&Select Skin" and the real file dialog.
    void Choose(const std::string& Path) {
        AnswerOpenDialog(kDialogTitle, Path);
        Click(frmSelect->btnSelect);
    }
    TScratchFolder Folder;
    TStandInBrowser Browser{RECORDER_EXE, Folder.Path() + "browser.txt"};
    std::string Halves;
};
}  // namespace

TEST_F(SelectDialog, ChoosePreviewStretchedAndTiledThenApply) {
    TfrmSelect* F = frmSelect;
    EXPECT_FALSE(F->btnApply->Enabled());
    EXPECT_FALSE(F->imgSkin->Visible());
    EXPECT_FALSE(F->imgTiledSkin->Visible());
    EXPECT_TRUE(F->optStretched->Checked());
    EXPECT_TRUE(F->btnSelect->Focused());

    TBoxAnswerer Boxes({IDYES});
    Choose(Halves);
    ASSERT_TRUE(Boxes.Asked.empty()) << Boxes.Asked[0].Text;
    EXPECT_EQ(Halves, F->dlgSelect->FileName);
    EXPECT_EQ(Halves, F->LastSkinFile);
    EXPECT_TRUE(F->imgSkin->Visible());
    EXPECT_TRUE(F->btnApply->Enabled());
    EXPECT_EQ(40, F->imgSkin->Picture.Width());

    // Tiled: the picture at its own size, repeated over twice the preview's size.
    Click(F->optTiled);
    EXPECT_FALSE(F->txtHeight->Enabled());
    EXPECT_FALSE(F->imgSkin->Visible());
    ASSERT_TRUE(F->imgTiledSkin->Visible());
    EXPECT_EQ(796, F->imgTiledSkin->Picture.Width());
    EXPECT_EQ(116, F->imgTiledSkin->Picture.Height());
    EXPECT_EQ(398, F->imgTiledSkin->Width());
    EXPECT_EQ(kRed, PixelOf(F->imgTiledSkin, 45, 5));
    EXPECT_EQ(kBlue, PixelOf(F->imgTiledSkin, 65, 25));
    EXPECT_EQ(kBlue, PixelOf(F->imgTiledSkin, 795, 115));

    Click(F->optStretched);
    EXPECT_TRUE(F->txtHeight->Enabled());
    EXPECT_TRUE(F->imgSkin->Visible());
    EXPECT_FALSE(F->imgTiledSkin->Visible());

    Click(F->btnApply);
    ASSERT_EQ(2u, Boxes.Asked.size());
    EXPECT_EQ("Do you want to apply this skin?", Boxes.Asked[0].Text);
    EXPECT_EQ(static_cast<unsigned>(MB_YESNO | MB_ICONQUESTION), Boxes.Asked[0].Flags);
    EXPECT_EQ("Your new skin has been applied.", Boxes.Asked[1].Text);
    EXPECT_EQ(static_cast<unsigned>(MB_ICONINFORMATION), Boxes.Asked[1].Flags);
    for (const auto& Box : Boxes.Asked) {
        EXPECT_EQ("Velmora!", Box.Caption);
        EXPECT_EQ(F->Handle(), Box.Owner);
    }
    const std::string Skin = ToolbarValue("BackBitmap");
    EXPECT_EQ(Skin, ToolbarValue("BackBitmapIE5"));
    const TBmpFile File = ReadBmp(Skin);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN) - 4, File.Width);
    EXPECT_EQ(116, File.Height);
    EXPECT_FALSE(F->Visible());
    // The stand-in browser writes its path, its show command and then each argument, a line each.
    const std::vector<std::string> Lines = Browser.Record(3, 30000);
    ASSERT_GE(Lines.size(), 3u);
    EXPECT_EQ(std::to_string(SW_SHOWMAXIMIZED), Lines[1]);
    EXPECT_EQ(std::string(VELMORA_SITE) + "/programs/velmora3/application/applyskin.html", Lines[2]);
    EXPECT_EQ(3u, Lines.size());
}

// A picture of the largest size, progressive with its colour at full resolution (as editors write photos
// at high quality), whose coefficients alone take 384 MB, is chosen and applied as a tiled skin of its
// own size.
TEST_F(SelectDialog, APictureOfTheLargestSizeAppliesTiled) {
    TfrmSelect* F = frmSelect;
    const std::string Photo = Folder.Path() + "photo.jpg";
    WriteBytes(Photo, DcOnlyJpeg(8000, 8000, 1, true));
    TBoxAnswerer Boxes({IDYES});
    Choose(Photo);
    ASSERT_TRUE(Boxes.Asked.empty()) << Boxes.Asked[0].Text;
    Click(F->optTiled);
    EXPECT_TRUE(F->imgTiledSkin->Visible());
    Click(F->btnApply);
    ASSERT_EQ(2u, Boxes.Asked.size());
    EXPECT_EQ("Your new skin has been applied.", Boxes.Asked[1].Text);
    const TBmpFile Skin = ReadBmp(ToolbarValue("BackBitmap"), false);
    EXPECT_TRUE(Skin.Valid);
    EXPECT_EQ(8000, Skin.Width);
    EXPECT_EQ(8000, Skin.Height);
    EXPECT_EQ(24, Skin.BitCount);
}

TEST_F(SelectDialog, TiledApplyUsesThePicturesOwnSizeAndTinyPicturesShowNoPreview) {
    TfrmSelect* F = frmSelect;
    const std::string Tiny = Folder.Path() + "tiny.bmp";
    WriteBmp24(Tiny, 3, 3, [](int, int) { return kBlue; });
    F->chkCloseExplorerWindows->SetChecked(false);
    Click(F->optTiled);
    TBoxAnswerer Boxes({IDYES});
    Choose(Tiny);
    EXPECT_FALSE(F->imgSkin->Visible());
    EXPECT_FALSE(F->imgTiledSkin->Visible());
    EXPECT_TRUE(F->btnApply->Enabled());
    Click(F->btnApply);
    ASSERT_EQ(2u, Boxes.Asked.size());
    EXPECT_EQ("Your new skin has been applied.", Boxes.Asked[1].Text);
    const TBmpFile File = ReadBmp(ToolbarValue("BackBitmap"));
    EXPECT_EQ(3, File.Width);
    EXPECT_EQ(3, File.Height);
    Click(F->optStretched);
    F->chkCloseExplorerWindows->SetChecked(true);
}

TEST_F(SelectDialog, AFailedSecondChoiceKeepsTheFirstPictureForApply) {
    TfrmSelect* F = frmSelect;
    TBoxAnswerer Boxes({IDNO});
    Choose(Halves);
    const std::string Gif = Folder.Path() + "moving.gif";
    WriteBytes(Gif, "GIF89a");
    Choose(Gif);
    ASSERT_EQ(1u, Boxes.Asked.size());
    EXPECT_EQ("Unknown picture file extension (.gif)", Boxes.Asked[0].Text);
    EXPECT_EQ(static_cast<unsigned>(MB_ICONWARNING), Boxes.Asked[0].Flags);
    EXPECT_EQ(Halves, F->dlgSelect->FileName);
    EXPECT_TRUE(F->imgSkin->Visible());
    EXPECT_EQ(40, F->imgSkin->Picture.Width());
    EXPECT_TRUE(F->btnApply->Enabled());
    // A cancelled file dialog changes nothing either.
    CancelOpenDialog(kDialogTitle);
    Click(F->btnSelect);
    EXPECT_EQ(Halves, F->dlgSelect->FileName);
    // Answering No to the question applies nothing.
    Click(F->btnApply);
    EXPECT_EQ("<missing>", ToolbarValue("BackBitmap"));
}

TEST_F(SelectDialog, TheHeightTakesDigitsOnlyAndABadHeightIsShownAsAnError) {
    TfrmSelect* F = frmSelect;
    F->txtHeight->SetText("");
    Type(F->txtHeight, "9a-\t 8\x01" "7");
    EXPECT_EQ("987", F->txtHeight->Text());
    Type(F->txtHeight, "6");  // no more than three
    EXPECT_EQ("987", F->txtHeight->Text());
    Type(F->txtHeight, "\b\b\b");
    EXPECT_EQ("", F->txtHeight->Text());

    TBoxAnswerer Boxes({}, IDYES);
    Choose(Halves);
    Click(F->btnApply);  // an empty height cannot be converted
    ASSERT_EQ(2u, Boxes.Asked.size());
    EXPECT_EQ("'' is not a valid integer value.", Boxes.Asked[1].Text);
    EXPECT_TRUE(F->Visible());
    EXPECT_EQ("<missing>", ToolbarValue("BackBitmap"));

    F->txtHeight->SetText("0");
    Click(F->btnApply);  // zero passes the dialog and is refused by the conversion
    ASSERT_EQ(5u, Boxes.Asked.size());
    EXPECT_EQ(static_cast<unsigned>(MB_ICONERROR), Boxes.Asked[3].Flags);
    EXPECT_EQ("Error! Skin could not be applied.", Boxes.Asked[4].Text);
    EXPECT_EQ(static_cast<unsigned>(MB_ICONWARNING), Boxes.Asked[4].Flags);
    EXPECT_TRUE(F->Visible());
    F->txtHeight->SetText("116");
}

// Pictures made to hold the decoder are refused with the loader's error, as damaged ones are, and those
// that claim more than the picture budget as too large; the picture chosen before stays.
TEST_F(SelectDialog, HostilePicturesAreRefusedAsDamagedOnes) {
    TfrmSelect* F = frmSelect;
    TBoxAnswerer Boxes;
    Choose(Halves);
    const struct {
        const char* File;
        std::string Data;
        const char* Error;
    } Cases[] = {
        {"scans.jpg", DcOnlyJpeg(400, 400, 1000), "JPEG error #"},
        {"huge.jpg", DcOnlyJpeg(16384, 8192, 1), "JPEG image is too large"},
        {"huge.bmp", EmptyRle8Bmp(16384, 8192), "Bitmap image is too large"},
        {"arithmetic.jpg", EncodeJpeg(400, 400, jsRgb, [](int, std::vector<unsigned char>& Row) {
             std::fill(Row.begin(), Row.end(), 128); }, 95, true, true), "JPEG error #"},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.File);
        WriteBytes(Folder.Path() + Case.File, Case.Data);
        const size_t Before = Boxes.Asked.size();
        Choose(Folder.Path() + Case.File);
        ASSERT_EQ(Before + 1, Boxes.Asked.size());
        EXPECT_EQ(0u, Boxes.Asked.back().Text.find(Case.Error)) << Boxes.Asked.back().Text;
        EXPECT_EQ(static_cast<unsigned>(MB_ICONWARNING), Boxes.Asked.back().Flags);
        EXPECT_EQ(Halves, F->dlgSelect->FileName);
        EXPECT_EQ(40, F->imgSkin->Picture.Width());
    }
}

// Memory that runs out while a skin is made ends as any failed conversion does: its own error box,
// then the dialog's; the skin applied before stays.
TEST_F(SelectDialog, RunningOutOfMemoryWhileApplyingKeepsTheOldSkin) {
    TfrmSelect* F = frmSelect;
    const std::string Old = NewSkinFileName();
    ASSERT_TRUE(ConvertPictureToSkin(F, Halves, Old, true, 116));
    ASSERT_TRUE(SetToolbarBitmap(Old));
    const std::string Large = Folder.Path() + "large.bmp";  // 5.8 MB
    WriteBmp24(Large, 1600, 1200, [](int X, int) { return X < 800 ? kRed : kBlue; });
    const std::string Progressive = Folder.Path() + "progressive.jpg";  // 36 MB of coefficients in 60 KB
    WriteBytes(Progressive, DcOnlyJpeg(4000, 3000, 1));
    // Neither is told as a damaged picture: a bitmap's memory is a system resource of its own.
    const struct {
        std::string Picture;
        TRadioButton* TfrmSelect::*Option;
        const char* Told;
    } Cases[] = {
        {Large, &TfrmSelect::optTiled, "Out of system resources"},
        {Large, &TfrmSelect::optStretched, "Out of system resources"},
        {Progressive, &TfrmSelect::optStretched, "Out of memory"},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Picture + (Case.Option == &TfrmSelect::optTiled ? ", tiled" : ", stretched"));
        TBoxAnswerer Boxes({IDYES});
        Choose(Case.Picture);
        Click(F->*Case.Option);
        {
            const TAddressSpaceFilled Full(4 << 20);
            Click(F->btnApply);
        }
        Click(F->optStretched);
        ASSERT_EQ(3u, Boxes.Asked.size());
        EXPECT_EQ(Case.Told, Boxes.Asked[1].Text);
        EXPECT_EQ(static_cast<unsigned>(MB_ICONERROR), Boxes.Asked[1].Flags);
        EXPECT_EQ("Error! Skin could not be applied.", Boxes.Asked[2].Text);
        EXPECT_TRUE(F->Visible());
        EXPECT_EQ(Old, ToolbarValue("BackBitmap"));
        EXPECT_TRUE(ReadBmp(Old).Valid);
    }
}

TEST_F(SelectDialog, ReopeningClearsThePreviewButKeepsTheChoices) {
    TfrmSelect* F = frmSelect;
    TBoxAnswerer Boxes;
    Choose(Halves);
    Click(F->optTiled);
    F->chkCloseExplorerWindows->SetChecked(false);
    F->txtHeight->SetText("80");
    F->Hide();
    EXPECT_FALSE(F->imgSkin->Picture.Graphic()) << "the closed dialog keeps the picture";
    EXPECT_FALSE(F->imgTiledSkin->Picture.Graphic());
    F->Show();
    EXPECT_FALSE(F->imgSkin->Visible());
    EXPECT_FALSE(F->imgTiledSkin->Visible());
    EXPECT_FALSE(F->btnApply->Enabled());
    EXPECT_EQ("", F->dlgSelect->FileName);
    EXPECT_TRUE(F->optTiled->Checked());
    EXPECT_FALSE(F->txtHeight->Enabled());
    EXPECT_EQ("80", F->txtHeight->Text());
    EXPECT_FALSE(F->chkCloseExplorerWindows->Checked());
    EXPECT_EQ(Halves, F->LastSkinFile);
    Click(F->optStretched);
    F->chkCloseExplorerWindows->SetChecked(true);
    F->txtHeight->SetText("116");
}

TEST_F(SelectDialog, CancelWritesNothing) {
    frmSelect->Hide();
    TBoxAnswerer Boxes;
    RunLater(50, [&] {
        Choose(Halves);
        Click(frmSelect->btnCancel);
    });
    EXPECT_EQ(mrCancel, frmSelect->ShowModal());
    EXPECT_EQ("<missing>", ToolbarValue("BackBitmap"));
    EXPECT_TRUE(FilesIn(GetAppFolder(), "*.skin").empty());
}

TEST_F(SelectDialog, TheFrameSitsCentredWithThePreviewInItsRedArea) {
    TfrmSelect* F = frmSelect;
    EXPECT_EQ(17, F->imgIE->Left());
    EXPECT_EQ(24, F->imgIE->Top());
    EXPECT_EQ(402, F->imgIE->Width());
    EXPECT_EQ(62, F->imgIE->Height());
    EXPECT_EQ(19, F->imgSkin->Left());
    EXPECT_EQ(26, F->imgSkin->Top());
    EXPECT_EQ(398, F->imgSkin->Width());
    EXPECT_EQ(58, F->imgSkin->Height());
    EXPECT_EQ(kHandCursor, F->imgIE->Cursor);
    // Centred over the main window's client area, 25 pixels up.
    const TPoint Origin = frmVelmora->ClientOrigin();
    EXPECT_EQ(Origin.X + frmVelmora->ClientWidth() / 2 - 218, F->Left());
    EXPECT_EQ(Origin.Y + frmVelmora->ClientHeight() / 2 - 97 - 25, F->Top());
    // A click on the frame opens the file dialog as "&Select Skin" does.
    TBoxAnswerer Boxes;
    AnswerOpenDialog(kDialogTitle, Halves);
    F->imgIE->Click();
    EXPECT_EQ(Halves, F->LastSkinFile);
}

namespace {
// The tooltip window that belongs to Owner, if one is showing.
HWND ShowingTooltip(HWND Owner) {
    struct TSearch {
        HWND Owner, Found;
        static BOOL CALLBACK Visit(HWND Window, LPARAM Param) {
            auto* Search = reinterpret_cast<TSearch*>(Param);
            char Class[64] = "";
            GetClassNameA(Window, Class, sizeof Class);
            if (lstrcmpiA(Class, "tooltips_class32") == 0 && GetWindow(Window, GW_OWNER) == Search->Owner &&
                IsWindowVisible(Window))
                Search->Found = Window;
            return TRUE;
        }
    } Search{Owner, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), &TSearch::Visit, reinterpret_cast<LPARAM>(&Search));
    return Search.Found;
}
}  // namespace

TEST_F(SelectDialog, TheFrameSaysWhatAClickDoesWhenThePointerRestsOnIt) {
    TfrmSelect* F = frmSelect;
    const TPoint Client{F->imgIE->Left() + 150, F->imgIE->Top() + 30};
    const TPoint Screen = F->ClientToScreen(Client);
    SetCursorPos(Screen.X, Screen.Y);
    // One move, then the pointer rests: the tip shows after the usual delay.
    SendMessageA(F->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(Client.X, Client.Y));
    HWND Tip = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (Tip = ShowingTooltip(F->Handle())) != nullptr; }, 5000));
    char Text[64] = "";
    TOOLINFOA Tool{};
    Tool.cbSize = TTTOOLINFOA_V2_SIZE;
    Tool.hwnd = F->Handle();
    Tool.uId = 1;
    Tool.lpszText = Text;
    SendMessageA(Tip, TTM_GETTEXTA, sizeof Text, reinterpret_cast<LPARAM>(&Tool));
    EXPECT_STREQ("Select a skin", Text);
}

// A click made while the skin is converted and applied (no input is read meanwhile) is gone by the
// time the outcome is told: it would answer that message unread. It is still there at the question.
TEST_F(SelectDialog, AClickMadeDuringTheApplyIsGoneWhenTheOutcomeIsTold) {
    TfrmSelect* F = frmSelect;
    const struct {
        const char* Height;
        bool Writable;  // the toolbar values can be written
        const char* Told;
    } Cases[] = {
        {"0", true, "Error! Skin could not be applied."},  // after the conversion's own error
        {"116", false, "Error! Skin could not be applied."},
        {"116", true, "Your new skin has been applied."},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(std::string(Case.Height) + (Case.Writable ? "" : ", toolbar values that cannot be written"));
        TBoxAnswerer Boxes({IDYES});
        Choose(Halves);
        F->txtHeight->SetText(Case.Height);
        if (!Case.Writable) ASSERT_TRUE(MakeToolbarKeyReadOnly());
        DeleteSkinFiles();
        std::vector<bool> Pending;
        Boxes.OnAsk = [&](const TMessageBoxRequest&) { Pending.push_back(InputPending()); };
        ClickCenter(F->txtHeight->Handle());
        Click(F->btnApply);
        ASSERT_TRUE(ClearToolbarValues());
        ASSERT_FALSE(Pending.empty());
        EXPECT_TRUE(Pending.front()) << "no click was waiting at the question";
        EXPECT_EQ(Case.Told, Boxes.Asked.back().Text);
        EXPECT_EQ(Case.Told == std::string("Your new skin has been applied.") ? 1u : 0u,
                  FilesIn(GetAppFolder(), "*.skin").size()) << "a skin that no toolbar names stays";
        for (size_t I = 1; I < Pending.size(); ++I) EXPECT_FALSE(Pending[I]) << Boxes.Asked[I].Text;
        PumpFor(100);
    }
    F->txtHeight->SetText("116");
}
