// The folder picker over the wizard: the folder it composes, what OK and Cancel hand over, and the
// drive list reduced to fixed drives.
#include <gtest/gtest.h>

#include <cstdlib>

#include "Directoryform.h"
#include "Globals.h"
#include "Mainform.h"
#include "TestSupport.h"

namespace {
// The wizard and the picker, made once as setup mode makes them.
class FolderPicker : public testing::Test {
protected:
    static void SetUpTestSuite() {
        if (frmMain) return;
        Application->CreateForm(frmMain);
        Application->CreateForm(frmDirectory);
    }
    void SetUp() override { frmMain->txtPath->SetText("D:\\Kept\\"); }
    TfrmDirectory* F = frmDirectory;
};
}  // namespace

TEST_F(FolderPicker, ComposesTheFolderBelowTheChoiceAndHandsItOverOnlyOnOK) {
    TScratchFolder Scratch;
    const std::string Apps = Scratch.Path() + "Apps";
    CreateDirectoryA(Apps.c_str(), nullptr);
    CreateDirectoryA((Apps + "\\Velmora3").c_str(), nullptr);
    const struct {
        std::string Chosen, Composed;
    } Cases[] = {
        {"C:\\", "C:\\Velmora3\\"},
        {Apps, Apps + "\\Velmora3\\"},
        {Apps + "\\Velmora3", Apps + "\\Velmora3\\Velmora3\\"},
    };
    std::string Shown, Directory;
    EXPECT_EQ(mrCancel, RunModal(F, [&] {
                  Shown = F->txtPath->Text();
                  Directory = F->lstDirectory->Directory();
                  EXPECT_TRUE(F->btnOK->Focused());
                  for (const auto& Case : Cases) {
                      F->lstDirectory->SetDirectory(Case.Chosen);
                      EXPECT_EQ(Case.Composed, F->txtPath->Text()) << Case.Chosen;
                  }
                  F->btnOK->Click();
              }));
    EXPECT_EQ(GetDefaultInstallDir(), Shown);
    EXPECT_EQ(GetProgramFilesDir().substr(0, GetProgramFilesDir().size() - 1), Directory);
    EXPECT_EQ(Apps + "\\Velmora3\\Velmora3\\", frmMain->txtPath->Text());
    // Centred on the wizard's outer bounds.
    EXPECT_EQ(frmMain->Left() + frmMain->Width() / 2 - F->Width() / 2, F->Left());

    // A second opening starts again at Program Files; Cancel hands nothing over.
    EXPECT_EQ(mrCancel, RunModal(F, [&] {
                  Shown = F->txtPath->Text();
                  F->lstDirectory->SetDirectory("C:\\");
                  F->btnCancel->Click();
              }));
    EXPECT_EQ(GetDefaultInstallDir(), Shown);
    EXPECT_EQ(Apps + "\\Velmora3\\Velmora3\\", frmMain->txtPath->Text());
}

// A double click, or Enter on the selected row, opens a folder or goes back up.
TEST_F(FolderPicker, ADoubleClickOpensAFolderOrGoesBackUp) {
    TScratchFolder Scratch;
    CreateDirectoryA((Scratch.Path() + "Inner").c_str(), nullptr);
    const std::string Folder = Scratch.Path().substr(0, Scratch.Path().size() - 1);
    RunModal(F, [&] {
        F->lstDirectory->SetDirectory(Folder);
        const std::vector<std::string> Rows = F->lstDirectory->Rows();
        ASSERT_EQ("Inner", Rows.back());
        HWND List = F->lstDirectory->Handle();
        SendMessageA(List, LB_SETCURSEL, static_cast<WPARAM>(Rows.size() - 1), 0);
        SendMessageA(F->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(List), LBN_DBLCLK), reinterpret_cast<LPARAM>(List));
        EXPECT_EQ(Folder + "\\Inner", F->lstDirectory->Directory());
        SendMessageA(List, LB_SETCURSEL, 0, 0);  // the drive's root
        SendMessageA(F->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(List), LBN_DBLCLK), reinterpret_cast<LPARAM>(List));
        EXPECT_EQ(Folder.substr(0, 3), F->lstDirectory->Directory());
        EXPECT_EQ(Folder.substr(0, 3) + "Velmora3\\", F->txtPath->Text());
        // The keyboard: back into the folder, the row below it chosen with the arrow, then Enter.
        F->lstDirectory->SetDirectory(Folder);
        F->lstDirectory->SetFocus();
        SendMessageA(List, LB_SETCURSEL, static_cast<WPARAM>(Rows.size() - 2), 0);
        PressKey(VK_DOWN);
        PressKey(VK_RETURN);
        EXPECT_TRUE(PumpUntil([&] { return F->lstDirectory->Directory() == Folder + "\\Inner"; }))
            << F->lstDirectory->Directory();
        EXPECT_TRUE(F->Visible()) << "Enter pressed a button of the picker";
        F->btnCancel->Click();
    });
}

// With the drives that tests/install/picker_drives.sh sets up (floppies, a CD-ROM, a network drive
// and one more fixed drive), only the fixed ones stay, in order.
TEST_F(FolderPicker, OnlyFixedDrivesAreListed) {
    const char* Expected = std::getenv("VELMORA_FIXED_DRIVES");
    if (!Expected) GTEST_SKIP() << "run by picker_drives.sh, which sets up the drives";
    std::string Listed;
    RunModal(F, [&] {
        for (int I = 0; I < F->cboDrive->Count(); ++I) Listed += F->cboDrive->Item(I) + " ";
        F->btnCancel->Click();
    });
    EXPECT_EQ(Expected, Listed);
    const struct {
        const char* Text;
        bool Fixed;
    } Cases[] = {{"C", true}, {"c:", true}, {"C:\\", true}, {" C:\\Windows ", true}, {"D", false}, {"A:", false}};
    for (const auto& Case : Cases) EXPECT_EQ(Case.Fixed, IsFixedDrive(Case.Text)) << Case.Text;
}
