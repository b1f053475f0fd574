// Functions shared by the windows of Velmora.
#pragma once

#include <windows.h>

#include <string>

class TForm;

// Closes a registry key when it goes out of scope.
struct TKeyCloser {
    HKEY Key;
    ~TKeyCloser() { RegCloseKey(Key); }
};
// Writes Text as a REG_SZ value, its terminating zero counted in the data.
bool WriteRegistryText(HKEY Key, const char* Name, const std::string& Text);

// The folder that holds the Skin file and the picture caches, ending in a backslash: the program's
// own folder on a fixed drive, else Program Files\Velmora on the system drive (created).
std::string GetAppFolder();
// Where a downloaded picture of a category is kept, or empty when the address gives no safe file name.
// Creates the cache folder and the category's folder below it.
std::string GetSkinCachePath(const std::string& Category, const std::string& Address);
std::string GetPreviewCachePath(const std::string& Category, const std::string& Address);
// Keeps only the letters A-Z and a-z, the digits and '.'.
void SanitizeFolderName(std::string& Name);
// Deletes every Skin file of the Application folder; stops at the first that cannot be deleted.
void DeleteSkinFiles();
// A full path for a new Skin file: "skin" + a random number below 10000 + ".skin".
std::string NewSkinFileName();

// The address of a page on the web site, from its path ("/programs/...").
std::string WebSiteAddress(const std::string& Path);
// The page opened after a skin has been applied.
extern const char* const kApplyPagePath;

// Makes a new Skin file from a picture file (bmp, jpg, jpeg, ico, wmf, emf): stretched to the screen's
// width less 4 by Height, or at the picture's own size for a tiled skin. The other Skin files are
// deleted once the new one is saved. Errors are shown in a box owned by Owner; the result is then false.
bool ConvertPictureToSkin(TForm* Owner, const std::string& PictureFile, const std::string& SkinFile, bool Stretched,
                          int Height);
// Points both toolbar background values at SkinFile, or deletes them when it is empty. False when
// the Toolbar key is missing (it is never created) or a value could not be written or deleted.
bool SetToolbarBitmap(const std::string& SkinFile);

// Asks every open dialog box, Internet Explorer and Explorer window to close, so that new ones
// show the new skin.
void CloseExplorerWindows();
// Opens an address in Internet Explorer, which is given any text without control characters; else
// hands it to the shell as ShellOpen does.
void OpenInBrowser(const std::string& Address);
// Hands an address to the shell; only http, https and mailto addresses are acted on.
void ShellOpen(const std::string& Target);
// Something before the last '@', something between it and a later '.', and two characters after
// the last '.' that stands before the final character.
bool IsValidEmail(const std::string& Text);

// Offers to run the uninstaller of every installed Hotbar product; the boxes belong to Owner.
void CheckForHotbar(HWND Owner);
// True when the display name contains HOTBAR, HOT BAR, HOT-BAR or HOT_BAR in any letter case.
bool IsHotbarName(const std::string& DisplayName);
