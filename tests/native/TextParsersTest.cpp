// The site's key-value texts and names, as the native build sees them: no Windows to lean on.
#include <gtest/gtest.h>

#include "Keyvaluetext.h"
#include "Text1252.h"
#include "Webtexts.h"

TEST(KeyValueText, KeysMatchInAnyLetterCaseOfCodePage1252) {
    const std::string Text = "CAT\xc9GORIE = Nature ; rest\r\ncat\xe9gorie=Cars\nSKIN_URL=\thttp://x/a.jpg \n";
    EXPECT_EQ("Nature", GetKeyValue(Text, "cat\xe9gorie", 0));
    EXPECT_EQ("Cars", GetKeyValue(Text, "CAT\xc9GORIE", 1));
    EXPECT_EQ("http://x/a.jpg", GetKeyValue(Text, "skin_url", 0));
    EXPECT_EQ("", GetKeyValue(Text, "skin", 0));
    EXPECT_EQ("\xe0\xff\x9a\xd7", LowerCase1252("\xc0\x9f\x8a\xd7"));
}

TEST(CacheNames, DeviceNamesAreNotCacheNames) {
    for (const char* Name : {"con", "Nul .jpg", "COM1.bmp", "lpt\xb9", "com\xb2.jpg", "..", " "})
        EXPECT_FALSE(IsSafeCacheFileName(Name)) << Name;
    for (const char* Name : {"com10.jpg", "console.jpg", "com\xbd.jpg", "red.jpg"}) EXPECT_TRUE(IsSafeCacheFileName(Name)) << Name;
}
