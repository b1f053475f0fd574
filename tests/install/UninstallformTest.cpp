// The uninstaller's removal functions on real folders: what goes, what stays, and what they say.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>

#include "TestSupport.h"
#include "Uninstallform.h"

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
}  // namespace

TEST(Uninstaller, TheFolderGoesWholeOnlyWhenItIsTheProductsOwn) {
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

TEST(Uninstaller, NoFolderRemovesNothingAndAHeldFileKeepsTheFolder) {
    TScratchFolder Scratch;
    EXPECT_EQ(kModified, RemoveProgramFiles(""));
    EXPECT_EQ(kModified, RemoveProgramFiles(Scratch.Path() + "missing\\"));
    // A running Velmora3.exe: Windows holds its file without delete sharing.
    const std::string Folder = MakeInstallation(Scratch.Path(), "Velmora3", "");
    HANDLE Held = CreateFileA((Folder + "Velmora3.exe").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    EXPECT_EQ(kNotRemoved, RemoveProgramFiles(Folder));
    CloseHandle(Held);
    EXPECT_TRUE(FileExists(Folder + "Velmora3.exe"));
}

TEST(Uninstaller, OnlyShortcutFilesAndAnEmptyGroupAreRemoved) {
    TScratchFolder Scratch;
    const std::string Group = Scratch.Path() + "Group", Other = Scratch.Path() + "Group2";
    CreateDirectoryA(Group.c_str(), nullptr);
    CreateDirectoryA(Other.c_str(), nullptr);
    for (const std::string& File : {Group + "\\Uninstall Velmora3.lnk", Group + "\\Velmora3.lnk", Scratch.Path() + "keep.txt",
                                    Other + "\\mine.lnk"})
        std::ofstream(File) << "x";
    const std::string List = Scratch.Path() + "Uninstall.ini";
    WritePrivateProfileStringA("Shortcuts", "Uninstall Shortcut", (Group + "\\Uninstall Velmora3.lnk").c_str(), List.c_str());
    WritePrivateProfileStringA("Shortcuts", "Program Shortcut", (Group + "\\Velmora3.lnk").c_str(), List.c_str());
    WritePrivateProfileStringA("Shortcuts", "Desktop Shortcut", (Scratch.Path() + "keep.txt").c_str(), List.c_str());
    WritePrivateProfileStringA("Program Group", "Group Name", Group.c_str(), List.c_str());
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, List.c_str());
    RemoveShortcuts(List);
    EXPECT_FALSE(FileExists(Group + "\\Velmora3.lnk"));
    EXPECT_FALSE(IsFolder(Group));                           // emptied, so removed
    EXPECT_TRUE(FileExists(Scratch.Path() + "keep.txt"));   // not a shortcut
    // A group that still holds something of the user's stays.
    WritePrivateProfileStringA("Program Group", "Group Name", Other.c_str(), List.c_str());
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, List.c_str());
    RemoveShortcuts(List);
    EXPECT_TRUE(FileExists(Other + "\\mine.lnk"));
    // Skin files go one by one, from the folder only.
    std::ofstream(Scratch.Path() + "a.skin") << "a";
    std::ofstream(Scratch.Path() + "b.SKIN") << "b";
    DeleteSkinFilesIn(Scratch.Path().substr(0, Scratch.Path().size() - 1));
    EXPECT_TRUE(FilesIn(Scratch.Path(), "*.skin").empty());
    EXPECT_FALSE(DeleteDirectoryTree(Scratch.Path() + "missing"));
}
