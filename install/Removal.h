// What the uninstaller removes, and the rules that keep it to what setup and Velmora put there: a
// folder is touched only when it is an installation, a link is never followed, and a shortcut goes
// only from where setup puts shortcuts.
#pragma once

#include <string>
#include <vector>

// One item of a folder's listing.
struct TFolderItem {
    std::string Name;
    bool Folder = false;
    bool Link = false;  // a reparse point (junction or symbolic link)
};

// ---- decisions on paths and listings ----

// What setup and Velmora write into the installation folder.
bool IsProgramItem(const TFolderItem& Item);
// An installation holds its uninstaller or its uninstall list.
bool IsInstallation(const std::vector<TFolderItem>& Items);
// The folder may go as a whole: its last component is Velmora3 (in any letter case, as in its short
// form) and it holds nothing but the program's items, none of them a link.
bool MayDeleteWhole(const std::string& Folder, const std::vector<TFolderItem>& Items);
// A path from a drive or a share ("C:\...", "\\server\share\..."): not relative, not drive-relative
// ("C:", "C:x"), not a device path ("\\?\", "\\.\").
bool IsAbsolutePath(const std::string& Path);
// The root of a drive or of a share: "C:\", "\\server\share\".
bool IsRootFolder(const std::string& FullPath);
// Path lies inside Folder (both full paths), and is not Folder itself.
bool LiesBelow(const std::string& Path, const std::string& Folder);

// ---- on the file system ----

// The items of Folder (a path ending with a backslash); false when it cannot be listed.
bool ListFolder(const std::string& Folder, std::vector<TFolderItem>& Items);
// The installation folder the uninstaller was given, as a full path ending with a backslash; empty
// when the argument names no installation: not an absolute path, a root, a link, or a folder that
// holds neither Uninstall.exe nor Uninstall.ini.
std::string InstallationFolderOf(const std::string& Argument);
// Deletes the shortcut files (".lnk") the uninstall list names inside the Start menu's Programs
// folder or on the desktop, and the program group folder inside Programs when it is empty.
void RemoveShortcuts(const std::string& ListFile);
// Deletes every ".skin" file directly in Folder; stops at the first that cannot be deleted.
void DeleteSkinFilesIn(const std::string& Folder);
// Deletes Folder with all it holds; a link in it goes as the link itself, or the tree stays. False
// when it is missing or not all could go.
bool DeleteDirectoryTree(const std::string& Folder);
// Deletes the installed files of the installation in Folder and gives the completion message.
std::string RemoveProgramFiles(const std::string& Folder);
// The message for an uninstall that left the folder, also when there was no installation to remove.
extern const char* const kFolderModified;
