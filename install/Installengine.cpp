#include "Installengine.h"

#include <windows.h>

#include <shlobj.h>

#include "Classes.h"
#include "Forms.h"
#include "Globals.h"
#include "Handles.h"
#include "IniFiles.h"
#include "Names.h"
#include "Sysutils.h"

const char* const kInstalledResult = "SUCCESS";
const char* const kFailedResult = "FAILED";

namespace {
const char* const kLinkDescription = "Velmora for Internet Explorer";
constexpr int kApplicationResource = 101;

// Owned by the wizard, the program's main window, which is disabled while the box shows: a second
// Next cannot start a second installation inside this one. What the user did while the installation
// blocked the wizard is dropped first: an Enter would answer the box unread.
void ShowProblem(const std::string& Text) {
    TForm* Wizard = Application->MainForm();
    DropPendingInput(Wizard ? Wizard->Handle() : nullptr);
    Application->MessageBox(Text, Application->Title, MB_ICONEXCLAMATION, Wizard ? Wizard->Handle() : nullptr);
}

// Stores Text as REG_SZ with its terminating zero.
bool WriteText(HKEY Key, const char* Name, const std::string& Text) {
    return RegSetValueExA(Key, Name, 0, REG_SZ, reinterpret_cast<const BYTE*>(Text.c_str()),
                          static_cast<DWORD>(Text.size() + 1)) == ERROR_SUCCESS;
}

void RegisterUninstallEntry(const std::string& Uninstaller) {
    THeldKey Key;
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, kUninstallKey, Key.Receive()) != ERROR_SUCCESS) return;
    // Quoted: Windows would try "C:\Program.exe" first for an unquoted path with blanks.
    if (WriteText(Key.Get(), "UninstallString", "\"" + Uninstaller + "\"")) WriteText(Key.Get(), "DisplayName", kLinkDescription);
}

std::wstring Wide(const std::string& Text) {
    std::wstring Result(Text.size() + 1, L'\0');
    Result.resize(MultiByteToWideChar(CP_ACP, 0, Text.c_str(), -1, &Result[0], static_cast<int>(Result.size())));
    if (!Result.empty()) Result.pop_back();  // the terminating zero
    return Result;
}

std::string Narrow(const std::wstring& Text) {
    std::string Result(Text.size() * 2 + 1, '\0');
    Result.resize(WideCharToMultiByte(CP_ACP, 0, Text.c_str(), -1, &Result[0], static_cast<int>(Result.size()),
                                      nullptr, nullptr));
    if (!Result.empty()) Result.pop_back();
    return Result;
}

// The shell's folder Common for all users, else the current user's User where it gives none.
std::string FolderForAll(int Common, int User) {
    const std::string Folder = GetSpecialFolderPath(Common);
    return Folder.empty() ? GetSpecialFolderPath(User) : Folder;
}

// Releases a COM interface when it goes out of scope.
template <class TInterface>
struct TReleaser {
    TInterface* Object = nullptr;
    ~TReleaser() {
        if (Object) Object->Release();
    }
};
}  // namespace

std::string PerformInstallation(std::string Folder, const std::string& Group, bool Desktop) {
    Folder = IncludeTrailingPathDelimiter(Folder);
    const std::string Program = Folder + kProgramFile, Uninstaller = Folder + kUninstallerFile,
                      List = Folder + kUninstallListFile;
    SHCreateDirectoryExA(nullptr, Folder.c_str(), nullptr);  // a failure shows at the first file

    const std::string Extracted = ExtractResourceToFile(kApplicationResource, Program);
    if (Extracted != kInstalledResult) {
        ShowProblem(Extracted);
        return kFailedResult;
    }
    const std::string Copied = CopySelfTo(Uninstaller);
    if (Copied != kInstalledResult) {
        ShowProblem(Copied);
        return kFailedResult;
    }
    const std::string UninstallLink = CreateShortcut(Group, kUninstallLink, Uninstaller);
    if (UninstallLink == kFailedResult) {
        ShowProblem("Unable to create uninstall shortcut!\n\nPlease restart your computer and try again.");
        return kFailedResult;
    }
    WriteUninstallIni(List, kShortcutsSection, kUninstallShortcutKey, UninstallLink);
    WriteUninstallIni(List, kGroupSection, kGroupNameKey, UninstallLink.substr(0, UninstallLink.find_last_of('\\')));
    RegisterUninstallEntry(Uninstaller);
    const std::string ProgramLink = CreateShortcut(Group, kProgramLink, Program);
    if (ProgramLink == kFailedResult) {
        ShowProblem("Unable to create program group shortcut!\n\nPlease restart your computer and try again.");
        return kFailedResult;
    }
    WriteUninstallIni(List, kShortcutsSection, kProgramShortcutKey, ProgramLink);
    if (Desktop) {
        const std::string DesktopLink = CreateShortcut("", kProgramLink, Program);
        if (DesktopLink != kFailedResult) WriteUninstallIni(List, kShortcutsSection, kDesktopShortcutKey, DesktopLink);
        else ShowProblem("Unable to create desktop shortcut!");
    }
    return Program;
}

std::string ExtractResourceToFile(int ResourceId, const std::string& FileName) {
    HRSRC Found = FindResourceA(nullptr, MAKEINTRESOURCEA(ResourceId), MAKEINTRESOURCEA(10));  // RT_RCDATA
    if (!Found) return "Resource not found!";
    HGLOBAL Loaded = LoadResource(nullptr, Found);
    if (!Loaded) return "Unable to load resource!";
    const void* Bytes = LockResource(Loaded);
    if (!Bytes) return "Unable to lock resource!";
    const DWORD Size = SizeofResource(nullptr, Found);
    // Under Wine deleting a link to a file deletes that file, and writing writes into it.
    if (IsLinkAt(FileName)) return "Unable to create or open file '" + FileName + "'.";
    DeleteFileA(FileName.c_str());
    try {
        TFileStream Out(FileName, fmCreate);
        return Out.Write(Bytes, Size) == Size ? kInstalledResult : "Unable to write file '" + FileName + "'.";
    } catch (const Exception&) {
        return "Unable to create or open file '" + FileName + "'.";
    }
}

std::string GetProgramsFolder() { return FolderForAll(CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS); }

std::string CreateShortcut(const std::string& Location, const std::string& LinkName, const std::string& Target) {
    std::string Base = Location.empty() ? FolderForAll(CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_DESKTOPDIRECTORY)
                                        : GetProgramsFolder();
    if (Base.empty()) return kFailedResult;
    Base = IncludeTrailingPathDelimiter(Base);
    if (FAILED(CoInitialize(nullptr))) return kFailedResult;
    std::string Result = kFailedResult;
    {
        TReleaser<IShellLinkA> Link;
        TReleaser<IPersistFile> File;
        if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                       reinterpret_cast<void**>(&Link.Object)))) {
            Link.Object->SetPath(Target.c_str());
            Link.Object->SetDescription(kLinkDescription);
            Link.Object->SetShowCmd(SW_SHOWNORMAL);
            if (LinkName == kUninstallLink) Link.Object->SetIconLocation(Target.c_str(), 1);  // UNINSTALLICON
            if (SUCCEEDED(Link.Object->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&File.Object)))) {
                std::string Path = Base + LinkName;
                if (!Location.empty()) {
                    CreateDirectoryA((Base + Location).c_str(), nullptr);  // one level; an existing one is fine
                    Path = Base + Location + "\\" + LinkName;
                }
                // The save writes into what a link at Path leads to.
                if (!IsLinkAt(Path) && SUCCEEDED(File.Object->Save(Wide(Path).c_str(), TRUE))) Result = Narrow(Wide(Path));
            }
        }
    }
    CoUninitialize();
    return Result;
}

std::string GetSpecialFolderPath(int Csidl) {
    std::string Result;
    IMalloc* Allocator = nullptr;
    if (SUCCEEDED(SHGetMalloc(&Allocator))) {
        LPITEMIDLIST Items = nullptr;
        if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, Csidl, &Items)) && Items) {
            char Path[MAX_PATH] = "";
            if (SHGetPathFromIDListA(Items, Path)) Result = Path;
            Allocator->Free(Items);
        }
        Allocator->Release();
    }
    return Trim(Result);
}

void WriteUninstallIni(const std::string& IniFile, const std::string& Section, const std::string& Key,
                       const std::string& Value) {
    // The profile functions write into what a link at IniFile leads to.
    bool Written = !IsLinkAt(IniFile);
    try {
        if (Written) TIniFile(IniFile).WriteString(Section, Key, Value);
    } catch (const Exception&) {
        Written = false;
    }
    if (!Written)
        ShowProblem("Unable to write to uninstall ini file!\n\nThe following could not be written:\n" + IniFile + "\n" +
                    Section + "\n" + Key + "\n" + Value +
                    "\n\nThe installation will continue, but you should restart your computer and run the "
                    "installation again.");
}
