#include "Globalfunctions.h"

#include <cstdlib>
#include <ctime>
#include <memory>

#include "Forms.h"
#include "Registry.h"

namespace {
const char* const kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
// Two blanks after "computer." and after "Hotbar!", as the box has always shown them.
const char* const kHotbarFoundText =
    "Velmora has found Hotbar installed on your computer.  \n\nVelmora is not compatible with Hotbar!  "
    "Velmora can attempt to run Hotbar's uninstall program by clicking OK.";
const char* const kHotbarFoundCaption = "Velmora! - Hotbar Found!";
const char* const kSkinExtension = ".skin";

// A name that the web site sends must stay a plain file name inside its cache folder: no path
// separators or drive colons, no control characters, no DOS device, not only dots or blanks.
bool IsSafeCacheFileName(const std::string& Name) {
    bool OnlyDotsAndBlanks = true;
    for (char C : Name) {
        const unsigned char U = static_cast<unsigned char>(C);
        if (C == '\\' || C == ':' || U < 32) return false;
        if (C != '.' && C != ' ') OnlyDotsAndBlanks = false;
    }
    if (OnlyDotsAndBlanks) return false;
    const std::string Base = AnsiUpperCase(TrimRight(Name.substr(0, Name.find('.'))));
    for (const char* Device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
        if (Base == Device) return false;
    if (Base.size() == 4 && (Base.compare(0, 3, "COM") == 0 || Base.compare(0, 3, "LPT") == 0) && Base[3] >= '1' &&
        Base[3] <= '9')
        return false;
    return true;
}

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
    const std::string Folder = GetAppFolder();
    const std::string Pattern = Folder + "*" + kSkinExtension;
    while (true) {
        WIN32_FIND_DATAA Found;
        HANDLE Search = FindFirstFileA(Pattern.c_str(), &Found);
        if (Search == INVALID_HANDLE_VALUE) return;
        FindClose(Search);
        if (!DeleteFileA((Folder + Found.cFileName).c_str())) return;
    }
}

std::string NewSkinFileName() {
    const std::string Folder = GetAppFolder();
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    return Folder + "skin" + std::to_string(std::rand() % 10000) + kSkinExtension;
}

bool IsHotbarName(const std::string& DisplayName) {
    const std::string Name = AnsiUpperCase(DisplayName);
    for (const char* Word : {"HOTBAR", "HOT BAR", "HOT-BAR", "HOT_BAR"})
        if (Name.find(Word) != std::string::npos) return true;
    return false;
}

void CheckForHotbar(HWND Owner) {
    auto Registry = std::make_unique<TRegistry>(KEY_READ);
    Registry->RootKey = HKEY_LOCAL_MACHINE;
    TStringList Products;
    if (!Registry->OpenKeyReadOnly(kUninstallKey)) return;
    Registry->GetKeyNames(&Products);
    Registry->CloseKey();
    for (const std::string& Product : Products) {
        if (!Registry->OpenKeyReadOnly(std::string("\\") + kUninstallKey + "\\" + Product)) continue;
        try {
            const std::string Command = Registry->ReadString("UninstallString");
            const std::string DisplayName = Registry->ReadString("DisplayName");
            if (IsHotbarName(DisplayName) && !Trim(Command).empty() &&
                Application->MessageBox(kHotbarFoundText, kHotbarFoundCaption, MB_ICONERROR | MB_OKCANCEL, Owner) ==
                    IDOK)
                WinExec(Command.c_str(), SW_SHOWNORMAL);  // not waited for, result not examined
        } catch (const Exception&) {
            // An entry whose values cannot be read is skipped.
        }
        Registry->CloseKey();
    }
}
