// The registry accessor against Wine's real registry.
#include <gtest/gtest.h>

#include "Registry.h"

namespace {
const char* const kTestKey = "Software\\VelmoraClasslibTest";
}

TEST(Registry, ReadsWritesListsAndRefusesValuesThatAreNotText) {
    RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey);
    TRegistry Registry;
    ASSERT_FALSE(Registry.OpenKey(kTestKey, false));
    ASSERT_TRUE(Registry.OpenKey(kTestKey, true));
    Registry.WriteString("Name", "Velmora");
    ASSERT_TRUE(Registry.OpenKey("B", true));  // below the open key
    EXPECT_EQ(std::string(kTestKey) + "\\B", Registry.CurrentPath());
    ASSERT_TRUE(Registry.OpenKey(std::string("\\") + kTestKey + "\\A", true));
    const DWORD Number = 5;
    RegSetValueExA(Registry.CurrentKey(), "Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&Number), 4);
    EXPECT_THROW(Registry.ReadString("Number"), ERegistryException);
    EXPECT_EQ("", Registry.ReadString("Missing"));
    Registry.CloseKey();

    TRegistry Reader(KEY_READ);
    ASSERT_TRUE(Reader.OpenKeyReadOnly(kTestKey));
    EXPECT_EQ("Velmora", Reader.ReadString("Name"));
    EXPECT_TRUE(Reader.ValueExists("Name"));
    EXPECT_FALSE(Reader.ValueExists("Missing"));
    TStringList Names;
    Reader.GetKeyNames(&Names);
    ASSERT_EQ(2, Names.Count());
    EXPECT_NE(-1, Names.IndexOf("a"));  // any letter case
    EXPECT_NE(-1, Names.IndexOf("b"));
    EXPECT_THROW(Reader.WriteString("Name", "x"), ERegistryException);  // opened read-only
    Reader.CloseKey();
    RegDeleteTreeA(HKEY_CURRENT_USER, kTestKey);
}
