// "Change Text Color" with the real colour dialog, system colours, win.ini and registry.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "Textcolorform.h"
#include "TestSupport.h"
#include "ToolbarValues.h"

namespace {
const char* const kColorsKey = "Control Panel\\Colors";
const char* const kAppearanceKey = "Control Panel\\Appearance";
const char* const kNames[] = {"ButtonText", "ButtonFace", "MenuText", "Menu"};  // as ColorElements
const int kElements[] = {COLOR_BTNTEXT, COLOR_BTNFACE, COLOR_MENUTEXT, COLOR_MENU};
const COLORREF kPink = RGB(255, 0, 128), kSky = RGB(0, 128, 255);
const char* const kPinkText = "255 0 128";
const char* const kSkyText = "0 128 255";

std::string WinIniPath() {
    char Folder[MAX_PATH] = "";
    GetWindowsDirectoryA(Folder, MAX_PATH);
    return std::string(Folder) + "\\win.ini";
}

void Click(TButton* Button) { SendMessageA(Button->Handle(), BM_CLICK, 0, 0); }

// The dialog as the main window shows it, between known colours, win.ini and registry values that
// are put back afterwards (SetSysColors lasts as long as the wineserver).
class TextColorDialog : public testing::Test {
protected:
    void SetUp() override {
        for (int I = 0; I < 4; ++I) Before[I] = GetSysColor(kElements[I]);
        WinIni = WholeFile(WinIniPath());
        for (int I = 0; I < 4; ++I) ASSERT_TRUE(PlantValue(HKEY_CURRENT_USER, kColorsKey, kNames[I], std::string("1 2 3\0", 6)));
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kAppearanceKey, "CustomColors");
    }
    void TearDown() override {
        SetSysColors(4, kElements, Before);
        WriteWinIni(WinIni);
        F->optChangeBoth->SetChecked(true);
    }
    static void WriteWinIni(const std::string& Text) {
        std::ofstream(WinIniPath(), std::ios::binary | std::ios::trunc) << Text;
    }
    // Picks Color for the shape under Button through the real colour dialog.
    static void Pick(TButton* Button, COLORREF Color) {
        AnswerColorDialog(Color);
        Click(Button);
    }
    std::vector<COLORREF> Colors() const {
        std::vector<COLORREF> Now;
        for (int Element : kElements) Now.push_back(GetSysColor(Element));
        return Now;
    }
    std::vector<COLORREF> Saved() const { return {Before, Before + 4}; }
    std::string Registry(int I) const { return ValueData(HKEY_CURRENT_USER, kColorsKey, kNames[I]); }
    TfrmTextColor* F = frmTextColor;
    COLORREF Before[4] = {};
    std::string WinIni;
};
}  // namespace

TEST_F(TextColorDialog, PreviewShowsBothPairsAndCancelOrCloseTakesItBack) {
    std::vector<COLORREF> Previewed;
    for (bool ByCancel : {true, false}) {
        SCOPED_TRACE(ByCancel ? "Cancel" : "WM_CLOSE");
        EXPECT_EQ(mrCancel, RunModal(F, [&] {
                      Click(F->btnPreview);  // nothing chosen yet: nothing happens
                      EXPECT_EQ(Saved(), Colors());
                      Pick(F->btnTextColor, kPink);
                      Pick(F->btnBackgroundColor, kSky);
                      Click(F->btnPreview);
                      Previewed = Colors();
                      if (ByCancel) Click(F->btnCancel);
                      else PostMessageA(F->Handle(), WM_CLOSE, 0, 0);
                  }));
        EXPECT_EQ((std::vector<COLORREF>{kPink, kSky, kPink, kSky}), Previewed);
        EXPECT_EQ(Saved(), Colors());
        EXPECT_EQ(std::string("1 2 3\0", 6), Registry(0));
        EXPECT_EQ(WinIni, WholeFile(WinIniPath()));
    }
}

TEST_F(TextColorDialog, OkStoresExactTextsInTheColorsSectionAndTheRegistry) {
    WriteWinIni("[windows]\r\nBeep=yes\r\n[colors]\r\nButtonFace=1 1 1\r\nMenu=2 2 2\r\n");
    EXPECT_EQ(mrCancel, RunModal(F, [&] {
                  Pick(F->btnTextColor, kPink);
                  Pick(F->btnBackgroundColor, kSky);
                  Click(F->btnOK);
              }));
    EXPECT_EQ((std::vector<COLORREF>{kPink, kSky, kPink, kSky}), Colors());
    EXPECT_EQ(std::string("[windows]\r\nBeep=yes\r\n[colors]\r\nButtonFace=0 128 255\r\nMenu=0 128 255\r\n") +
                  "ButtonText=255 0 128\r\nMenuText=255 0 128\r\n",
              WholeFile(WinIniPath()));
    for (int I = 0; I < 4; ++I) EXPECT_EQ(std::string(I % 2 ? kSkyText : kPinkText) + '\0', Registry(I)) << kNames[I];
    DWORD Type = 0;
    std::string White;
    for (int I = 0; I < 16; ++I) White += std::string("\xff\xff\xff\0", 4);
    EXPECT_EQ(White, ValueData(HKEY_CURRENT_USER, kAppearanceKey, "CustomColors", &Type));
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), Type);

    // The next showing starts from the colours now in force.
    EXPECT_EQ(mrCancel, RunModal(F, [&] { Click(F->btnCancel); }));
    EXPECT_EQ(kPink, ColorToRGB(F->shpTextColor->Brush.Color));
    EXPECT_EQ(kSky, ColorToRGB(F->shpBackgroundColor->Brush.Color));
}

// Colours previewed and then confirmed stay in force after the dialog has hidden.
TEST_F(TextColorDialog, PreviewThenOkKeepsTheChosenColours) {
    EXPECT_EQ(mrCancel, RunModal(F, [&] {
                  Pick(F->btnTextColor, kPink);
                  Pick(F->btnBackgroundColor, kSky);
                  Click(F->btnPreview);
                  Click(F->btnOK);
              }));
    EXPECT_FALSE(F->Visible());
    EXPECT_EQ((std::vector<COLORREF>{kPink, kSky, kPink, kSky}), Colors());
    EXPECT_EQ(std::string(kPinkText) + '\0', Registry(0));
}

// win.ini held by another program, so that it cannot be written: OK says so once, still stores the
// colours in the registry, and closes with the colours in force.
TEST_F(TextColorDialog, OkWithAWinIniThatCannotBeWrittenStillEndsInOneState) {
    WriteWinIni("[colors]\r\nButtonFace=1 1 1\r\n");
    const std::string Held = WholeFile(WinIniPath());
    HANDLE Holder = CreateFileA(WinIniPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, Holder);
    TBoxAnswerer Boxes;
    const TModalResult Result = RunModal(F, [&] {
        Pick(F->btnTextColor, kPink);
        Pick(F->btnBackgroundColor, kSky);
        Click(F->btnOK);
    });
    CloseHandle(Holder);
    EXPECT_EQ(mrCancel, Result) << "the dialog did not close";
    ASSERT_EQ(1u, Boxes.Asked.size());
    EXPECT_EQ("Unable to write to " + WinIniPath() + ".", Boxes.Asked[0].Text);
    EXPECT_EQ((std::vector<COLORREF>{kPink, kSky, kPink, kSky}), Colors());
    for (int I = 0; I < 4; ++I) EXPECT_EQ(std::string(I % 2 ? kSkyText : kPinkText) + '\0', Registry(I)) << kNames[I];
    EXPECT_EQ(64u, ValueData(HKEY_CURRENT_USER, kAppearanceKey, "CustomColors").size());
    EXPECT_EQ(Held, WholeFile(WinIniPath()));
}

TEST_F(TextColorDialog, NoChangeStoresNothingAndWinIniWithoutColorsStaysAsItWas) {
    WriteWinIni("[windows]\r\nBeep=yes\r\n");
    const std::string Untouched = WholeFile(WinIniPath());
    // The colour already shown is no change.
    EXPECT_EQ(mrCancel, RunModal(F, [&] {
                  Pick(F->btnTextColor, Before[0]);
                  Click(F->btnOK);
              }));
    EXPECT_EQ("<missing>", ValueData(HKEY_CURRENT_USER, kAppearanceKey, "CustomColors"));
    EXPECT_EQ(std::string("1 2 3\0", 6), Registry(0));

    EXPECT_EQ(mrCancel, RunModal(F, [&] {
                  Pick(F->btnTextColor, kPink);
                  Click(F->btnOK);
              }));
    EXPECT_EQ(Untouched, WholeFile(WinIniPath()));  // no section of its own
    EXPECT_EQ(std::string(kPinkText) + '\0', Registry(0));
    EXPECT_EQ(64u, ValueData(HKEY_CURRENT_USER, kAppearanceKey, "CustomColors").size());
}

TEST_F(TextColorDialog, MenuOnlyWithANewTextColourGivesTheMenuTheButtonFace) {
    EXPECT_EQ(mrCancel, RunModal(F, [&] {
                  ClickCenter(F->optChangeMenu->Handle());
                  EXPECT_TRUE(PumpUntil([&] { return F->optChangeMenu->Checked(); }));
                  Pick(F->btnTextColor, kPink);
                  Click(F->btnOK);
              }));
    EXPECT_EQ((std::vector<COLORREF>{Before[0], Before[1], kPink, Before[1]}), Colors());
    EXPECT_EQ(std::string("1 2 3\0", 6), Registry(0));
    EXPECT_EQ(std::string("1 2 3\0", 6), Registry(1));
    EXPECT_EQ(std::string(kPinkText) + '\0', Registry(2));
    const COLORREF Face = Before[1];
    EXPECT_EQ(std::to_string(GetRValue(Face)) + " " + std::to_string(GetGValue(Face)) + " " +
                  std::to_string(GetBValue(Face)) + '\0',
              Registry(3));
}

// A click made while OK applies and stores the colours (no input is read meanwhile) is gone once the
// dialog has closed: it would land on the window behind it.
TEST_F(TextColorDialog, AClickMadeWhileOkAppliesIsGoneWhenTheDialogCloses) {
    bool Before = false, After = true;
    EXPECT_EQ(mrCancel, RunModal(F, [&] {
                  Pick(F->btnTextColor, kPink);
                  ClickCenter(F->btnPreview->Handle());
                  Before = InputPending();
                  Click(F->btnOK);
                  After = InputPending();
              }));
    EXPECT_TRUE(Before) << "no click was waiting";
    EXPECT_FALSE(After);
}
