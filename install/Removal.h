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
    bool Link = false;  // by IsLinkItem, or cannot be told
};

// ---- decisions on paths and listings ----

// What setup and Velmora write into the installation folder.
bool IsProgramItem(const TFolderItem& Item);
// An installation holds the program and its uninstaller or its uninstall list, as setup left it
// (also when moved or renamed); another program's folder with an uninstaller of its own is none.
bool IsInstallation(const std::vector<TFolderItem>& Items);
// The folder holds setup's uninstall list: its shortcuts may go even when the program is gone.
bool HoldsUninstallList(const std::vector<TFolderItem>& Items);
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

// Path is a folder the shell names (Startup, Administrative Tools, the Programs folder itself...),
// for all users or the current one.
bool IsShellFolder(const std::string& Path);
// The program group Group would be a folder the shell names, in either user's Programs folder.
bool NamesShellFolder(const std::string& Group);

// The items of Folder (a path ending with a backslash); false when it cannot be listed.
bool ListFolder(const std::string& Folder, std::vector<TFolderItem>& Items);
// The installation folder the uninstaller was given, as a full path ending with a backslash; empty
// when the argument names no installation: not an absolute path, a root, a link, or a folder that
// is no installation.
std::string InstallationFolderOf(const std::string& Argument);
// The uninstall list of the folder the uninstaller was given, by the same checks, when the folder
// holds one (also after the program has gone); empty otherwise.
std::string UninstallListOf(const std::string& Argument);
// Deletes the shortcuts the uninstall list names, only those setup makes where setup puts them, and
// the program group folder when it lies in a Programs folder, is empty and is not the shell's own.
void RemoveShortcuts(const std::string& ListFile);
// Deletes every ".skin" file directly in Folder; stops at the first that cannot be deleted or is a link.
void DeleteSkinFilesIn(const std::string& Folder);
// Deletes Folder with all it holds. A folder that is or holds a link stays whole. False when it is
// missing, stays, or not all could go.
bool DeleteDirectoryTree(const std::string& Folder);
// Deletes the installed files of the installation in Folder and gives the completion message, also
// when Folder names no installation, which loses nothing.
std::string RemoveProgramFiles(const std::string& Folder);
