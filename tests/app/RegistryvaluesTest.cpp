// The registry helpers on a key of the test prefix's real registry.
#include <gtest/gtest.h>

#include "Registryvalues.h"
#include "ToolbarValues.h"

TEST(RegistryValues, TextKeepsItsZeroAndADeleteOfAMissingValueSucceeds) {
    const char* const Path = "Software\\Velmora Test\\Registry values";
    RegDeleteKeyA(HKEY_CURRENT_USER, Path);
    HKEY Key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CURRENT_USER, Path, &Key));
    {
        THeldKey Held(Key);
        EXPECT_TRUE(WriteRegistryText(Key, "Skin", "C:\\skin7.skin"));
        EXPECT_TRUE(WriteRegistryText(Key, "Empty", ""));
        DWORD Type = 0;
        EXPECT_EQ(std::string("C:\\skin7.skin\0", 14), ValueData(HKEY_CURRENT_USER, Path, "Skin", &Type));
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), Type);
        EXPECT_EQ(std::string("\0", 1), ValueData(HKEY_CURRENT_USER, Path, "Empty"));
        EXPECT_TRUE(DeleteRegistryValue(Key, "Skin"));
        EXPECT_TRUE(DeleteRegistryValue(Key, "Skin"));  // already gone
        EXPECT_EQ("<missing>", ValueData(HKEY_CURRENT_USER, Path, "Skin"));
    }
    // A key opened only for reading can neither take nor lose a value.
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, Path, 0, KEY_READ, &Key));
    {
        THeldKey Held(Key);
        EXPECT_FALSE(WriteRegistryText(Key, "Skin", "x"));
        EXPECT_FALSE(DeleteRegistryValue(Key, "Empty"));
    }
    RegDeleteKeyA(HKEY_CURRENT_USER, Path);
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Velmora Test");
}
