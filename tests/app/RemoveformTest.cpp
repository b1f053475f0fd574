// "Remove Skin" against the real registry and Skin files.
#include <gtest/gtest.h>

#include <fstream>

#include "Globalfunctions.h"
#include "Removeform.h"
#include "TestSupport.h"
#include "ToolbarValues.h"
#include "Velmoraform.h"

namespace {
const char* const kRemoved =
    "Your current skin has been removed.  You may have to restart your computer for this change to take effect.";

// Shows the dialog modally and notes its text once it is up; "&OK" closes it.
std::string ShowAndRead(TModalResult& Result) {
    std::string Shown;
    RunLater(50, [&] {
        Shown = frmRemove->lblRemove->Caption();
        SendMessageA(frmRemove->btnOK->Handle(), BM_CLICK, 0, 0);
    });
    Result = frmRemove->ShowModal();
    return Shown;
}
}  // namespace

TEST(RemoveDialog, RemovesBothValuesThenTheSkinFilesAndSaysSo) {
    const std::string App = GetAppFolder();
    DeleteSkinFiles();
    ASSERT_TRUE(ClearToolbarValues());
    ASSERT_TRUE(SetToolbarBitmap(App + "skin3.skin"));
    std::ofstream(App + "skin3.skin") << "skin";
    std::ofstream(App + "skin4.skin") << "skin";
    TModalResult Result = mrNone;
    EXPECT_EQ(kRemoved, ShowAndRead(Result));
    EXPECT_EQ(mrOk, Result);
    EXPECT_EQ("<missing>", ToolbarValue("BackBitmap"));
    EXPECT_EQ("<missing>", ToolbarValue("BackBitmapIE5"));
    EXPECT_FALSE(FileExists(App + "skin3.skin"));
    EXPECT_FALSE(FileExists(App + "skin4.skin"));
    // Centred on the main window's outer bounds.
    EXPECT_EQ(frmVelmora->Left() + frmVelmora->Width() / 2 - frmRemove->Width() / 2, frmRemove->Left());
    EXPECT_EQ(frmVelmora->Top() + frmVelmora->Height() / 2 - frmRemove->Height() / 2, frmRemove->Top());
    // With nothing left to remove, a second showing says the same.
    EXPECT_EQ(kRemoved, ShowAndRead(Result));
}

TEST(RemoveDialog, WithoutTheToolbarKeyTheSkinFilesStay) {
    const std::string App = GetAppFolder();
    RegDeleteKeyA(HKEY_CURRENT_USER, kToolbarKey);
    std::ofstream(App + "skin5.skin") << "skin";
    TModalResult Result = mrNone;
    EXPECT_EQ("Your skin could not be removed!", ShowAndRead(Result));
    EXPECT_TRUE(FileExists(App + "skin5.skin"));
    DeleteSkinFiles();
    ClearToolbarValues();
}

// A click at "&OK" made while the skin is removed (no input is read meanwhile) is dropped: the
// dialog stays with its outcome until OK is clicked afterwards.
TEST(RemoveDialog, AClickMadeDuringTheRemovalLeavesTheOutcomeShown) {
    ASSERT_TRUE(ClearToolbarValues());
    bool Before = false, StayedOpen = false;
    EXPECT_EQ(mrOk, RunModal(frmRemove, [&] {
                  ClickCenter(frmRemove->btnOK->Handle());
                  Before = InputPending();
                  frmRemove->FormShow(nullptr);  // the removal, as a showing runs it
                  PumpFor(300);
                  StayedOpen = frmRemove->Visible() && frmRemove->ModalResult == mrNone;
                  SendMessageA(frmRemove->btnOK->Handle(), BM_CLICK, 0, 0);
              }));
    EXPECT_TRUE(Before) << "no click was waiting";
    EXPECT_TRUE(StayedOpen);
}
