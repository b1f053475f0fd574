// "Change Window Title" against the real registry, typed into for real.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "ToolbarValues.h"
#include "Velmoraform.h"
#include "Windowtitleform.h"

namespace {
const char* const kMainKey = "Software\\Microsoft\\Internet Explorer\\Main";
const char* const kTitle = "Window Title";
const std::string kNoKey = "<no key>", kNoValue = "<missing>";

std::string Z(const std::string& Text) { return Text + '\0'; }

// Puts a root in the state a case names: kNoKey, kNoValue, or the value's raw bytes. Bytes without
// an end are planted as binary: Wine's reader ends a REG_SZ by itself, where Windows hands over
// what is stored.
void Plant(HKEY Root, const std::string& State) {
    if (State == kNoKey) {
        RegDeleteTreeA(Root, kMainKey);
        return;
    }
    const bool Ended = !State.empty() && State.back() == '\0';
    ASSERT_TRUE(PlantValue(Root, kMainKey, kTitle, State, Ended || State.empty() ? REG_SZ : REG_BINARY));
    if (State == kNoValue) RegDeleteKeyValueA(Root, kMainKey, kTitle);
}

std::string Stored(HKEY Root, DWORD* Type = nullptr) { return ValueData(Root, kMainKey, kTitle, Type); }
}  // namespace

TEST(WindowTitle, ReadFromTheMachineThenTheUserThenTheDefault) {
    const std::string L259(259, 't'), L260(260, 'u');
    const struct {
        std::string Machine, User, Shown;
    } Cases[] = {
        {Z("Machine"), Z("User"), "Machine"},
        {kNoValue, Z("User"), "User"},
        {kNoKey, Z("User"), "User"},
        {Z("No WT"), Z("User"), "User"},
        {Z(""), Z("User"), ""},
        {"", Z("User"), ""},  // a value of no bytes at all
        {Z(L259), Z("User"), L259},
        {Z(L260), Z("User"), "User"},  // does not fit the 260 bytes
        {L260, Z("User"), "User"},     // fills them, without an end
        {"Short", Z("User"), "Short"},  // no end, but shorter: the bytes read
        {std::string("ab\0cd", 6), Z("User"), "ab"},
        {kNoValue, Z("No WT"), "No WT"},
        {kNoValue, kNoValue, "Microsoft Internet Explorer"},
        {kNoKey, kNoKey, "Microsoft Internet Explorer"},
        {Z("No WT"), Z(L260), "Microsoft Internet Explorer"},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Machine.substr(0, 12) + " | " + Case.User.substr(0, 12));
        Plant(HKEY_LOCAL_MACHINE, Case.Machine);
        Plant(HKEY_CURRENT_USER, Case.User);
        EXPECT_EQ(Case.Shown, frmWindowTitle->ReadWindowTitle());
    }
}

TEST(WindowTitle, TypedTitleReplacesTheShownOneAndEnterStoresItInBothRoots) {
    TfrmWindowTitle* F = frmWindowTitle;
    Plant(HKEY_LOCAL_MACHINE, Z("Old title"));
    Plant(HKEY_CURRENT_USER, Z("User title"));
    std::string Shown;
    int Start = -1, Length = -1;
    EXPECT_EQ(mrOk, RunModal(F, [&] {
                  Shown = F->txtWindowTitle->Text();
                  Start = F->txtWindowTitle->SelStart();
                  Length = F->txtWindowTitle->SelLength();
                  EXPECT_TRUE(F->txtWindowTitle->Focused());
                  TypeKeys("New Title");
                  PressKey(VK_RETURN);
              }));
    EXPECT_EQ("Old title", Shown);
    EXPECT_EQ(0, Start);
    EXPECT_EQ(9, Length);
    for (HKEY Root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        DWORD Type = 0;
        EXPECT_EQ(Z("New Title"), Stored(Root, &Type));
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), Type);
    }
    // Over the main window's client area, 20 pixels above its centre.
    const TPoint Origin = frmVelmora->ClientOrigin();
    EXPECT_EQ(Origin.X + 86, F->Left());
    EXPECT_EQ(Origin.Y + 87, F->Top());
}

TEST(WindowTitle, CancelWritesNothingAndOkStoresAtMost259CharactersWhereTheKeyExists) {
    TfrmWindowTitle* F = frmWindowTitle;
    Plant(HKEY_LOCAL_MACHINE, Z("Kept"));
    Plant(HKEY_CURRENT_USER, Z("Kept too"));
    EXPECT_EQ(mrCancel, RunModal(F, [&] {
                  TypeKeys("Changed");
                  EXPECT_TRUE(PumpUntil([&] { return F->txtWindowTitle->Text() == "Changed"; }));
                  ClickCenter(F->btnCancel->Handle());
              }));
    EXPECT_EQ(Z("Kept"), Stored(HKEY_LOCAL_MACHINE));
    EXPECT_EQ(Z("Kept too"), Stored(HKEY_CURRENT_USER));

    Plant(HKEY_CURRENT_USER, kNoKey);
    const std::string Typed(300, 'x');
    EXPECT_EQ(mrOk, RunModal(F, [&] {
                  TypeKeys(Typed);
                  EXPECT_TRUE(PumpUntil([&] { return F->txtWindowTitle->Text().size() == 259; }));
                  ClickCenter(F->btnOK->Handle());
              }, 10000));
    EXPECT_EQ(Z(Typed.substr(0, 259)), Stored(HKEY_LOCAL_MACHINE));
    EXPECT_EQ(kNoKey, Stored(HKEY_CURRENT_USER));  // never created
    EXPECT_EQ(Typed.substr(0, 259), F->ReadWindowTitle());  // the longest title that reads back
    Plant(HKEY_CURRENT_USER, kNoValue);
}
