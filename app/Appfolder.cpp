#include "Appfolder.h"

#include <windows.h>

#include <cstdlib>
#include <ctime>

#include "Forms.h"
#include "Handles.h"
#include "Sysutils.h"
#include "Webtexts.h"

namespace {
const char* const kSkinExtension = ".skin";

std::string CachePath(const char* Cache, const std::string& Category, const std::string& Address) {
    std::string Folder = Category;
    SanitizeFolderName(Folder);
    std::string Path = GetAppFolder() + Cache;
    CreateDirectoryA(Path.c_str(), nullptr);
    // "." and ".." would lead to the cache folder itself or out of it.
    if (!Folder.empty() && Folder.find_first_not_of('.') == std::string::npos) return std::string();
    Path += Folder;
    CreateDirectoryA(Path.c_str(), nullptr);
    Path += "\\";
    const size_t Slash = Address.rfind('/');
    const std::string FileName = Slash == std::string::npos ? std::string() : Address.substr(Slash + 1);
    if (FileName.empty() || !IsSafeCacheFileName(FileName)) return std::string();
    return Path + FileName;
}
}  // namespace

void DeleteSkinFilesExcept(const std::string& Keep) {
    const std::string Folder = GetAppFolder();
    const std::string Pattern = Folder + "*" + kSkinExtension;
    while (true) {
        WIN32_FIND_DATAA Found;
        std::string Victim;
        {
            THeldSearch Search(FindFirstFileA(Pattern.c_str(), &Found));
            if (!Search) return;
            do {
                if (!SameText(Found.cFileName, Keep)) Victim = Found.cFileName;
            } while (Victim.empty() && FindNextFileA(Search.Get(), &Found));
        }
        if (Victim.empty() || !DeleteFileA((Folder + Victim).c_str())) return;
    }
}

std::string GetAppFolder() {
    const std::string Exe = Application->ExeName();
    const size_t Slash = Exe.size() > 1 ? Exe.find_last_of('\\') : std::string::npos;
    std::string Folder = (Slash == std::string::npos || Slash == 0) ? std::string() : Exe.substr(0, Slash);
    if (GetDriveTypeA(Folder.substr(0, 3).c_str()) != DRIVE_FIXED) {
        char System[260] = "";
        GetSystemDirectoryA(System, sizeof System);
        Folder = std::string(1, System[0]) + ":\\Program Files";
        CreateDirectoryA(Folder.c_str(), nullptr);
        Folder += "\\Velmora";
        CreateDirectoryA(Folder.c_str(), nullptr);
    }
    return Folder + "\\";
}

void SanitizeFolderName(std::string& Name) {
    std::string Kept;
    for (char C : Name)
        if ((C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || (C >= '0' && C <= '9') || C == '.') Kept += C;
    Name = Kept;
}

std::string GetSkinCachePath(const std::string& Category, const std::string& Address) {
    return CachePath("Skins\\", Category, Address);
}

std::string GetPreviewCachePath(const std::string& Category, const std::string& Address) {
    return CachePath("Previews\\", Category, Address);
}

void DeleteSkinFiles() {
    DeleteSkinFilesExcept("");
}

std::string NewSkinFileName() {
    const std::string Folder = GetAppFolder();
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    return Folder + "skin" + std::to_string(std::rand() % 10000) + kSkinExtension;
}
