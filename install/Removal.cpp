#include "Removal.h"

#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

#include <initializer_list>

#include "Globals.h"
#include "Handles.h"
#include "IniFiles.h"
#include "Installengine.h"
#include "Names.h"
#include "Sysutils.h"

namespace {
// Two blanks before "You should".
const char* const kFolderModified =
    "Uninstall Complete!\n\nThe program directory has been modified and cannot be removed automatically.  You should "
    "manually delete this folder.";
const char* const kAllRemoved = "Uninstall Complete!\n\nAll elements have been successfully removed.";
const char* const kNotRemoved =
    "Uninstall Complete!\n\nThe program directory could not be removed.  You should manually delete this folder.";

// The highest CSIDL the shell defines (CSIDL_PROFILES).
constexpr int kLastCsidl = 0x3E;

bool EndsWith(const std::string& Text, const std::string& End) {
    return Text.size() >= End.size() && SameText(Text.substr(Text.size() - End.size()), End);
}

bool IsSeparator(char C) { return C == '\\' || C == '/'; }

bool IsLetter(char C) { return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z'); }

std::string WithoutTrailingDelimiter(std::string Path) {
    if (!Path.empty() && Path.back() == '\\') Path.pop_back();
    return Path;
}

// The full path of an absolute path, "..", "." and doubled separators resolved; empty for any other
// text, so that nothing is ever taken relative to the current folder.
std::string FullPathOf(const std::string& Text) {
    if (!IsAbsolutePath(Text)) return "";
    const DWORD Size = GetFullPathNameA(Text.c_str(), 0, nullptr, nullptr);
    if (Size == 0) return "";
    std::string Full(Size, '\0');
    const DWORD Length = GetFullPathNameA(Text.c_str(), Size, &Full[0], nullptr);
    if (Length == 0 || Length >= Size) return "";
    Full.resize(Length);
    return Full;
}

// The form in which two paths of one item compare equal (ignoring case): full, short names made
// long where the item exists, and without a trailing backslash except at a root. Empty for a path
// that is not absolute.
std::string ComparablePath(const std::string& Text) {
    std::string Path = FullPathOf(Text);
    if (Path.empty()) return "";
    const DWORD Size = GetLongPathNameA(Path.c_str(), nullptr, 0);
    if (Size != 0) {
        std::string Long(Size, '\0');
        const DWORD Length = GetLongPathNameA(Path.c_str(), &Long[0], Size);
        if (Length != 0 && Length < Size) Path = Long.substr(0, Length);
    }
    return IsRootFolder(Path) ? Path : WithoutTrailingDelimiter(Path);
}

// The full paths of the shell's special folders Csidls, where the shell gives them.
std::vector<std::string> SpecialFolders(std::initializer_list<int> Csidls) {
    std::vector<std::string> Folders;
    for (int Csidl : Csidls) {
        const std::string Folder = ComparablePath(GetSpecialFolderPath(Csidl));
        if (!Folder.empty()) Folders.push_back(Folder);
    }
    return Folders;
}

bool IsAnyOf(const std::string& Path, const std::vector<std::string>& Folders) {
    for (const std::string& Folder : Folders)
        if (SameText(Path, Folder)) return true;
    return false;
}

bool LiesDirectlyInAny(const std::string& Path, const std::vector<std::string>& Folders) {
    for (const std::string& Folder : Folders)
        if (LiesBelow(Path, Folder) && Path.find('\\', IncludeTrailingPathDelimiter(Folder).size()) == std::string::npos)
            return true;
    return false;
}

// Nothing inside Folder (a path ending with a backslash), at any depth, is a link; false too when a
// folder cannot be listed.
bool HoldsNoLink(const std::string& Folder) {
    std::vector<TFolderItem> Items;
    if (!ListFolder(Folder, Items)) return false;
    for (const TFolderItem& Item : Items) {
        if (Item.Link) return false;
        if (Item.Folder && !HoldsNoLink(Folder + Item.Name + "\\")) return false;
    }
    return true;
}

// Deletes the file at Path unless it is a link, which keeps what it points to.
bool DeleteOwnFile(const std::string& Path) { return !IsLinkAt(Path) && DeleteFileA(Path.c_str()); }

// The folder Argument names, as a full path ending with a backslash, and its items; empty when it is
// not an absolute path, a root, no folder, a link, or cannot be listed.
std::string ListedFolderOf(const std::string& Argument, std::vector<TFolderItem>& Items) {
    Items.clear();
    const std::string Full = FullPathOf(Trim(Argument));
    if (Full.empty() || IsRootFolder(Full)) return "";
    const std::string Folder = IncludeTrailingPathDelimiter(Full), Item = WithoutTrailingDelimiter(Folder);
    const DWORD Attributes = GetFileAttributesA(Item.c_str());
    if (Attributes == INVALID_FILE_ATTRIBUTES || !(Attributes & FILE_ATTRIBUTE_DIRECTORY) || IsLinkAt(Item)) return "";
    return ListFolder(Folder, Items) ? Folder : "";
}

// Leftovers of a skin apply that did not finish: "skin12.skin.new".
void DeleteSkinLeftoversIn(const std::string& Folder) {
    std::vector<TFolderItem> Items;
    ListFolder(Folder, Items);
    for (const TFolderItem& Item : Items)
        if (!Item.Folder && !Item.Link && EndsWith(Item.Name, ".skin.new")) DeleteOwnFile(Folder + Item.Name);
}
}  // namespace

bool IsProgramItem(const TFolderItem& Item) {
    if (Item.Folder) return SameText(Item.Name, "Skins") || SameText(Item.Name, "Previews");
    for (const char* File : {kProgramFile, kUninstallerFile, kUninstallListFile})
        if (SameText(Item.Name, File)) return true;
    return EndsWith(Item.Name, ".skin") || EndsWith(Item.Name, ".skin.new");
}

bool IsInstallation(const std::vector<TFolderItem>& Items) {
    bool Program = false, Uninstall = false;
    for (const TFolderItem& Item : Items) {
        if (Item.Folder || Item.Link) continue;
        Program = Program || SameText(Item.Name, kProgramFile);
        Uninstall = Uninstall || SameText(Item.Name, kUninstallerFile) || SameText(Item.Name, kUninstallListFile);
    }
    return Program && Uninstall;
}

bool HoldsUninstallList(const std::vector<TFolderItem>& Items) {
    for (const TFolderItem& Item : Items)
        if (!Item.Folder && !Item.Link && SameText(Item.Name, kUninstallListFile)) return true;
    return false;
}

bool MayDeleteWhole(const std::string& Folder, const std::vector<TFolderItem>& Items) {
    if (!SameText(ExtractFileName(WithoutTrailingDelimiter(Folder)), WithoutTrailingDelimiter(kProductFolder)))
        return false;
    for (const TFolderItem& Item : Items)
        if (Item.Link || !IsProgramItem(Item)) return false;
    return true;
}

bool IsAbsolutePath(const std::string& Path) {
    if (Path.size() >= 3 && IsLetter(Path[0]) && Path[1] == ':' && IsSeparator(Path[2])) return true;
    // A share: two separators, then a server name that is not "?" or "." (device paths).
    return Path.size() >= 3 && IsSeparator(Path[0]) && IsSeparator(Path[1]) && !IsSeparator(Path[2]) &&
           Path[2] != '?' && Path[2] != '.';
}

bool IsRootFolder(const std::string& FullPath) {
    const std::string Path = WithoutTrailingDelimiter(FullPath);
    if (Path.size() == 2 && Path[1] == ':') return true;
    if (Path.size() < 2 || !IsSeparator(Path[0]) || !IsSeparator(Path[1])) return false;
    // "\\server\share": at most one separator after the server's name.
    const std::string Rest = Path.substr(2);
    const size_t First = Rest.find_first_of("\\/");
    return First == std::string::npos || Rest.find_first_of("\\/", First + 1) == std::string::npos;
}

bool LiesBelow(const std::string& Path, const std::string& Folder) {
    if (Folder.empty()) return false;
    const std::string Inside = IncludeTrailingPathDelimiter(Folder);
    return Path.size() > Inside.size() && SameText(Path.substr(0, Inside.size()), Inside);
}

bool IsShellFolder(const std::string& Path) {
    const std::string Meant = ComparablePath(Path);
    if (Meant.empty()) return false;
    for (int Csidl = 0; Csidl <= kLastCsidl; ++Csidl) {
        char Folder[MAX_PATH] = "";
        if (SUCCEEDED(SHGetFolderPathA(nullptr, Csidl, nullptr, SHGFP_TYPE_CURRENT, Folder)) && *Folder &&
            SameText(ComparablePath(Folder), Meant))
            return true;
    }
    return false;
}

bool NamesShellFolder(const std::string& Group) {
    for (const std::string& Programs : SpecialFolders({CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS}))
        if (IsShellFolder(Programs + "\\" + Group)) return true;
    return false;
}

bool ListFolder(const std::string& Folder, std::vector<TFolderItem>& Items) {
    Items.clear();
    WIN32_FIND_DATAA Found{};  // Wine writes no reparse tag: it reads as 0, as IsLinkItem expects
    THeldSearch Search(FindFirstFileA((Folder + "*").c_str(), &Found));
    if (!Search) return false;
    const TLinkTeller Links(Folder);
    do {
        const std::string Name = Found.cFileName;
        if (Name == "." || Name == "..") continue;
        Items.push_back({Name, (Found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0, Links.IsLink(Found)});
    } while (FindNextFileA(Search.Get(), &Found));
    return GetLastError() == ERROR_NO_MORE_FILES;
}

std::string InstallationFolderOf(const std::string& Argument) {
    std::vector<TFolderItem> Items;
    const std::string Folder = ListedFolderOf(Argument, Items);
    return IsInstallation(Items) ? Folder : "";
}

std::string UninstallListOf(const std::string& Argument) {
    std::vector<TFolderItem> Items;
    const std::string Folder = ListedFolderOf(Argument, Items);
    return HoldsUninstallList(Items) ? Folder + kUninstallListFile : "";
}

void RemoveShortcuts(const std::string& ListFile) {
    TIniFile List(ListFile);
    // The list is plain text that anyone may have edited: only the links setup makes go, and only
    // from where setup puts them: the group directly in a Programs folder (for all users or the
    // current one), the program's links directly in that group, its desktop link directly on a desktop.
    const std::vector<std::string> Programs = SpecialFolders({CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS});
    const std::vector<std::string> Desktops = SpecialFolders({CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_DESKTOPDIRECTORY});
    const std::string Group = ComparablePath(Trim(List.ReadString(kGroupSection, kGroupNameKey, "")));
    const bool GroupIsSetups = LiesDirectlyInAny(Group, Programs);
    const struct {
        const char* Key;
        const char* Name;
        bool OnDesktop;
    } Links[] = {{kUninstallShortcutKey, kUninstallLink, false},
                 {kProgramShortcutKey, kProgramLink, false},
                 {kDesktopShortcutKey, kProgramLink, true}};
    for (const auto& Link : Links) {
        const std::string Path = ComparablePath(Trim(List.ReadString(kShortcutsSection, Link.Key, "")));
        if (Path.empty() || !SameText(ExtractFileName(Path), Link.Name)) continue;
        const std::string Folder = WithoutTrailingDelimiter(ExtractFilePath(Path));
        if (Link.OnDesktop ? IsAnyOf(Folder, Desktops) : GroupIsSetups && SameText(Folder, Group)) DeleteOwnFile(Path);
    }
    // Only when empty; never a folder the shell itself uses (a group named "Startup").
    if (GroupIsSetups && !IsShellFolder(Group) && !IsLinkAt(Group)) RemoveDirectoryA(Group.c_str());
}

void DeleteSkinFilesIn(const std::string& Folder) {
    const std::string Path = IncludeTrailingPathDelimiter(Folder);
    for (;;) {
        WIN32_FIND_DATAA Found;
        if (!THeldSearch(FindFirstFileA((Path + "*.skin").c_str(), &Found))) return;
        // A link counts as a file that cannot be deleted.
        if (!DeleteOwnFile(Path + Found.cFileName)) return;
    }
}

bool DeleteDirectoryTree(const std::string& Folder) {
    const std::string Path = Trim(WithoutTrailingDelimiter(Folder));
    const DWORD Attributes = GetFileAttributesA(Path.c_str());
    if (Attributes == INVALID_FILE_ATTRIBUTES || !(Attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    // The shell's delete would act on what a link points to: a tree that is or holds one stays.
    if (IsLinkAt(Path) || !HoldsNoLink(Path + "\\")) return false;
    const std::string List = Path + std::string(2, '\0');
    SHFILEOPSTRUCTA Operation{};
    Operation.wFunc = FO_DELETE;
    Operation.pFrom = List.c_str();
    Operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
    return SHFileOperationA(&Operation) == 0 && !Operation.fAnyOperationsAborted;
}

std::string RemoveProgramFiles(const std::string& Folder) {
    // A folder that is no installation loses nothing.
    const std::string Path = InstallationFolderOf(Folder);
    if (Path.empty()) return kFolderModified;
    DeleteSkinFilesIn(Path);
    std::vector<TFolderItem> Items;
    if (ListFolder(Path, Items) && MayDeleteWhole(Path, Items)) return DeleteDirectoryTree(Path) ? kAllRemoved : kNotRemoved;
    DeleteDirectoryTree(Path + "Previews");
    DeleteDirectoryTree(Path + "Skins");
    DeleteSkinLeftoversIn(Path);
    for (const char* File : {kProgramFile, kUninstallerFile, kUninstallListFile}) DeleteOwnFile(Path + File);
    return kFolderModified;
}
