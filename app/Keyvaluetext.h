// Reading the key-value texts that the web site sends: the application data and the gallery lists.
// No Windows header here, so that the reader can also be built and fuzzed natively.
#pragma once

#include <string>
#include <vector>

// The largest key-value text the site may send. Real ones hold a few kilobytes (a file of settings,
// lists of at most 102 categories and 30 skins); a larger reply fails as its request's failure, so
// that a site cannot make the lists' readers scan megabytes.
constexpr long long kMaxKeyValueTextBytes = 256 * 1024;

// The value of the Index-th (from 0) line that starts with Key (any letter case) followed by a
// blank or '=': the text after the '=' up to a ';' or the line's end, trimmed. Empty when there
// is no such line or it has no '='.
std::string GetKeyValue(const std::string& Text, const std::string& Key, int Index);

// GetKeyValue for the Indexes 0 to Count - 1 at once, in one pass over the text: how a list is read.
std::vector<std::string> GetKeyValues(const std::string& Text, const std::string& Key, int Count);
