// The Application folder, the picture caches and the Skin files, on the real file system.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>

#include "Forms.h"
#include "Appfolder.h"
#include "TestSupport.h"

namespace {
bool FolderExists(const std::string& Path) {
    const DWORD Attributes = GetFileAttributesA(Path.c_str());
    return Attributes != INVALID_FILE_ATTRIBUTES && (Attributes & FILE_ATTRIBUTE_DIRECTORY);
}
}  // namespace

TEST(AppFolder, IsTheProgramsOwnFolderOnAFixedDrive) {
    const std::string Exe = Application->ExeName();
    ASSERT_EQ(static_cast<UINT>(DRIVE_FIXED), GetDriveTypeA(Exe.substr(0, 3).c_str()));
    EXPECT_EQ(Exe.substr(0, Exe.find_last_of('\\') + 1), GetAppFolder());
}

TEST(CachePaths, NamesFromTheWebSiteStayInsideTheirCategoryFolder) {
    const std::string App = GetAppFolder();
    const struct {
        const char* Category;
        const char* Address;
        std::string Skin;  // below the Application folder, or empty for no cache path
    } Cases[] = {
        {"Sci-Fi & Space", "http://site/skins/red.jpg", "Skins\\SciFiSpace\\red.jpg"},
        {"Classic.Cars", "http://site/a/Blue.JPG", "Skins\\Classic.Cars\\Blue.JPG"},
        {"***", "http://site/skins/red.jpg", "Skins\\\\red.jpg"},
        {"Caf\xe9s", "http://site/pic.jpg?v=2", "Skins\\Cafs\\pic.jpg?v=2"},
        {"a..b", "http://site/x.jpg", "Skins\\a..b\\x.jpg"},
        {"Cars", "http://site/skins/", ""},
        {"Cars", "no-slash.jpg", ""},
        // Hostile names: never a path outside the category's folder.
        {"..", "http://site/red.jpg", ""},
        {".", "http://site/red.jpg", ""},
        {"*.*/", "http://site/red.jpg", ""},
        {"Cars", "http://site/..\\..\\evil.jpg", ""},
        {"Cars", "http://site/C:evil.jpg", ""},
        {"Cars", "http://site/a\x01.jpg", ""},
        {"Cars", "http://site/..", ""},
        {"Cars", "http://site/ . ", ""},
        {"Cars", "http://site/con.jpg", ""},
        {"Cars", "http://site/NUL", ""},
        {"Cars", "http://site/com1.bmp", ""},
        {"Cars", "http://site/con .jpg", ""},
        {"Cars", "http://site/com1 .bmp", ""},
        {"Cars", "http://site/nul  ", ""},
        {"Cars", "http://site/lpt9", ""},
        {"Cars", "http://site/COM\xb9.jpg", ""},  // the superscript digits, as Windows reads them
        {"Cars", "http://site/lpt\xb2", ""},
        {"Cars", "http://site/Com\xb3 .bmp", ""},
        {"Cars", "http://site/com\xbd.jpg", "Skins\\Cars\\com\xbd.jpg"},  // one half is no digit
        {"Cars", "http://site/com10.jpg", "Skins\\Cars\\com10.jpg"},
        {"Cars", "http://site/console.jpg", "Skins\\Cars\\console.jpg"},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(std::string(Case.Category) + " | " + Case.Address);
        EXPECT_EQ(Case.Skin.empty() ? "" : App + Case.Skin, GetSkinCachePath(Case.Category, Case.Address));
        std::string Preview = Case.Skin;
        if (!Preview.empty()) Preview.replace(0, 5, "Previews");
        EXPECT_EQ(Preview.empty() ? "" : App + Preview, GetPreviewCachePath(Case.Category, Case.Address));
    }
    EXPECT_TRUE(FolderExists(App + "Skins\\SciFiSpace"));
    EXPECT_TRUE(FolderExists(App + "Previews\\SciFiSpace"));
    EXPECT_TRUE(FolderExists(App + "Skins\\Cars"));  // created even when the address gives no name
}

TEST(SkinFiles, DeleteSkinFilesRemovesOnlySkinFiles) {
    const std::string App = GetAppFolder();
    DeleteSkinFiles();
    for (const char* Name : {"skin1.skin", "skin2.skin", "skin9999.skin", "skin12.bmp", "notes.txt"})
        std::ofstream(App + Name) << "x";
    DeleteSkinFiles();
    EXPECT_FALSE(FileExists(App + "skin1.skin"));
    EXPECT_FALSE(FileExists(App + "skin2.skin"));
    EXPECT_FALSE(FileExists(App + "skin9999.skin"));
    EXPECT_TRUE(FileExists(App + "skin12.bmp"));
    EXPECT_TRUE(FileExists(App + "notes.txt"));
    DeleteFileA((App + "skin12.bmp").c_str());
    DeleteFileA((App + "notes.txt").c_str());
    DeleteSkinFiles();  // none left: changes nothing
}

TEST(SkinFiles, NewSkinFileNameIsInTheAppFolderAndRepeatsWithinASecond) {
    const std::string First = NewSkinFileName(), Second = NewSkinFileName();
    const std::string App = GetAppFolder();
    ASSERT_EQ(0u, First.find(App));
    EXPECT_TRUE(std::regex_match(First.substr(App.size()), std::regex("skin(0|[1-9][0-9]{0,3})\\.skin"))) << First;
    if (First != Second) {  // the clock may have ticked between the calls: then a third call agrees
        EXPECT_EQ(Second, NewSkinFileName());
    }
}
