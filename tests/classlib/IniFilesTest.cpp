// TIniFile against real files through the system's profile functions.
#include <gtest/gtest.h>

#include <fstream>

#include "IniFiles.h"
#include "TestSupport.h"

TEST(IniFile, ReadsWritesAndFlushesSections) {
    TScratchFolder Folder;
    const std::string Path = Folder.Path() + "test.ini";
    std::ofstream(Path, std::ios::binary) << "[colors]\r\nMenu=1 2 3\r\n[empty]\r\n";
    TIniFile Ini(Path);
    EXPECT_TRUE(Ini.SectionExists("colors"));
    EXPECT_TRUE(Ini.SectionExists("COLORS"));
    EXPECT_FALSE(Ini.SectionExists("empty"));  // no key: as good as missing
    EXPECT_FALSE(Ini.SectionExists("other"));
    EXPECT_EQ("1 2 3", Ini.ReadString("colors", "Menu", "none"));
    EXPECT_EQ("none", Ini.ReadString("colors", "MenuText", "none"));
    const std::string Long(1000, 'x');  // longer than a first guess at the buffer

    Ini.WriteString("colors", "MenuText", Long);
    Ini.WriteString("colors", "Menu", "255 0 128");
    Ini.UpdateFile();
    EXPECT_EQ("[colors]\r\nMenu=255 0 128\r\nMenuText=" + Long + "\r\n[empty]\r\n", WholeFile(Path));
    EXPECT_EQ(Long, TIniFile(Path).ReadString("colors", "MenuText", ""));

    // A file that cannot be written: a folder stands where it would go.
    CreateDirectoryA((Folder.Path() + "folder.ini").c_str(), nullptr);
    TIniFile Blocked(Folder.Path() + "folder.ini");
    EXPECT_THROW(Blocked.WriteString("colors", "Menu", "1"), EIniFileException);
    RemoveDirectoryA((Folder.Path() + "folder.ini").c_str());
}
