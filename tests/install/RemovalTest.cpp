// The uninstaller's removal rules, and the removal functions on real folders: what goes, what stays,
// and what they say.
#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

#include <algorithm>
#include <fstream>

#include "Globals.h"
#include "Installengine.h"
#include "Links.h"
#include "Removal.h"
#include "TestSupport.h"

namespace {
const std::string kAll = "Uninstall Complete!\n\nAll elements have been successfully removed.";
const std::string kModified =
    "Uninstall Complete!\n\nThe program directory has been modified and cannot be removed automatically.  You should "
    "manually delete this folder.";
const std::string kNotRemoved =
    "Uninstall Complete!\n\nThe program directory could not be removed.  You should manually delete this folder.";

bool IsFolder(const std::string& Path) {
    const DWORD Attributes = GetFileAttributesA(Path.c_str());
    return Attributes != INVALID_FILE_ATTRIBUTES && (Attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// An installation as setup and Velmora leave it, in Base + Name, plus Extra (a file of the user's).
std::string MakeInstallation(const std::string& Base, const std::string& Name, const std::string& Extra) {
    const std::string Folder = Base + Name + "\\";
    CreateDirectoryA(Folder.c_str(), nullptr);
    for (const char* File : {"Velmora3.exe", "Uninstall.exe", "Uninstall.ini", "skin12.skin", "skin3.skin.new"})
        std::ofstream(Folder + File) << File;
    for (const char* Cache : {"Skins", "Previews"}) {
        CreateDirectoryA((Folder + Cache).c_str(), nullptr);
        CreateDirectoryA((Folder + Cache + "\\Nature").c_str(), nullptr);
        std::ofstream(Folder + Cache + "\\Nature\\meadow.jpg") << "jpg";
    }
    if (!Extra.empty()) std::ofstream(Folder + Extra) << "the user's own";
    return Folder;
}

// A folder of the user's with a file in it, the kind a link may point to.
std::string MakeUsersFolder(const std::string& Base) {
    const std::string Folder = Base + "Saves\\";
    CreateDirectoryA(Folder.c_str(), nullptr);
    std::ofstream(Folder + "game.sav") << "the user's own";
    return Folder;
}
}  // namespace

TEST(Removal, PathAndListingRules) {
    for (const char* Absolute : {"C:\\Velmora3", "c:/x", "\\\\server\\share\\Velmora3"})
        EXPECT_TRUE(IsAbsolutePath(Absolute)) << Absolute;
    for (const char* Other : {"C:", "C:Velmora3", "Velmora3\\", "\\Velmora3", "..\\x", "\\\\?\\C:\\x", "\\\\.\\C:\\x", ""})
        EXPECT_FALSE(IsAbsolutePath(Other)) << Other;
    for (const char* Root : {"C:\\", "C:", "\\\\server\\share\\", "\\\\server\\share", "\\\\server\\"})
        EXPECT_TRUE(IsRootFolder(Root)) << Root;
    for (const char* Folder : {"C:\\Velmora3\\", "\\\\server\\share\\Velmora3"}) EXPECT_FALSE(IsRootFolder(Folder)) << Folder;
    EXPECT_TRUE(LiesBelow("C:\\Start Menu\\Programs\\G\\a.lnk", "c:\\start menu\\programs"));
    EXPECT_FALSE(LiesBelow("C:\\Start Menu\\Programs", "C:\\Start Menu\\Programs\\"));
    EXPECT_FALSE(LiesBelow("C:\\Start Menu\\Programs2\\a.lnk", "C:\\Start Menu\\Programs"));
    EXPECT_FALSE(LiesBelow("C:\\Start Menu\\Programs\\", "C:\\Start Menu\\Programs"));

    const std::vector<TFolderItem> Installed = {
        {"Velmora3.exe"}, {"Uninstall.exe"}, {"uninstall.ini"}, {"skin1.skin"}, {"skin2.skin.new"},
        {"Skins", true},  {"PREVIEWS", true}};
    const struct {
        const char* Case;
        std::string Folder;
        std::vector<TFolderItem> Items;
        bool Installation, Whole, List;
    } Cases[] = {
        {"as installed", "C:\\PROGRA~1\\VELMORA3\\", Installed, true, true, true},
        {"another name", "C:\\Apps\\MyVelmora3\\", Installed, true, false, true},
        {"a file of the user's", "C:\\Velmora3", {{"VELMORA3.EXE"}, {"Uninstall.ini"}, {"notes.txt"}}, true, false, true},
        {"a link among the caches", "C:\\Velmora3\\", {{"Velmora3.exe"}, {"Uninstall.exe"}, {"Skins", true, true}}, true,
         false, false},
        {"no uninstaller, no list", "C:\\Velmora3\\", {{"Velmora3.exe"}, {"Skins", true}}, false, true, false},
        {"the list is a folder", "C:\\Velmora3\\", {{"Velmora3.exe"}, {"Uninstall.ini", true}}, false, false, false},
        {"the list is a link", "C:\\Velmora3\\", {{"Velmora3.exe"}, {"Uninstall.ini", false, true}}, false, false, false},
        {"the uninstaller is a link", "C:\\Velmora3\\", {{"Velmora3.exe"}, {"Uninstall.exe", false, true}}, false, false,
         false},
        {"the program lost", "C:\\Velmora3\\", {{"Uninstall.exe"}, {"Uninstall.ini"}}, false, true, true},
        // Another program's folder with an uninstaller or list of its own.
        {"a foreign uninstaller", "C:\\OtherApp\\", {{"Uninstall.exe"}, {"Skins", true}, {"theme.skin"}}, false, false,
         false},
        {"a foreign list", "C:\\Velmora3\\", {{"uninstall.ini"}, {"Skins", true}}, false, true, true},
        {"the program is a folder", "C:\\Velmora3\\", {{"Velmora3.exe", true}, {"Uninstall.exe"}}, false, false, false},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Case);
        EXPECT_EQ(Case.Installation, IsInstallation(Case.Items));
        EXPECT_EQ(Case.Whole, MayDeleteWhole(Case.Folder, Case.Items));
        EXPECT_EQ(Case.List, HoldsUninstallList(Case.Items));
    }
}

// Only an installation is ever touched: the argument made a full path, roots, relative texts and
// folders without an uninstaller or list refused.
TEST(Removal, OnlyAnInstallationIsTouched) {
    TScratchFolder Scratch;
    const std::string Installed = MakeInstallation(Scratch.Path(), "Velmora3", "");
    const std::string Plain = Scratch.Path() + "Plain\\";
    CreateDirectoryA(Plain.c_str(), nullptr);
    CreateDirectoryA((Plain + "Skins").c_str(), nullptr);
    std::ofstream(Plain + "Velmora3.exe") << "a game's";
    std::ofstream(Plain + "wallpaper.skin") << "the user's own";
    // Other programs' folders, with an uninstaller or a list of their own.
    const std::string Others[] = {Scratch.Path() + "OtherApp\\", Scratch.Path() + "ListOnly\\"};
    for (const std::string& Other : Others) {
        CreateDirectoryA(Other.c_str(), nullptr);
        CreateDirectoryA((Other + "Skins").c_str(), nullptr);
        std::ofstream(Other + (Other == Others[0] ? "Uninstall.exe" : "uninstall.ini")) << "its own";
        std::ofstream(Other + "theme.skin") << "its own";
    }
    const struct {
        std::string Argument, Folder;
    } Cases[] = {
        {Installed, Installed},
        {Installed.substr(0, Installed.size() - 1), Installed},
        {Scratch.Path() + "Plain\\..\\Velmora3\\.", Installed},
        {Installed + "..\\", ""},
        {Installed.substr(0, 3), ""},
        {Installed.substr(0, 2), ""},
        {"Velmora3", ""},
        {Plain, ""},
        {Others[0], ""},
        {Others[1], ""},
        {Scratch.Path() + "missing\\", ""},
        {"", ""},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Argument);
        // The relative text would name the installation if it were taken relative to the current folder.
        SetCurrentDirectoryA(Scratch.Path().c_str());
        EXPECT_EQ(Case.Folder, InstallationFolderOf(Case.Argument));
        if (Case.Folder.empty()) {
            EXPECT_EQ(kModified, RemoveProgramFiles(Case.Argument));
        }
    }
    EXPECT_EQ("the user's own", WholeFile(Plain + "wallpaper.skin"));
    EXPECT_TRUE(IsFolder(Plain + "Skins"));
    for (const std::string& Other : Others) {
        EXPECT_EQ("its own", WholeFile(Other + "theme.skin"));
        EXPECT_TRUE(IsFolder(Other + "Skins"));
    }
    EXPECT_EQ("its own", WholeFile(Others[0] + "Uninstall.exe"));
    EXPECT_TRUE(FileExists(Installed + "skin12.skin"));
    std::vector<TFolderItem> Items;
    EXPECT_FALSE(ListFolder(Scratch.Path() + "missing\\", Items));
    EXPECT_FALSE(ListFolder(Installed + "Uninstall.exe\\", Items));

    // A link to an installation is not one.
    ASSERT_TRUE(MakeFolderLink(Scratch.Path() + "Linked", Installed));
    EXPECT_EQ("", InstallationFolderOf(Scratch.Path() + "Linked"));
    EXPECT_TRUE(RemoveFolderLink(Scratch.Path() + "Linked"));
    SetCurrentDirectoryA("C:\\");
}

TEST(Removal, TheFolderGoesWholeOnlyWhenItIsTheProductsOwn) {
    TScratchFolder Scratch;
    const struct {
        const char* Name;
        const char* Extra;
        bool Given_WithoutBackslash;
        std::string Message;
        bool FolderGone;
    } Cases[] = {
        {"Velmora3", "", false, kAll, true},
        {"VELMORA3", "", true, kAll, true},  // the short form, and no trailing backslash
        {"Velmora3", "notes.txt", false, kModified, false},
        {"MyVelmora3", "", false, kModified, false},
        {"Apps", "", false, kModified, false},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(std::string(Case.Name) + " " + Case.Extra);
        std::string Folder = MakeInstallation(Scratch.Path(), Case.Name, Case.Extra);
        const std::string Given = Case.Given_WithoutBackslash ? Folder.substr(0, Folder.size() - 1) : Folder;
        EXPECT_EQ(Case.Message, RemoveProgramFiles(Given));
        EXPECT_EQ(!Case.FolderGone, IsFolder(Folder));
        if (Case.FolderGone) continue;
        // Only the program's own items went.
        for (const char* Item : {"Velmora3.exe", "Uninstall.exe", "Uninstall.ini", "skin12.skin", "skin3.skin.new",
                                 "Skins", "Previews"})
            EXPECT_FALSE(FileExists(Folder + Item)) << Item;
        if (*Case.Extra) {
            EXPECT_EQ("the user's own", WholeFile(Folder + Case.Extra));
        }
        EmptyFolder(Folder);
        RemoveDirectoryA(Folder.c_str());
    }
}

// A cache folder, a folder inside one, a cached picture, a skin file or the program's own file that
// is a link (Wine reads one to a file as a plain file), also one to a folder whose path differs only
// in letter case: the user's file or folder it points to keeps everything, even an empty folder, and
// the installation does not go as a whole.
TEST(Removal, ALinkIsNeverFollowed) {
    TScratchFolder Scratch;
    const std::string Saves = MakeUsersFolder(Scratch.Path()), Empty = Scratch.Path() + "Empty\\",
                      Save = Saves + "game.sav", Twin = Scratch.Path() + "CS\\Velmora3\\Skins";
    // An installation in cs\Velmora3 beside the user's CS\Velmora3, only letter case apart on the host.
    SHCreateDirectoryExA(nullptr, Twin.c_str(), nullptr);
    std::ofstream(Twin + "\\shot.jpg") << "the user's own";
    ASSERT_TRUE(MakeHostFolder(Scratch.Path() + "cs"));
    // Wine cannot remove a link as Windows does: the link stays, and with it what holds it.
    const struct {
        const char* Name;
        const char* Link;
        std::string Target;
        std::string Message;
        bool ProgramGone;
    } Cases[] = {
        {"Velmora3", "Skins", Saves, kModified, true},              // the program's items go one by one
        {"Velmora3", "Previews\\Nature", Saves, kNotRemoved, false},  // the folder would go whole: nothing goes
        {"Velmora3", "Previews", Empty, kModified, true},
        {"Velmora3", "Skins\\Nature", Empty, kNotRemoved, false},
        {"Velmora3", "Previews\\Nature\\meadow.jpg", Save, kNotRemoved, false},
        {"Velmora3", "skin12.skin", Save, kModified, true},  // a link to a file, in the listing too
        {"MyVelmora3", "skin12.skin", Save, kModified, true},
        {"MyVelmora3", "Skins\\Nature\\meadow.jpg", Save, kModified, true},
        {"MyVelmora3", "Uninstall.ini", Save, kModified, true},
        {"cs\\Velmora3", "Skins", Twin, kModified, true},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(std::string(Case.Name) + "\\" + Case.Link);
        CreateDirectoryA(Empty.c_str(), nullptr);
        std::ofstream(Save) << "the user's own";
        const std::string Folder = MakeInstallation(Scratch.Path(), Case.Name, "");
        const std::string Path = Folder + Case.Link;
        const bool ToFile = Case.Target == Save;
        EXPECT_TRUE(ToFile ? DeleteFileA(Path.c_str()) : DeleteDirectoryTree(Path));
        ASSERT_TRUE(ToFile ? MakeFileLink(Path, Save) : MakeFolderLink(Path, Case.Target));
        EXPECT_EQ(Case.Message, RemoveProgramFiles(Folder));
        EXPECT_EQ("the user's own", WholeFile(Save));
        EXPECT_TRUE(IsFolder(Empty));
        EXPECT_EQ("the user's own", WholeFile(Twin + "\\shot.jpg"));
        EXPECT_NE(Case.ProgramGone, FileExists(Folder + "Velmora3.exe"));
        EXPECT_TRUE(RemoveFolderLink(Path)) << "the link went";
        DeleteDirectoryTree(Folder);
        EXPECT_FALSE(IsFolder(Folder));
    }
}

// The link rule on what the system says of an item: Windows names a link by its tag and gives its
// own path as its final path; Wine gives no tag and the path of what the link leads to.
TEST(Removal, ALinkIsToldByItsTagOrWhereItLies) {
    const std::string Drive = "\\\\?\\C:\\", Folder = Drive + "Apps\\Velmora3", Share = "\\\\?\\UNC\\server\\share\\";
    const struct {
        const char* Case;
        DWORD Attributes, Tag;
        std::string ItemFinal, FolderFinal, Name;
        bool Link;
    } Cases[] = {
        {"a plain file", 0x20, 0, Folder + "\\Velmora3.exe", Folder, "Velmora3.exe", false},
        {"a folder in a drive's root", 0x10, 0, Drive + "Velmora3", Drive, "Velmora3", false},
        {"a symbolic link", 0x420, IO_REPARSE_TAG_SYMLINK, Folder + "\\Velmora3.exe", Folder, "Velmora3.exe", true},
        {"a junction", 0x410, IO_REPARSE_TAG_MOUNT_POINT, Folder + "\\Skins", Folder, "Skins", true},
        {"a cloud placeholder", 0x420, IO_REPARSE_TAG_CLOUD, Folder + "\\skin1.skin", Folder, "skin1.skin", false},
        {"a deduplicated file", 0x420, IO_REPARSE_TAG_DEDUP, Folder + "\\skin1.skin", Folder, "skin1.skin", false},
        {"Wine's link to a folder", 0x410, 0, Folder + "\\Skins", Folder, "Skins", true},
        {"Wine's link to a file", 0x20, 0, Drive + "notes.txt", Folder, "Velmora3.exe", true},
        {"leads where only letter case differs", 0x20, 0, Drive + "APPS\\Velmora3\\Velmora3.exe", Folder, "Velmora3.exe",
         true},
        {"below a linked folder", 0x10, 0, "\\\\?\\Z:\\home\\ann\\Documents\\Velmora3\\Skins",
         "\\\\?\\Z:\\home\\ann\\Documents\\Velmora3", "Skins", false},
        {"on a share", 0x10, 0, Share + "Velmora3\\Skins", Share + "Velmora3", "Skins", false},
        {"in a share's root", 0x10, 0, Share + "Velmora3", Share, "Velmora3", false},
        {"the item's final path cannot be had", 0x20, 0, "", Folder, "Velmora3.exe", true},
        {"the folder's cannot be had", 0x20, 0, Folder + "\\Velmora3.exe", "", "Velmora3.exe", true},
    };
    for (const auto& Case : Cases)
        EXPECT_EQ(Case.Link, IsLinkItem(Case.Attributes, Case.Tag, Case.ItemFinal, Case.FolderFinal, Case.Name)) << Case.Case;
}

// The rule on real items: a link to a file reads as a plain file under Wine and only where it lies
// tells it; a path meant in another form (short, other letter case, slashes) still names its item,
// and a folder link above an item says nothing of it.
TEST(Removal, ALinkIsToldOnDisk) {
    TScratchFolder Scratch;
    const std::string File = Scratch.Path() + "thesis.doc", Folder = Scratch.Path() + "Long Folder Name",
                      Twin = Scratch.Path() + "CS\\Skins";
    std::ofstream(File) << "the user's own";
    CreateDirectoryA(Folder.c_str(), nullptr);
    std::ofstream(Folder + "\\inside.txt") << "the user's own";
    CreateDirectoryA((Scratch.Path() + "CS").c_str(), nullptr);
    CreateDirectoryA(Twin.c_str(), nullptr);
    ASSERT_TRUE(MakeHostFolder(Scratch.Path() + "cs"));
    ASSERT_TRUE(MakeFileLink(Scratch.Path() + "file link.doc", File));
    ASSERT_TRUE(MakeFolderLink(Scratch.Path() + "Folder Link", Folder));
    ASSERT_TRUE(MakeFolderLink(Scratch.Path() + "cs\\Skins", Twin));
    std::ofstream(Scratch.Path() + "CS\\notes.txt") << "the user's own";
    ASSERT_TRUE(MakeFileLink(Scratch.Path() + "cs\\notes.txt", Scratch.Path() + "CS\\notes.txt"));
    char Short[MAX_PATH] = "";
    GetShortPathNameA(Folder.c_str(), Short, MAX_PATH);
    std::string Slashed = File;
    std::replace(Slashed.begin(), Slashed.end(), '\\', '/');
    const struct {
        std::string Path;
        bool Link;
    } Cases[] = {
        {File, false},
        {Folder, false},
        {Short, false},
        {Slashed, false},
        {Scratch.Path() + "THESIS.DOC", false},
        {Scratch.Path() + "Folder Link\\inside.txt", false},
        {Scratch.Path() + "missing.doc", false},  // nothing there
        {Scratch.Path() + "file link.doc", true},
        {Scratch.Path() + "Folder Link", true},
        {Scratch.Path() + "cs\\Skins", true},
        {Scratch.Path() + "cs\\notes.txt", true},
        {Folder + "\\", true},  // not the item itself: cannot be told
        {"thesis.doc", true},
    };
    SetCurrentDirectoryA(Scratch.Path().c_str());
    for (const auto& Case : Cases) EXPECT_EQ(Case.Link, IsLinkAt(Case.Path)) << Case.Path;
    SetCurrentDirectoryA("C:\\");
    for (const char* Link : {"file link.doc", "Folder Link", "cs\\Skins", "cs\\notes.txt"})
        EXPECT_TRUE(RemoveFolderLink(Scratch.Path() + Link));
}

// A folder whose content cannot be told (its name has a letter the code page lacks: the listing gives
// "?") might hold a link: the tree it lies in stays whole, though the shell could delete it.
TEST(Removal, AFolderThatCannotBeListedKeepsItsTree) {
    TScratchFolder Scratch;
    const std::string Folder = MakeInstallation(Scratch.Path(), "Velmora3", ""), Nature = Folder + "Skins\\Nature\\";
    const std::wstring Omega = std::wstring(Nature.begin(), Nature.end()) + L"\x03A9";
    ASSERT_TRUE(CreateDirectoryW(Omega.c_str(), nullptr));
    std::vector<TFolderItem> Items, Inside;
    ASSERT_TRUE(ListFolder(Nature, Items));
    for (const TFolderItem& Item : Items)
        if (Item.Folder) EXPECT_FALSE(ListFolder(Nature + Item.Name + "\\", Inside)) << Item.Name;
    EXPECT_EQ(kNotRemoved, RemoveProgramFiles(Folder));
    EXPECT_FALSE(DeleteDirectoryTree(Folder + "Skins"));
    EXPECT_EQ("jpg", WholeFile(Nature + "meadow.jpg"));
}

TEST(Removal, NoFolderRemovesNothingAndAHeldFileKeepsTheFolder) {
    TScratchFolder Scratch;
    EXPECT_EQ(kModified, RemoveProgramFiles(""));
    // A running Velmora3.exe: Windows holds its file without delete sharing.
    const std::string Folder = MakeInstallation(Scratch.Path(), "Velmora3", "");
    HANDLE Held = CreateFileA((Folder + "Velmora3.exe").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    EXPECT_EQ(kNotRemoved, RemoveProgramFiles(Folder));
    CloseHandle(Held);
    EXPECT_TRUE(FileExists(Folder + "Velmora3.exe"));
}

// Shortcuts go only from the Start menu's Programs folder and the desktop, where setup puts them;
// the group folder only from Programs, and only when empty.
TEST(Removal, OnlyShortcutsWhereSetupPutsThemGo) {
    TScratchFolder Scratch;
    const std::string Programs = GetSpecialFolderPath(CSIDL_COMMON_PROGRAMS) + "\\",
                      Desktop = GetSpecialFolderPath(CSIDL_DESKTOPDIRECTORY) + "\\";
    const std::string Group = Programs + "Removal Test", Other = Scratch.Path() + "Group";
    CreateDirectoryA(Group.c_str(), nullptr);
    CreateDirectoryA(Other.c_str(), nullptr);
    const struct {
        const char* Key;
        std::string Link;
        bool Goes;
    } Cases[] = {
        {"Uninstall Shortcut", Group + "\\Uninstall Velmora3.lnk", true},
        {"Program Shortcut", "  " + Group + "\\Velmora3.lnk\t", true},
        {"Desktop Shortcut", Desktop + "Velmora3.lnk", true},
        {"Uninstall Shortcut", Scratch.Path() + "Bank.lnk", false},
        {"Program Shortcut", Programs + "..\\Bank.lnk", false},
        {"Desktop Shortcut", Desktop + "notes.txt", false},
    };
    const std::string List = Scratch.Path() + "Uninstall.ini";
    for (size_t Round = 0; Round < 2; ++Round) {
        for (size_t I = Round * 3; I < Round * 3 + 3; ++I) {
            std::ofstream(Trim(Cases[I].Link)) << "link";
            WritePrivateProfileStringA("Shortcuts", Cases[I].Key, Cases[I].Link.c_str(), List.c_str());
        }
        WritePrivateProfileStringA("Program Group", "Group Name", (Round == 0 ? Group : Other).c_str(), List.c_str());
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, List.c_str());
        RemoveShortcuts(List);
        for (size_t I = Round * 3; I < Round * 3 + 3; ++I)
            EXPECT_NE(Cases[I].Goes, FileExists(Trim(Cases[I].Link))) << Cases[I].Link;
    }
    EXPECT_FALSE(IsFolder(Group));  // inside Programs and emptied: removed
    EXPECT_TRUE(IsFolder(Other));   // empty too, but not where setup puts groups
    DeleteFileA((Programs + "..\\Bank.lnk").c_str());
    DeleteFileA((Desktop + "notes.txt").c_str());
}

// An edited list: only the links setup makes go, from the program group (directly in a Programs
// folder, for all users or the current one) or directly from a desktop; the group goes only from
// Programs, and never a folder of the shell's own.
TEST(Removal, AnEditedListDeletesOnlySetupsShortcuts) {
    TScratchFolder Scratch;
    const std::string Programs = GetSpecialFolderPath(CSIDL_COMMON_PROGRAMS) + "\\",
                      Desktop = GetSpecialFolderPath(CSIDL_COMMON_DESKTOPDIRECTORY) + "\\",
                      Startup = GetSpecialFolderPath(CSIDL_COMMON_STARTUP);
    const std::string Group = Programs + "Removal Test", Accessories = Programs + "Accessories",
                      Nested = Accessories + "\\Sub", OnDesktop = Desktop + "Removal Test",
                      UsersGroup = GetSpecialFolderPath(CSIDL_PROGRAMS) + "\\Removal Test",
                      UsersDesktop = GetSpecialFolderPath(CSIDL_DESKTOPDIRECTORY) + "\\";
    std::string Slashed = OnDesktop + "\\..\\Bank.lnk";
    std::replace(Slashed.begin(), Slashed.end(), '\\', '/');
    const struct {
        const char* Case;
        std::string Uninstall, Program, DesktopLink, GroupName;
        bool Go, GroupGoes;
    } Cases[] = {
        {"as setup left it", Group + "\\Uninstall Velmora3.lnk", Group + "\\Velmora3.lnk", Desktop + "Velmora3.lnk", Group,
         true, true},
        {"the user's shortcuts", Desktop + "Mail.lnk", Accessories + "\\Notepad.lnk", Desktop + "Bank.lnk", Accessories,
         false, false},
        {"setup's names outside the group", Programs + "Uninstall Velmora3.lnk", Programs + "Velmora3.lnk",
         Scratch.Path() + "Velmora3.lnk", Group, false, true},
        {"through .. and slashes; Startup with a trailing dot", Startup + "\\..\\Uninstall Velmora3.lnk", "", Slashed,
         Startup + ".", false, false},
        {"a group on the desktop", OnDesktop + "\\Uninstall Velmora3.lnk", OnDesktop + "\\Velmora3.lnk", "", OnDesktop,
         false, false},
        {"setup's names in another group", Accessories + "\\Uninstall Velmora3.lnk", Accessories + "\\Velmora3.lnk", "",
         Group, false, true},
        {"a nested group", Nested + "\\Uninstall Velmora3.lnk", Nested + "\\Velmora3.lnk", "", Nested, false, false},
        {"the current user's folders", UsersGroup + "\\Uninstall Velmora3.lnk", UsersGroup + "\\Velmora3.lnk",
         UsersDesktop + "Velmora3.lnk", UsersGroup, true, true},
    };
    const std::string List = Scratch.Path() + "Uninstall.ini";
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Case);
        for (const std::string& Folder : {Group, Accessories, Nested, OnDesktop, Startup, UsersGroup})
            CreateDirectoryA(Folder.c_str(), nullptr);
        DeleteFileA(List.c_str());
        const std::pair<const char*, std::string> Keys[] = {
            {"Uninstall Shortcut", Case.Uninstall}, {"Program Shortcut", Case.Program}, {"Desktop Shortcut", Case.DesktopLink}};
        for (const auto& Key : Keys) {
            if (!Key.second.empty()) std::ofstream(Key.second) << "link";
            WritePrivateProfileStringA("Shortcuts", Key.first, Key.second.c_str(), List.c_str());
        }
        WritePrivateProfileStringA("Program Group", "Group Name", Case.GroupName.c_str(), List.c_str());
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, List.c_str());
        RemoveShortcuts(List);
        for (const auto& Key : Keys) {
            if (Key.second.empty()) continue;
            EXPECT_NE(Case.Go, FileExists(Key.second)) << Key.second;
            DeleteFileA(Key.second.c_str());
        }
        EXPECT_NE(Case.GroupGoes, IsFolder(Case.GroupName)) << Case.GroupName;
    }
    for (const std::string& Folder : {Group, Nested, Accessories, OnDesktop, UsersGroup}) RemoveDirectoryA(Folder.c_str());
}

// The folders the shell names, which no program group may be.
TEST(Removal, TheShellsOwnFoldersAreKnown) {
    const std::string Programs = GetSpecialFolderPath(CSIDL_COMMON_PROGRAMS),
                      Startup = GetSpecialFolderPath(CSIDL_COMMON_STARTUP);
    char Short[MAX_PATH] = "";
    GetShortPathNameA(Startup.c_str(), Short, MAX_PATH);
    for (const std::string& Shell : {Programs, Startup, Startup + "\\", Startup + ".", std::string(Short),
                                     GetSpecialFolderPath(CSIDL_STARTUP), GetSpecialFolderPath(CSIDL_COMMON_DESKTOPDIRECTORY)})
        EXPECT_TRUE(IsShellFolder(Shell)) << Shell;
    for (const std::string& Other : {Programs + "\\Velmora 3.1", Startup + "\\Velmora3.lnk", std::string("StartUp")})
        EXPECT_FALSE(IsShellFolder(Other)) << Other;
    for (const char* Group : {"StartUp", "startup"}) EXPECT_TRUE(NamesShellFolder(Group)) << Group;
    for (const char* Group : {"Velmora 3.1", "My Startup"}) EXPECT_FALSE(NamesShellFolder(Group)) << Group;
}

TEST(Removal, SkinFilesGoOneByOneFromTheFolderOnly) {
    TScratchFolder Scratch;
    std::ofstream(Scratch.Path() + "a.skin") << "a";
    std::ofstream(Scratch.Path() + "b.SKIN") << "b";
    CreateDirectoryA((Scratch.Path() + "Skins").c_str(), nullptr);
    std::ofstream(Scratch.Path() + "Skins\\c.skin") << "c";
    DeleteSkinFilesIn(Scratch.Path().substr(0, Scratch.Path().size() - 1));
    EXPECT_TRUE(FilesIn(Scratch.Path(), "*.skin").empty());
    EXPECT_TRUE(FileExists(Scratch.Path() + "Skins\\c.skin"));
    EXPECT_FALSE(DeleteDirectoryTree(Scratch.Path() + "missing"));
}
