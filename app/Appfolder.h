// The Application folder, its Skin files and its picture caches.
#pragma once

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
// Deletes the Skin files of the Application folder except the one named Keep (no folder, any letter
// case); stops at the first that cannot be deleted.
void DeleteSkinFilesExcept(const std::string& Keep);
// A full path for a new Skin file: "skin" + a random number below 10000 + ".skin".
std::string NewSkinFileName();
