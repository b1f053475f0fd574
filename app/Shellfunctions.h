// Explorer windows, the browser and the shell: closing windows so that new ones show the skin,
// opening pages of the web site and addresses.
#pragma once

#include <string>

// The address of a page on the web site, from its path ("/programs/...").
std::string WebSiteAddress(const std::string& Path);
// The page opened after a skin has been applied.
extern const char* const kApplyPagePath;

// Asks every open dialog box, Internet Explorer and Explorer window to close, so that new ones
// show the new skin.
void CloseExplorerWindows();
// Opens an address in Internet Explorer, which is given any text without control characters; else
// hands it to the shell as ShellOpen does.
void OpenInBrowser(const std::string& Address);
// Hands an address to the shell; only http, https and mailto addresses are acted on.
void ShellOpen(const std::string& Target);
