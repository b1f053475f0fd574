// The install engine in this test program, which carries the built Velmora3.exe as install.exe
// does: the files, the uninstall list, the shell links read back through IShellLink, the uninstall
// entry, and the failures in their order.
#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

#include <fstream>
#include <iterator>

#include "Globals.h"
#include "Installengine.h"
#include "Links.h"
#include "Names.h"
#include "TestSupport.h"

namespace {
std::string IniValue(const std::string& File, const char* Section, const char* Key) {
    char Value[1024] = "";
    GetPrivateProfileStringA(Section, Key, "<missing>", Value, sizeof Value, File.c_str());
    return Value;
}

// What a saved shell link holds, read back in this process through IShellLink.
struct TLink {
    std::string Path, Description, IconFile;
    int Icon = -1, ShowCommand = -1;
};

TLink ReadLink(const std::string& File) {
    TLink Link;
    CoInitialize(nullptr);
    IShellLinkA* Shell = nullptr;
    IPersistFile* Persist = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&Shell))) &&
        SUCCEEDED(Shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&Persist)))) {
        std::wstring Wide(File.begin(), File.end());
        if (SUCCEEDED(Persist->Load(Wide.c_str(), STGM_READ))) {
            char Text[MAX_PATH] = "";
            Shell->GetPath(Text, MAX_PATH, nullptr, 0);
            Link.Path = Text;
            Shell->GetDescription(Text, MAX_PATH);
            Link.Description = Text;
            Shell->GetIconLocation(Text, MAX_PATH, &Link.Icon);
            Link.IconFile = Text;
            Shell->GetShowCmd(&Link.ShowCommand);
        }
    }
    if (Persist) Persist->Release();
    if (Shell) Shell->Release();
    CoUninitialize();
    return Link;
}

std::string EntryValue(const char* Name, DWORD* Type = nullptr) {
    HKEY Key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &Key) != ERROR_SUCCESS) return "<no key>";
    char Data[1024];
    DWORD Size = sizeof Data;
    const LONG Result = RegQueryValueExA(Key, Name, nullptr, Type, reinterpret_cast<BYTE*>(Data), &Size);
    RegCloseKey(Key);
    return Result == ERROR_SUCCESS ? std::string(Data, Size) : "<missing>";
}

DWORD EntryValueCount() {
    HKEY Key;
    DWORD Count = 0;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &Key) != ERROR_SUCCESS) return 0;
    RegQueryInfoKeyA(Key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &Count, nullptr, nullptr, nullptr,
                     nullptr);
    RegCloseKey(Key);
    return Count;
}

// A clean start: no uninstall entry, no group, no desktop link, an empty installation folder.
class Installing : public testing::Test {
protected:
    void SetUp() override {
        Application->Title = "Velmora Setup";  // as the program's entry sets it
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
        Programs = GetSpecialFolderPath(CSIDL_COMMON_PROGRAMS) + "\\";
        Desktop = GetSpecialFolderPath(CSIDL_COMMON_DESKTOPDIRECTORY) + "\\";
        Group = "Velmora Test " + std::to_string(GetTickCount());
        Folder = Scratch.Path() + "Velmora3";  // no trailing backslash: the engine adds it
        DeleteFileA((Desktop + "Velmora3.lnk").c_str());
    }
    void TearDown() override {
        for (const char* Link : {"Velmora3.lnk", "Uninstall Velmora3.lnk"}) DeleteFileA((Programs + Group + "\\" + Link).c_str());
        RemoveDirectoryA((Programs + Group).c_str());
        DeleteFileA((Desktop + "Velmora3.lnk").c_str());
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
    }
    std::string Path(const char* File) const { return Folder + "\\" + File; }
    TScratchFolder Scratch;
    std::string Programs, Desktop, Group, Folder;
    TBoxAnswerer Boxes;
};
}  // namespace

TEST(InstallFolders, DefaultFolderAndModes) {
    char System[MAX_PATH];
    GetSystemDirectoryA(System, MAX_PATH);
    EXPECT_EQ(std::string(System, 3) + "Program Files\\Velmora3\\", GetDefaultInstallDir());
    const struct {
        const char* Name;
        TSetupMode Mode;
    } Cases[] = {
        {"Uninstall.exe", smConfirmUninstall}, {"UNINSTALL.EXE", smConfirmUninstall},
        {"uninstall.exe", smConfirmUninstall}, {"vlmuntmp0.exe", smUninstaller}, {"VLMUNTMP0.EXE", smUninstaller},
        {"vlmuntmp1.exe", smSetup},           {"setup.exe", smSetup},          {"Uninstall.exe.exe", smSetup},
        {"install.exe", smSetup},
    };
    for (const auto& Case : Cases) EXPECT_EQ(Case.Mode, ModeOfFileName(Case.Name)) << Case.Name;
    // The uninstaller's argument comes through ParamStr; this program is started without one.
    EXPECT_EQ(Application->ExeName(), ParamStr(0));
    EXPECT_EQ(0, ParamCount());
    EXPECT_EQ("", ParamStr(1));
}

TEST_F(Installing, WritesTheFilesTheListTheLinksAndTheEntry) {
    // An earlier list keeps what this installation does not write.
    CreateDirectoryA(Folder.c_str(), nullptr);
    WritePrivateProfileStringA("Shortcuts", "Desktop Shortcut", "C:\\earlier.lnk", Path("Uninstall.ini").c_str());
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, Path("Uninstall.ini").c_str());

    EXPECT_EQ(Path("Velmora3.exe"), PerformInstallation(Folder, Group, false));
    EXPECT_TRUE(Boxes.Asked.empty());
    EXPECT_TRUE(WholeFile(Path("Velmora3.exe")) == WholeFile(WindowsPath(VELMORA_EXE)));
    EXPECT_TRUE(WholeFile(Path("Uninstall.exe")) == WholeFile(Application->ExeName()));

    const std::string GroupFolder = Programs + Group;
    const std::string List = Path("Uninstall.ini");
    EXPECT_EQ(GroupFolder + "\\Uninstall Velmora3.lnk", IniValue(List, "Shortcuts", "Uninstall Shortcut"));
    EXPECT_EQ(GroupFolder, IniValue(List, "Program Group", "Group Name"));
    EXPECT_EQ(GroupFolder + "\\Velmora3.lnk", IniValue(List, "Shortcuts", "Program Shortcut"));
    EXPECT_EQ("C:\\earlier.lnk", IniValue(List, "Shortcuts", "Desktop Shortcut"));
    EXPECT_EQ(0u, WholeFile(List).find("[Shortcuts]"));  // before "Program Group" in a new file too

    const TLink Uninstall = ReadLink(GroupFolder + "\\Uninstall Velmora3.lnk");
    EXPECT_EQ(Path("Uninstall.exe"), Uninstall.Path);
    EXPECT_EQ("Velmora for Internet Explorer", Uninstall.Description);
    EXPECT_EQ(SW_SHOWNORMAL, Uninstall.ShowCommand);
    EXPECT_EQ(Path("Uninstall.exe"), Uninstall.IconFile);
    EXPECT_EQ(1, Uninstall.Icon);
    const TLink Program = ReadLink(GroupFolder + "\\Velmora3.lnk");
    EXPECT_EQ(Path("Velmora3.exe"), Program.Path);
    EXPECT_EQ("Velmora for Internet Explorer", Program.Description);
    EXPECT_EQ(0, Program.Icon);
    EXPECT_FALSE(FileExists(Desktop + "Velmora3.lnk"));

    DWORD Type = 0;
    // Quoted, so that Windows never takes "C:\Program" for the program.
    EXPECT_EQ("\"" + Path("Uninstall.exe") + "\"" + '\0', EntryValue("UninstallString", &Type));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), Type);
    EXPECT_EQ(std::string("Velmora for Internet Explorer") + '\0', EntryValue("DisplayName"));
    EXPECT_EQ(2u, EntryValueCount());

    // Again over it, with a desktop link and a trailing backslash: the same files, the link added.
    EXPECT_EQ(Path("Velmora3.exe"), PerformInstallation(Folder + "\\", Group, true));
    EXPECT_EQ(Desktop + "Velmora3.lnk", IniValue(List, "Shortcuts", "Desktop Shortcut"));
    EXPECT_EQ(Path("Velmora3.exe"), ReadLink(Desktop + "Velmora3.lnk").Path);
    EXPECT_TRUE(Boxes.Asked.empty());
}

TEST_F(Installing, FailuresStopWhereTheyHappenAndSayWhy) {
    {
        SCOPED_TRACE("the program is running from the folder");
        CreateDirectoryA(Folder.c_str(), nullptr);
        std::ofstream(Path("Velmora3.exe")) << "running";
        HANDLE Running = CreateFileA(Path("Velmora3.exe").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_EQ("FAILED", PerformInstallation(Folder, Group, true));
        CloseHandle(Running);
        ASSERT_EQ(1u, Boxes.Asked.size());
        EXPECT_EQ("Unable to create or open file '" + Path("Velmora3.exe") + "'.", Boxes.Asked[0].Text);
        EXPECT_EQ("Velmora Setup", Boxes.Asked[0].Caption);
        EXPECT_EQ(unsigned(MB_ICONEXCLAMATION), Boxes.Asked[0].Flags);
        EXPECT_FALSE(FileExists(Path("Uninstall.exe")));
        EXPECT_EQ("<no key>", EntryValue("UninstallString"));
    }
    {
        SCOPED_TRACE("the list cannot be written: a warning for each value, and the installation completes");
        Boxes.Asked.clear();
        CreateDirectoryA(Path("Uninstall.ini").c_str(), nullptr);
        EXPECT_EQ(Path("Velmora3.exe"), PerformInstallation(Folder, Group, false));
        ASSERT_EQ(3u, Boxes.Asked.size());
        EXPECT_EQ("Unable to write to uninstall ini file!\n\nThe following could not be written:\n" + Path("Uninstall.ini") +
                      "\nShortcuts\nUninstall Shortcut\n" + Programs + Group +
                      "\\Uninstall Velmora3.lnk\n\nThe installation will continue, but you should restart your computer "
                      "and run the installation again.",
                  Boxes.Asked[0].Text);
        RemoveDirectoryA(Path("Uninstall.ini").c_str());
    }
    {
        SCOPED_TRACE("the group's program link cannot be saved");
        Boxes.Asked.clear();
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
        DeleteFileA((Programs + Group + "\\Velmora3.lnk").c_str());
        CreateDirectoryA((Programs + Group + "\\Velmora3.lnk").c_str(), nullptr);
        EXPECT_EQ("FAILED", PerformInstallation(Folder, Group, true));
        ASSERT_EQ(1u, Boxes.Asked.size());
        EXPECT_EQ("Unable to create program group shortcut!\n\nPlease restart your computer and try again.",
                  Boxes.Asked[0].Text);
        EXPECT_TRUE(FileExists(Programs + Group + "\\Uninstall Velmora3.lnk"));
        EXPECT_EQ("\"" + Path("Uninstall.exe") + "\"" + '\0', EntryValue("UninstallString"));
        EXPECT_FALSE(FileExists(Desktop + "Velmora3.lnk"));
        RemoveDirectoryA((Programs + Group + "\\Velmora3.lnk").c_str());
    }
}

// A link at any of setup's paths (Wine reads a host link to a file as a plain file) makes that write
// fail as it fails for a file that cannot be written: the user's file it leads to keeps its bytes.
TEST_F(Installing, NothingIsWrittenThroughALink) {
    const std::string Letter = Scratch.Path() + "letter.txt", GroupFolder = Programs + Group + "\\";
    const std::string Program = Path("Velmora3.exe");
    const char* const kListProblem = "Unable to write to uninstall ini file!";
    const struct {
        std::string Link;
        bool Desktop;
        std::string Result, FirstBox;
    } Cases[] = {
        {Program, false, "FAILED", "Unable to create or open file '" + Program + "'."},
        {Path("Uninstall.exe"), false, "FAILED", "Uninstall output file could not be opened or created!"},
        {Path("Uninstall.ini"), false, Program, kListProblem},
        {GroupFolder + "Uninstall Velmora3.lnk", false, "FAILED",
         "Unable to create uninstall shortcut!\n\nPlease restart your computer and try again."},
        {GroupFolder + "Velmora3.lnk", false, "FAILED",
         "Unable to create program group shortcut!\n\nPlease restart your computer and try again."},
        {Desktop + "Velmora3.lnk", true, Program, "Unable to create desktop shortcut!"},
    };
    CreateDirectoryA(Folder.c_str(), nullptr);
    CreateDirectoryA(GroupFolder.c_str(), nullptr);
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Link);
        std::ofstream(Letter) << "the user's own";
        DeleteFileA(Case.Link.c_str());
        ASSERT_TRUE(MakeFileLink(Case.Link, Letter));
        Boxes.Asked.clear();
        EXPECT_EQ(Case.Result, PerformInstallation(Folder, Group, Case.Desktop));
        const std::string Told = Boxes.Asked.empty() ? "<nothing>" : Boxes.Asked[0].Text;
        EXPECT_EQ(0u, Told.find(Case.FirstBox)) << Told;
        EXPECT_EQ("the user's own", WholeFile(Letter));
        EXPECT_TRUE(RemoveFolderLink(Case.Link));
    }
}

// A click made while the installation runs (no input is read meanwhile) is gone by the time a failure
// is told: it would answer that message unread.
TEST_F(Installing, AClickMadeDuringTheInstallationIsGoneWhenAFailureIsTold) {
    auto* Window = new TForm(Application);
    Window->ApplyLayout(TFormLayout{"clicked during the installation", 120, 60, clWhite, bsNone, 0, poScreenCenter});
    Window->Show();
    CreateDirectoryA(Folder.c_str(), nullptr);
    std::ofstream(Path("Velmora3.exe")) << "running";
    HANDLE Running = CreateFileA(Path("Velmora3.exe").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ClickCenter(Window->Handle());
    EXPECT_TRUE(InputPending()) << "no click was waiting";
    bool Pending = true;
    Boxes.OnAsk = [&](const TMessageBoxRequest&) { Pending = InputPending(); };
    EXPECT_EQ("FAILED", PerformInstallation(Folder, Group, true));
    CloseHandle(Running);
    ASSERT_EQ(1u, Boxes.Asked.size());
    EXPECT_FALSE(Pending);
    delete Window;
}
