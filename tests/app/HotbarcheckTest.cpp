// The Hotbar check against real uninstall entries of the test prefix.
#include <gtest/gtest.h>

#include "Hotbarcheck.h"
#include "Registry.h"
#include "TestSupport.h"

namespace {
const std::string kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char* const kOfferText =
    "Velmora has found Hotbar installed on your computer.  \n\nVelmora is not compatible with Hotbar!  "
    "Velmora can attempt to run Hotbar's uninstall program by clicking OK.";

// Uninstall entries made for one test and deleted afterwards.
class TUninstallEntries {
public:
    ~TUninstallEntries() {
        for (const std::string& Name : FNames) RegDeleteKeyA(HKEY_LOCAL_MACHINE, (kUninstallKey + "\\" + Name).c_str());
    }
    // A value given as nullptr is left out.
    void Add(const std::string& Name, const char* DisplayName, const char* UninstallString) {
        TRegistry Registry;
        Registry.RootKey = HKEY_LOCAL_MACHINE;
        ASSERT_TRUE(Registry.OpenKey(kUninstallKey + "\\" + Name, true));
        if (DisplayName) Registry.WriteString("DisplayName", DisplayName);
        if (UninstallString) Registry.WriteString("UninstallString", UninstallString);
        FNames.push_back(Name);
    }

private:
    std::vector<std::string> FNames;
};

std::vector<std::string> EnumeratedEntries() {
    TRegistry Registry(KEY_READ);
    Registry.RootKey = HKEY_LOCAL_MACHINE;
    TStringList Names;
    if (Registry.OpenKeyReadOnly(kUninstallKey)) Registry.GetKeyNames(&Names);
    return std::vector<std::string>(Names.begin(), Names.end());
}
}  // namespace

TEST(Hotbar, NamesThatMatchAndNamesThatDoNot) {
    const struct {
        const char* Name;
        bool Matches;
    } Cases[] = {
        {"Hotbar 4.0", true},   {"My HotBar Toolbar", true}, {"Hot Bar", true},  {"HOT_BAR Weather", true},
        {"hot-bar", true},      {"Screenshot Bar", true},    {"Photobar", false}, {"Hot.Bar", false},
        {"Hot  Bar", false},    {"", false},                 {"HOTBA", false},    {"Hot Ba", false},
    };
    for (const auto& Case : Cases) EXPECT_EQ(Case.Matches, IsHotbarName(Case.Name)) << '"' << Case.Name << '"';
}

TEST(Hotbar, OneBoxPerEntryWithACommandAndOnlyOkStartsTheUninstaller) {
    TScratchFolder Folder;
    const std::string Recorder = WindowsPath(RECORDER_EXE);
    const std::string FirstMarker = Folder.Path() + "first.txt", SecondMarker = Folder.Path() + "second.txt";
    TUninstallEntries Entries;
    Entries.Add("VelmoraTestHotbarA", "Hotbar 4.0", ("\"" + Recorder + "\" " + FirstMarker).c_str());
    Entries.Add("VelmoraTestHotbarB", "My HotBar Toolbar", ("\"" + Recorder + "\" " + SecondMarker).c_str());
    Entries.Add("VelmoraTestHotbarNoCommand", "Hot Bar", nullptr);
    Entries.Add("VelmoraTestHotbarBlankCommand", "HOT_BAR Weather", " \t ");
    Entries.Add("VelmoraTestHotbarEmptyCommand", "Screenshot Bar", "");
    Entries.Add("VelmoraTestPhotobar", "Photobar", ("\"" + Recorder + "\" " + Folder.Path() + "photo.txt").c_str());

    // The boxes come in the registry's own order: find out which of the two it gives first.
    const auto Order = EnumeratedEntries();
    const auto PosA = std::find(Order.begin(), Order.end(), "VelmoraTestHotbarA");
    const auto PosB = std::find(Order.begin(), Order.end(), "VelmoraTestHotbarB");
    ASSERT_TRUE(PosA != Order.end() && PosB != Order.end());
    const bool AFirst = PosA < PosB;
    const std::string& OkMarker = AFirst ? FirstMarker : SecondMarker;
    const std::string& CancelMarker = AFirst ? SecondMarker : FirstMarker;

    TBoxAnswerer Boxes({IDOK, IDCANCEL});
    const HWND Owner = reinterpret_cast<HWND>(0x1234);
    CheckForHotbar(Owner);

    ASSERT_EQ(2u, Boxes.Asked.size());
    for (const auto& Box : Boxes.Asked) {
        EXPECT_EQ(kOfferText, Box.Text);
        EXPECT_EQ("Velmora! - Hotbar Found!", Box.Caption);
        EXPECT_EQ(static_cast<unsigned>(MB_ICONERROR | MB_OKCANCEL), Box.Flags);
        EXPECT_EQ(Owner, Box.Owner);
    }
    // The uninstaller of the entry answered with OK runs, and it gets the command as it was stored.
    ASSERT_TRUE(PumpUntil([&] { return FileExists(OkMarker); }, 10000));
    PumpFor(1500);
    EXPECT_FALSE(FileExists(CancelMarker));
    EXPECT_FALSE(FileExists(Folder.Path() + "photo.txt"));
}

TEST(Hotbar, NoHotbarEntryShowsNothing) {
    TUninstallEntries Entries;
    Entries.Add("VelmoraTestOther", "Some Toolbar", "C:\\uninstall.exe");
    TBoxAnswerer Boxes;
    CheckForHotbar(nullptr);
    EXPECT_TRUE(Boxes.Asked.empty());
}

TEST(Hotbar, DisplayNameThatIsNotTextSkipsOnlyThatEntry) {
    TScratchFolder Folder;
    TUninstallEntries Entries;
    Entries.Add("VelmoraTestBinaryName", nullptr, "C:\\uninstall.exe");
    HKEY Key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, (kUninstallKey + "\\VelmoraTestBinaryName").c_str(), 0,
                                           KEY_SET_VALUE, &Key));
    const DWORD Number = 7;
    RegSetValueExA(Key, "DisplayName", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&Number), sizeof Number);
    RegCloseKey(Key);
    Entries.Add("VelmoraTestHotbarAfter", "Hotbar", ("\"" + WindowsPath(RECORDER_EXE) + "\" " + Folder.Path() + "x.txt").c_str());
    TBoxAnswerer Boxes({IDCANCEL});
    CheckForHotbar(nullptr);
    EXPECT_EQ(1u, Boxes.Asked.size());
}
