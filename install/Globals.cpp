#include "Globals.h"

#include <windows.h>

#include <vector>

#include "Classes.h"
#include "Delayload.h"
#include "Forms.h"
#include "Handles.h"
#include "Names.h"
#include "Sysutils.h"

namespace {
// A reparse point whose tag names another item: a symbolic link, a junction or a mount point. Wine
// writes no tag (it leaves dwReserved0 as it was) and marks only its host links to folders: a tag of
// 0, which Windows never gives, counts as one too. Cloud placeholders and deduplicated files keep
// their data in place: they are plain items.
bool IsNameSurrogate(DWORD Attributes, DWORD ReparseTag) {
    return (Attributes & FILE_ATTRIBUTE_REPARSE_POINT) && (ReparseTag == 0 || IsReparseTagNameSurrogate(ReparseTag));
}

// The final path of the item at Path ("\\?\C:\...", "\\?\UNC\server\share\..."), following a link
// at Path or not; empty when it cannot be had. Missing tells a system that has no final paths.
std::string FinalPathOf(const std::string& Path, bool Follow, bool& Missing) {
    Missing = false;
    THeldHandle Item(CreateFileA(Path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | (Follow ? 0 : FILE_FLAG_OPEN_REPARSE_POINT),
                                 nullptr));
    if (!Item) return "";
    std::string Final(MAX_PATH, '\0');
    for (int Tries = 0; Tries < 2; ++Tries) {
        const DWORD Length = Delayload::GetFinalPathNameByHandleA(Item.Get(), &Final[0], static_cast<DWORD>(Final.size()),
                                                                  FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (Length == 0) {
            Missing = GetLastError() == ERROR_PROC_NOT_FOUND;
            return "";
        }
        if (Length < Final.size()) return Final.substr(0, Length);
        Final.assign(Length, '\0');  // Length counts the terminating zero here
    }
    return "";
}
}  // namespace

std::string GetProgramFilesDir() {
    char System[MAX_PATH] = "";
    const UINT Length = GetSystemDirectoryA(System, MAX_PATH);
    // A failed call, or a folder longer than the buffer, leaves nothing to take the drive from.
    if (Length < 3 || Length >= MAX_PATH) return "C:\\Program Files\\";
    return std::string(System, 3) + "Program Files\\";
}

std::string GetDefaultInstallDir() { return IncludeTrailingPathDelimiter(GetProgramFilesDir()) + kProductFolder; }

std::string CopySelfTo(const std::string& FileName) {
    std::vector<char> Buffer;
    {
        THeldHandle In(CreateFileA(Application->ExeName().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!In) return "Uninstall input file could not be opened!";
        const DWORD Size = GetFileSize(In.Get(), nullptr);
        DWORD Read = 0;
        bool Complete = false;
        if (Size != INVALID_FILE_SIZE) {
            Buffer.resize(static_cast<size_t>(Size) + 1);
            Complete = ReadFile(In.Get(), Buffer.data(), Size, &Read, nullptr) && Read == Size;
            Buffer.resize(Read);
        }
        if (!Complete) return "Uninstall input file could not be read!";
    }
    // Under Wine deleting a link to a file deletes that file, and writing writes into it.
    if (IsLinkAt(FileName)) return "Uninstall output file could not be opened or created!";
    DeleteFileA(FileName.c_str());
    try {
        TFileStream Out(FileName, fmCreate);
        return Out.Write(Buffer.data(), Buffer.size()) == Buffer.size() ? "SUCCESS" : "Uninstall file not written properly!";
    } catch (const Exception&) {
        return "Uninstall output file could not be opened or created!";
    }
}

// Windows gives a link's own path as its final path, Wine (8) what it leads to; an item whose final
// path is not its folder's plus its name lies elsewhere. Both come normalized from the same call
// (the name from the listing, as it lies on disk), so they are compared exactly: a Wine host tells
// letter case apart. Links above the folder lead into both alike and say nothing of the item.
bool IsLinkItem(DWORD Attributes, DWORD ReparseTag, const std::string& ItemFinal, const std::string& FolderFinal,
                const std::string& Name) {
    if (IsNameSurrogate(Attributes, ReparseTag) || ItemFinal.empty() || FolderFinal.empty()) return true;
    return ItemFinal != IncludeTrailingPathDelimiter(FolderFinal) + Name;
}

TLinkTeller::TLinkTeller(const std::string& Folder) : FFolder(Folder) {
    // Opened as "C:\" or "C:\Apps", never "C:".
    const std::string Open = Folder.size() > 3 && Folder.back() == '\\' ? Folder.substr(0, Folder.size() - 1) : Folder;
    bool Missing = false;
    FFolderFinal = FinalPathOf(Open, true, Missing);
    FFinalPaths = !Missing;
}

bool TLinkTeller::IsLink(const WIN32_FIND_DATAA& Item) const {
    // Before Vista there are no links to files, and a junction carries its tag.
    if (!FFinalPaths) return IsNameSurrogate(Item.dwFileAttributes, Item.dwReserved0);
    bool Missing = false;
    return IsLinkItem(Item.dwFileAttributes, Item.dwReserved0, FinalPathOf(FFolder + Item.cFileName, false, Missing),
                      FFolderFinal, Item.cFileName);
}

bool IsLinkAt(const std::string& Path) {
    // Wildcards would find other items.
    if (Path.find_first_of("*?") != std::string::npos) return true;
    WIN32_FIND_DATAA Found{};  // Wine writes no reparse tag: see IsNameSurrogate
    if (!THeldSearch(FindFirstFileA(Path.c_str(), &Found)))
        return GetFileAttributesA(Path.c_str()) != INVALID_FILE_ATTRIBUTES;  // there, but not in a listing (a root)
    return TLinkTeller(ExtractFilePath(Path)).IsLink(Found);
}

TSetupMode ModeOfFileName(const std::string& FileName) {
    if (SameText(FileName, kUninstallerFile)) return smConfirmUninstall;
    if (SameText(FileName, kTempUninstallerFile)) return smUninstaller;
    return smSetup;
}

TProgressBarParts AddProgressBar(TForm* Form, int Left, int Top) {
    TProgressBarParts Bar;
    Bar.Panel = CreateControl<TPanel>(Form, Form, "pnlProgress", Bounds(Left, Top, 265, 19));
    Bar.Panel->BevelOuter = TPanel::bvNone;
    Bar.Panel->Color = clBlack;
    Bar.Image = CreateControl<TImage>(Form, Bar.Panel, "imgProgress", Bounds(1, 1, 0, 17));
    Bar.Image->SetStretch(true);
    Bar.Image->Picture.LoadFromResourceName(Application->Instance(), "UNINSTALLBAR");
    Bar.Border = CreateControl<TShape>(Form, Bar.Panel, "shpProgressBorder", Bounds(0, 0, 265, 19));
    Bar.Border->Brush.Style = bsClear;
    Bar.Border->Pen.Color = clYellow;
    Bar.Percent = CreateControl<TLabel>(Form, Bar.Panel, "lblProgress", Bounds(1, 1, 263, 17));
    Bar.Percent->AutoSize = false;
    Bar.Percent->Transparent = true;
    Bar.Percent->Alignment = taCenter;
    Bar.Percent->Layout = tlCenter;
    Bar.Percent->Font.Name = "Arial";
    Bar.Percent->Font.Height = 13;
    Bar.Percent->Font.Style = fsBold;
    Bar.Percent->Font.Color = clWhite;
    return Bar;
}

// The step is a single-precision value of Full / 100 (2.63 is held as 2.6300001), so that 100 steps
// reach the full width exactly.
int ProgressWidth(int Percent, int Full) {
    const float Step = static_cast<float>(Full * 0.01);
    return static_cast<int>(static_cast<float>(Percent * Step));
}

void EmptySystemMenu(HWND Window) {
    for (int Position = 20; Position >= 0; --Position) RemoveMenu(GetSystemMenu(Window, FALSE), Position, MF_BYPOSITION);
}
