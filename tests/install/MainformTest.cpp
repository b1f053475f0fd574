// The groups the wizard accepts: only those the uninstaller can remove again.
#include <gtest/gtest.h>

#include <windows.h>

#include "Installengine.h"
#include "Links.h"
#include "Mainform.h"
#include "TestSupport.h"

// A group that is a link, or whose uninstall link's path would not fit the uninstaller's ANSI calls
// (MAX_PATH with the terminating zero), is refused; the longest that fits is taken.
TEST(Wizard, AGroupTheUninstallerCouldNotRemoveIsRefused) {
    const std::string Programs = GetProgramsFolder() + "\\";
    const size_t Longest = MAX_PATH - 1 - Programs.size() - std::string("\\Uninstall Velmora3.lnk").size();
    TScratchFolder Scratch;
    ASSERT_TRUE(MakeFolderLink(Programs + "Linked Group", Scratch.Path()));
    const struct {
        std::string Group;
        bool Accepted;
    } Cases[] = {
        {std::string(Longest, 'g'), true},
        {std::string(Longest + 1, 'g'), false},
        {"Linked Group", false},
        {"linked group", false},  // the same folder: Windows ignores letter case
        {"Velmora 3.1", true},
    };
    for (const auto& Case : Cases) EXPECT_EQ(Case.Accepted, IsAcceptableGroup(Case.Group)) << Case.Group.size() << " " << Case.Group;
    EXPECT_TRUE(RemoveFolderLink(Programs + "Linked Group"));
}
