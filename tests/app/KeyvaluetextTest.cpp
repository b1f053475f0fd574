// The reader of the web site's key-value texts, one table of cases, read one by one and as lists are.
#include <gtest/gtest.h>

#include "Keyvaluetext.h"

TEST(KeyValueText, TheLinesThatCountAndTheValuesTheyGive) {
    const struct {
        const char* Text;
        const char* Key;
        int Index;
        const char* Value;
    } Cases[] = {
        {"Key = Value", "key", 0, "Value"},
        {"KEY=Value", "key", 0, "Value"},
        {"other=1\r\nkey=two words \r\n", "KEY", 0, "two words"},
        {"  key=value", "key", 0, ""},                      // blanks before the key
        {"xkey=value", "key", 0, ""},
        {"a key=value", "key", 0, ""},                      // in the middle of a line
        {"key\t=1", "key", 0, ""},
        {"keyx=1", "key", 0, ""},
        {"key more words = x", "key", 0, "x"},
        {"key=\r\nnext=1", "key", 0, ""},
        {"key=;", "key", 0, ""},
        {"key=", "key", 0, ""},
        {"key = a b ; note", "key", 0, "a b"},
        {"key value\r\nother=1", "key", 0, ""},             // no '=' on its own line
        {"key value\r\nkey=2", "key", 1, "2"},              // but it is counted
        {"first=1\nkey=last line", "key", 0, "last line"},  // a lone line feed, no break at the end
        {"first=1\rkey=3", "key", 0, "3"},                  // a lone carriage return
        {"x=1\r\nkey", "key", 0, ""},                       // the text ends with the key
        {"a=1\r\nA = 2\r\na=3", "a", 0, "1"},
        {"a=1\r\nA = 2\r\na=3", "a", 1, "2"},
        {"a=1\r\nA = 2\r\na=3", "a", 2, "3"},
        {"a=1\r\nA = 2\r\na=3", "a", 3, ""},
        {"", "key", 0, ""},
        {"key=1", "missing", 0, ""},
        {"key=\x01\tvalue\x1f ", "key", 0, "value"},        // control characters around the value
        {"thumb url=http://site/a.jpg\r\nthumb url = http://site/b.jpg", "THUMB URL", 1, "http://site/b.jpg"},
        {"key=a=b", "key", 0, "a=b"},
        {"Key=MixedCase", "kEy", 0, "MixedCase"},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(testing::Message() << '"' << Case.Text << "\" key " << Case.Key << " #" << Case.Index);
        EXPECT_EQ(Case.Value, GetKeyValue(Case.Text, Case.Key, Case.Index));
        EXPECT_EQ(Case.Value, GetKeyValues(Case.Text, Case.Key, Case.Index + 2)[Case.Index]);  // as a list reads it
    }
}
