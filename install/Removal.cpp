#include "Removal.h"

#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

#include <initializer_list>

#include "IniFiles.h"
#include "Installengine.h"
#include "Names.h"
#include "Sysutils.h"

// Two blanks before "You should".
const char* const kFolderModified =
    "Uninstall Complete!\n\nThe program directory has been modified and cannot be removed automatically.  You should "
    "manually delete this folder.";

namespace {
const char* const kAllRemoved = "Uninstall Complete!\n\nAll elements have been successfully removed.";
const char* const kNotRemoved =
    "Uninstall Complete!\n\nThe program directory could not be removed.  You should manually delete this folder.";

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

// The full paths of the shell's special folders Csidls, where the shell gives them.
std::vector<std::string> SpecialFolders(std::initializer_list<int> Csidls) {
    std::vector<std::string> Folders;
    for (int Csidl : Csidls) {
        const std::string Folder = FullPathOf(GetSpecialFolderPath(Csidl));
        if (!Folder.empty()) Folders.push_back(Folder);
    }
    return Folders;
}

bool LiesBelowAny(const std::string& Path, const std::vector<std::string>& Folders) {
    for (const std::string& Folder : Folders)
        if (LiesBelow(Path, Folder)) return true;
    return false;
}

// Removes every link inside Folder as the link itself, so that a delete of the tree cannot walk into
// what one points to; false when one stays or a folder cannot be listed.
bool RemoveLinksBelow(const std::string& Folder) {
    std::vector<TFolderItem> Items;
    if (!ListFolder(Folder, Items)) return false;
    for (const TFolderItem& Item : Items) {
        const std::string Path = Folder + Item.Name;
        if (Item.Link) {
            if (!(Item.Folder ? RemoveDirectoryA(Path.c_str()) : DeleteFileA(Path.c_str()))) return false;
        } else if (Item.Folder && !RemoveLinksBelow(Path + "\\")) {
            return false;
        }
    }
    return true;
}

// Leftovers of a skin apply that did not finish: "skin12.skin.new".
void DeleteSkinLeftoversIn(const std::string& Folder) {
    std::vector<TFolderItem> Items;
    ListFolder(Folder, Items);
    for (const TFolderItem& Item : Items)
        if (!Item.Folder && EndsWith(Item.Name, ".skin.new")) DeleteFileA((Folder + Item.Name).c_str());
}
}  // namespace

bool IsProgramItem(const TFolderItem& Item) {
    if (Item.Folder) return SameText(Item.Name, "Skins") || SameText(Item.Name, "Previews");
    for (const char* File : {kProgramFile, kUninstallerFile, kUninstallListFile})
        if (SameText(Item.Name, File)) return true;
    return EndsWith(Item.Name, ".skin") || EndsWith(Item.Name, ".skin.new");
}

bool IsInstallation(const std::vector<TFolderItem>& Items) {
    for (const TFolderItem& Item : Items)
        if (!Item.Folder && !Item.Link && (SameText(Item.Name, kUninstallerFile) || SameText(Item.Name, kUninstallListFile)))
            return true;
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

bool ListFolder(const std::string& Folder, std::vector<TFolderItem>& Items) {
    Items.clear();
    WIN32_FIND_DATAA Found;
    HANDLE Search = FindFirstFileA((Folder + "*").c_str(), &Found);
    if (Search == INVALID_HANDLE_VALUE) return false;
    do {
        const std::string Name = Found.cFileName;
        if (Name == "." || Name == "..") continue;
        Items.push_back({Name, (Found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                         (Found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0});
    } while (FindNextFileA(Search, &Found));
    const bool Complete = GetLastError() == ERROR_NO_MORE_FILES;
    FindClose(Search);
    return Complete;
}

std::string InstallationFolderOf(const std::string& Argument) {
    const std::string Full = FullPathOf(Trim(Argument));
    if (Full.empty() || IsRootFolder(Full)) return "";
    const std::string Folder = IncludeTrailingPathDelimiter(Full);
    // Asked without the trailing backslash, which would name what a link points to.
    const DWORD Attributes = GetFileAttributesA(WithoutTrailingDelimiter(Folder).c_str());
    if (Attributes == INVALID_FILE_ATTRIBUTES || !(Attributes & FILE_ATTRIBUTE_DIRECTORY) ||
        (Attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return "";
    std::vector<TFolderItem> Items;
    return ListFolder(Folder, Items) && IsInstallation(Items) ? Folder : "";
}

void RemoveShortcuts(const std::string& ListFile) {
    TIniFile List(ListFile);
    // The list is plain text that anyone may have edited: only links where setup puts them go.
    // Where setup puts shortcuts: the Start menu's Programs folder and the desktop, for all users and
    // for the current one; groups only in Programs.
    const std::vector<std::string> Programs = SpecialFolders({CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS});
    std::vector<std::string> Places = SpecialFolders({CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_DESKTOPDIRECTORY});
    Places.insert(Places.end(), Programs.begin(), Programs.end());
    for (const char* Key : {kUninstallShortcutKey, kProgramShortcutKey, kDesktopShortcutKey}) {
        const std::string Link = FullPathOf(Trim(List.ReadString(kShortcutsSection, Key, "")));
        if (EndsWith(Link, ".lnk") && LiesBelowAny(Link, Places)) DeleteFileA(Link.c_str());
    }
    const std::string Group = FullPathOf(Trim(List.ReadString(kGroupSection, kGroupNameKey, "")));
    if (LiesBelowAny(Group, Programs)) RemoveDirectoryA(Group.c_str());  // only when empty
}

void DeleteSkinFilesIn(const std::string& Folder) {
    const std::string Path = IncludeTrailingPathDelimiter(Folder);
    for (;;) {
        WIN32_FIND_DATAA Found;
        HANDLE Search = FindFirstFileA((Path + "*.skin").c_str(), &Found);
        if (Search == INVALID_HANDLE_VALUE) return;
        FindClose(Search);
        if (!DeleteFileA((Path + Found.cFileName).c_str())) return;
    }
}

bool DeleteDirectoryTree(const std::string& Folder) {
    const std::string Path = Trim(WithoutTrailingDelimiter(Folder));
    const DWORD Attributes = GetFileAttributesA(Path.c_str());
    if (Attributes == INVALID_FILE_ATTRIBUTES || !(Attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    // A link goes as the link itself, never what it points to.
    if (Attributes & FILE_ATTRIBUTE_REPARSE_POINT) return RemoveDirectoryA(Path.c_str()) != 0;
    if (!RemoveLinksBelow(Path + "\\")) return false;
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
    for (const char* File : {kProgramFile, kUninstallerFile, kUninstallListFile}) DeleteFileA((Path + File).c_str());
    return kFolderModified;
}
