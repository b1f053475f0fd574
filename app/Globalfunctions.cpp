#include "Globalfunctions.h"

#include <shellapi.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <memory>

#include "Delayload.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "Registry.h"
#include "Webtexts.h"

namespace {
const char* const kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
// Two blanks after "computer." and after "Hotbar!", as the box has always shown them.
const char* const kHotbarFoundText =
    "Velmora has found Hotbar installed on your computer.  \n\nVelmora is not compatible with Hotbar!  "
    "Velmora can attempt to run Hotbar's uninstall program by clicking OK.";
const char* const kHotbarFoundCaption = "Velmora! - Hotbar Found!";
const char* const kSkinExtension = ".skin";
const char* const kToolbarKey = "Software\\Microsoft\\Internet Explorer\\Toolbar";
const char* const kBrowserKey = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE";
const char* const kBadHeightText = "The skin height must be at least 1 pixel.";
// Dialog boxes (message boxes too), Internet Explorer, and Explorer's two kinds of window.
const char* const kExplorerWindowClasses[] = {"#32770", "IEFrame", "ExploreWClass", "CabinetWClass"};
constexpr int kSearchesPerClass = 500;
// A window that takes longer than this to answer a close request is left alone.
constexpr UINT kCloseRequestTimeout = 2000;

// Deletes the Skin files of the Application folder except the one named Keep (no folder, any letter
// case); stops at the first that cannot be deleted.
void DeleteSkinFilesExcept(const std::string& Keep) {
    const std::string Folder = GetAppFolder();
    const std::string Pattern = Folder + "*" + kSkinExtension;
    while (true) {
        WIN32_FIND_DATAA Found;
        HANDLE Search = FindFirstFileA(Pattern.c_str(), &Found);
        if (Search == INVALID_HANDLE_VALUE) return;
        std::string Victim;
        do {
            if (!SameText(Found.cFileName, Keep)) Victim = Found.cFileName;
        } while (Victim.empty() && FindNextFileA(Search, &Found));
        FindClose(Search);
        if (Victim.empty() || !DeleteFileA((Folder + Victim).c_str())) return;
    }
}

// A value that is already missing counts as deleted.
bool DeleteRegistryValue(HKEY Key, const char* Name) {
    const LONG Result = RegDeleteValueA(Key, Name);
    return Result == ERROR_SUCCESS || Result == ERROR_FILE_NOT_FOUND;
}

std::string InternetExplorerPath() {
    HKEY Key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kBrowserKey, 0, KEY_QUERY_VALUE, &Key) != ERROR_SUCCESS) return "";
    TKeyCloser Closer{Key};
    char Buffer[260] = "";
    DWORD Size = sizeof Buffer - 1;
    DWORD Type = 0;
    if (RegQueryValueExA(Key, nullptr, nullptr, &Type, reinterpret_cast<BYTE*>(Buffer), &Size) != ERROR_SUCCESS ||
        (Type != REG_SZ && Type != REG_EXPAND_SZ))
        return "";
    Buffer[Size] = 0;
    return Buffer;
}

// The address stays the browser's only parameter even when it holds blanks, tabs or quotes: they
// are written as %XX, as they would be in a well-formed address.
std::string AsSingleParameter(const std::string& Address) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string Result;
    for (char C : Address) {
        const unsigned char U = static_cast<unsigned char>(C);
        if (U <= ' ' || C == '"') {
            Result += '%';
            Result += kHex[U >> 4];
            Result += kHex[U & 15];
        } else {
            Result += C;
        }
    }
    return Result;
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

bool WriteRegistryText(HKEY Key, const char* Name, const std::string& Text) {
    // The terminating zero is part of the value's data.
    return RegSetValueExA(Key, Name, 0, REG_SZ, reinterpret_cast<const BYTE*>(Text.c_str()),
                          static_cast<DWORD>(Text.size() + 1)) == ERROR_SUCCESS;
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

const char* const kApplyPagePath = "/programs/velmora3/application/applyskin.html";

std::string WebSiteAddress(const std::string& Path) {
    return VELMORA_SITE + Path;
}

bool ConvertPictureToSkin(TForm* Owner, const std::string& PictureFile, const std::string& SkinFile, bool Stretched,
                          int Height) {
    std::unique_ptr<TImage> Source(new TImage(Owner)), Target(new TImage(Owner));
    try {
        Source->Picture.LoadFromFile(PictureFile);
        TBitmap* Skin = Target->Picture.Bitmap();
        Skin->SetPixelFormat(pf24bit);
        if (Stretched) {
            if (Height <= 0) throw Exception(kBadHeightText);
            const int Width = Screen->Width() - 4;
            Skin->SetSize(Width, Height);
            // A photo is decoded only in the rows the strip keeps.
            if (auto* Photo = dynamic_cast<TJPEGImage*>(Source->Picture.Graphic()))
                Photo->DrawOnce(Skin->Canvas(), Rect(0, 0, Width, Height));
            else
                Skin->Canvas()->StretchDraw(Rect(0, 0, Width, Height), Source->Picture.Graphic());
        } else {
            Source->SetAutoSize(true);
            Skin->SetSize(Source->Picture.Width(), Source->Picture.Height());
            Skin->Canvas()->Draw(0, 0, Source->Picture.Graphic());
        }
        // Saved under a passing name and then renamed, so that a failed save never leaves a
        // half-written Skin file, nor takes away the one the toolbar values name.
        const std::string Unfinished = SkinFile + ".new";
        Skin->SaveToFile(Unfinished);
        if (!MoveFileExA(Unfinished.c_str(), SkinFile.c_str(), MOVEFILE_REPLACE_EXISTING)) {
            DeleteFileA(Unfinished.c_str());
            throw Exception("Cannot create file \"" + SkinFile + "\"");
        }
        DeleteSkinFilesExcept(ExtractFileName(SkinFile));
        return true;
    } catch (const Exception& E) {
        Application->MessageBox(E.Message, Application->Title, MB_ICONERROR, Owner ? Owner->Handle() : nullptr);
        return false;
    }
}

bool SetToolbarBitmap(const std::string& SkinFile) {
    HKEY Key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kToolbarKey, 0, KEY_SET_VALUE | KEY_QUERY_VALUE, &Key) != ERROR_SUCCESS)
        return false;
    TKeyCloser Closer{Key};
    if (SkinFile.empty()) {
        const bool First = DeleteRegistryValue(Key, "BackBitmap");
        const bool Second = DeleteRegistryValue(Key, "BackBitmapIE5");
        return First && Second;
    }
    return WriteRegistryText(Key, "BackBitmap", SkinFile) && WriteRegistryText(Key, "BackBitmapIE5", SkinFile);
}

void CloseExplorerWindows() {
    for (const char* ClassName : kExplorerWindowClasses) {
        for (int Search = 0; Search < kSearchesPerClass; ++Search) {
            HWND Window = FindWindowA(ClassName, nullptr);
            if (!Window) break;
            DWORD_PTR Answer;
            if (!SendMessageTimeoutA(Window, WM_SYSCOMMAND, SC_CLOSE, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                                     kCloseRequestTimeout, &Answer) &&
                IsWindow(Window))
                break;  // it does not answer: every further search would find it and wait again
        }
    }
}

// Internet Explorer reads its one parameter as its address bar would ("www.example.com",
// ftp://...). The shell would start whatever the text names, so without the browser only web and
// mail addresses are opened.
void OpenInBrowser(const std::string& Address) {
    const auto IsControl = [](char C) { return static_cast<unsigned char>(C) < 32 || C == 127; };
    if (Trim(Address).empty() || std::any_of(Address.begin(), Address.end(), IsControl)) return;
    const std::string Browser = InternetExplorerPath();
    if (!Browser.empty()) {
        const DWORD Attributes = GetFileAttributesA(Browser.c_str());
        if (Attributes != INVALID_FILE_ATTRIBUTES && !(Attributes & FILE_ATTRIBUTE_DIRECTORY) &&
            reinterpret_cast<INT_PTR>(Delayload::ShellExecuteA(GetDesktopWindow(), "open", Browser.c_str(),
                                                               AsSingleParameter(Address).c_str(), nullptr,
                                                               SW_SHOWMAXIMIZED)) > 32)
            return;
    }
    ShellOpen(Address);
}

void ShellOpen(const std::string& Target) {
    if (!IsShellAddress(Target)) return;
    Delayload::ShellExecuteA(GetDesktopWindow(), "open", Target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

bool IsValidEmail(const std::string& Text) {
    // Positions below count from 0: the '@' may not be the first character, and the '.' must have
    // a character between it and the '@' and stand before the final character.
    const size_t N = Text.size();
    if (N < 2) return false;
    const size_t At = Text.find_last_of('@');
    if (At == std::string::npos || At == 0) return false;
    if (At + 2 > N - 2) return false;
    const size_t Dot = Text.find_last_of('.', N - 2);
    if (Dot == std::string::npos || Dot < At + 2) return false;
    return Dot + 1 <= N - 2;
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
