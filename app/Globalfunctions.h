// Functions shared by the windows of Velmora.
#pragma once

#include <windows.h>

#include <string>

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

// Offers to run the uninstaller of every installed Hotbar product; the boxes belong to Owner.
void CheckForHotbar(HWND Owner);
// True when the display name contains HOTBAR, HOT BAR, HOT-BAR or HOT_BAR in any letter case.
bool IsHotbarName(const std::string& DisplayName);
