// Functions of the setup program that its windows share.
#pragma once

#include <string>

#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"

// "<system drive>\Program Files\", from the first three characters of the system folder.
std::string GetProgramFilesDir();
// The folder an installation goes to by default: Program Files plus "Velmora3\".
std::string GetDefaultInstallDir();
// Writes a byte-for-byte copy of the running program to FileName: "SUCCESS" or a message to show.
// A link at FileName is not written through.
std::string CopySelfTo(const std::string& FileName);

// ---- links: setup writes through none and the uninstaller follows none ----

// Whether one item of a folder is a link. Attributes and ReparseTag are what the folder's listing
// gives (dwFileAttributes, dwReserved0); ItemFinal is the item's final path taken without following
// it, FolderFinal the folder's taken following links, both as GetFinalPathNameByHandle gives them
// (empty: it could not be had); Name is the item's name in the listing.
bool IsLinkItem(DWORD Attributes, DWORD ReparseTag, const std::string& ItemFinal, const std::string& FolderFinal,
                const std::string& Name);
// Tells the links among the items of one folder, whose final path it takes once.
class TLinkTeller {
public:
    explicit TLinkTeller(const std::string& Folder);  // a path ending with a backslash
    bool IsLink(const WIN32_FIND_DATAA& Item) const;

private:
    std::string FFolder, FFolderFinal;
    bool FFinalPaths = true;  // false where the system has no final paths (before Vista)
};
// The item at Path (no trailing backslash) is a link, or whether it is one cannot be told; false
// when there is no item at Path.
bool IsLinkAt(const std::string& Path);

// What the program does, by the file name it was started under (letter case ignored).
enum TSetupMode { smSetup, smConfirmUninstall, smUninstaller };
TSetupMode ModeOfFileName(const std::string& FileName);

// The magenta bar of the uninstall windows: a panel holding the stretched picture, a yellow frame
// and the white percentage, whose 263-pixel width is the bar's full width.
struct TProgressBarParts {
    TPanel* Panel;
    TImage* Image;
    TShape* Border;
    TLabel* Percent;
};
TProgressBarParts AddProgressBar(TForm* Form, int Left, int Top);
// The bar's width at Percent of a bar Full pixels wide (single precision, truncated).
int ProgressWidth(int Percent, int Full);
// Empties a window's system menu: it offers no Close then.
void EmptySystemMenu(HWND Window);
