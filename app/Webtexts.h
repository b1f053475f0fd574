// Checks of texts that come from the web site before they reach the file system or the shell.
// Plain C++ without Windows headers, so that it can also be built and fuzzed natively.
#pragma once

#include <string>

// A name that stays a plain file name inside its cache folder: no path separators or drive
// colons, no control characters, no DOS device, not only dots or blanks.
bool IsSafeCacheFileName(const std::string& Name);
// True for addresses that begin with "http://", "https://" or "mailto:" in any letter case: the
// only ones we hand to the shell.
bool IsShellAddress(const std::string& Address);
// The FTP port the application data names: decimal digits only, 1 to 65535; false otherwise.
bool ParseFtpPort(const std::string& Text, int& Port);
// The status line of a reply head ("HTTP/1.0 500 Internal Server Error"), without its line end.
std::string StatusLineOf(const std::string& Head);
