#include "Uninstallform.h"

#include <windows.h>

#include <shellapi.h>

#include "Globals.h"
#include "IniFiles.h"
#include "Names.h"
#include "Sysutils.h"

TfrmUninstall* frmUninstall = nullptr;

namespace {
const TFormLayout kLayout{"", 325, 230, clBlack, bsSingle, biSystemMenu, poScreenCenter};
const char* const kCompleteCaption = "Velmora V3.1 - Uninstall Complete";
const char* const kRemovingFiles = "Removing Files\n\nPlease Wait...";
const char* const kRemovingShortcuts = "Removing program shortcuts\n\nPlease Wait...";
const char* const kRemovingEntries = "Removing registry entries\n\nPlease Wait...";
const char* const kFinishing = "Finishing Uninstall Process\n\nPlease Wait...";
const char* const kRestoring = "Restoring Files...";
const char* const kCancelQuestion = "Are you sure you want to cancel?";
// Two blanks before "You should".
const char* const kAllRemoved = "Uninstall Complete!\n\nAll elements have been successfully removed.";
const char* const kNotRemoved =
    "Uninstall Complete!\n\nThe program directory could not be removed.  You should manually delete this folder.";
const char* const kModified =
    "Uninstall Complete!\n\nThe program directory has been modified and cannot be removed automatically.  You should "
    "manually delete this folder.";
constexpr int kTickMs = 50;
int ProgressPercent = 0;  // the percentage the next tick shows

bool EndsWith(const std::string& Text, const std::string& End) {
    return Text.size() >= End.size() && SameText(Text.substr(Text.size() - End.size()), End);
}

bool IsFolder(const std::string& Path) {
    const DWORD Attributes = GetFileAttributesA(Path.c_str());
    return Attributes != INVALID_FILE_ATTRIBUTES && (Attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// What setup and Velmora write into the installation folder, and nothing else.
bool IsProgramItem(const std::string& Name, bool Folder) {
    if (Folder) return SameText(Name, "Skins") || SameText(Name, "Previews");
    for (const char* File : {"Velmora3.exe", "Uninstall.exe", "Uninstall.ini"})
        if (SameText(Name, File)) return true;
    return EndsWith(Name, ".skin") || EndsWith(Name, ".skin.new");
}

// Whether Folder holds only the program's items.
bool HoldsOnlyProgramItems(const std::string& Folder) {
    WIN32_FIND_DATAA Found;
    HANDLE Search = FindFirstFileA((Folder + "*").c_str(), &Found);
    if (Search == INVALID_HANDLE_VALUE) return true;
    bool Only = true;
    do {
        const std::string Name = Found.cFileName;
        if (Name != "." && Name != ".." && !IsProgramItem(Name, Found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            Only = false;
    } while (Only && FindNextFileA(Search, &Found));
    FindClose(Search);
    return Only;
}

// Leftovers of a skin apply that did not finish: "skin12.skin.new".
void DeleteSkinLeftoversIn(const std::string& Folder) {
    WIN32_FIND_DATAA Found;
    HANDLE Search = FindFirstFileA((Folder + "*.skin.new").c_str(), &Found);
    if (Search == INVALID_HANDLE_VALUE) return;
    do DeleteFileA((Folder + Found.cFileName).c_str());
    while (FindNextFileA(Search, &Found));
    FindClose(Search);
}

void ClosePreparingWindow() {
    if (HWND Preparing = FindWindowA(nullptr, kPreparingCaption)) SendMessageA(Preparing, WM_CLOSE, 0, 0);
}
}  // namespace

void RemoveShortcuts(const std::string& ListFile) {
    TIniFile List(ListFile);
    // Only shortcut files: the list is plain text that anyone may have edited.
    for (const char* Key : {"Uninstall Shortcut", "Program Shortcut", "Desktop Shortcut"}) {
        const std::string Link = Trim(List.ReadString("Shortcuts", Key, ""));
        if (EndsWith(Link, ".lnk")) DeleteFileA(Link.c_str());
    }
    const std::string Group = Trim(List.ReadString("Program Group", "Group Name", ""));
    if (!Group.empty()) RemoveDirectoryA(Group.c_str());  // only when empty
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
    std::string Path = Folder;
    if (!Path.empty() && Path.back() == '\\') Path.pop_back();
    Path = Trim(Path);
    if (!IsFolder(Path)) return false;
    const std::string List = Path + std::string(2, '\0');
    SHFILEOPSTRUCTA Operation{};
    Operation.wFunc = FO_DELETE;
    Operation.pFrom = List.c_str();
    Operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
    return SHFileOperationA(&Operation) == 0 && !Operation.fAnyOperationsAborted;
}

std::string RemoveProgramFiles(const std::string& Folder) {
    // No folder given, or one that is not there: nothing can be told apart, so nothing goes.
    if (Folder.empty() || !IsFolder(Folder)) return kModified;
    const std::string Path = IncludeTrailingPathDelimiter(Folder);
    DeleteSkinFilesIn(Path);
    // The folder goes as a whole only when it is the product's own (its last component exactly
    // Velmora3, also in short form) and holds nothing the user put there.
    const std::string Name = ExtractFileName(Path.substr(0, Path.size() - 1));
    if (SameText(Name, "Velmora3") && HoldsOnlyProgramItems(Path))
        return DeleteDirectoryTree(Path) ? kAllRemoved : kNotRemoved;
    DeleteDirectoryTree(Path + "Previews");
    DeleteDirectoryTree(Path + "Skins");
    DeleteSkinLeftoversIn(Path);
    for (const char* File : {"Velmora3.exe", "Uninstall.exe", "Uninstall.ini"}) DeleteFileA((Path + File).c_str());
    return kModified;
}

TfrmUninstall::TfrmUninstall(TComponent* Owner) : TForm(Owner) {
    ApplyLayout(kLayout);
    FormStyle = fsStayOnTop;
    lblMessage = CreateControl<TLabel>(this, this, "lblMessage", Bounds(10, 8, 305, 155));
    lblMessage->AutoSize = false;
    lblMessage->WordWrap = true;
    lblMessage->Alignment = taCenter;
    lblMessage->Layout = tlCenter;
    lblMessage->Font.Name = "Arial";
    lblMessage->Font.Height = 16;
    lblMessage->Font.Style = fsBold;
    lblMessage->Font.Color = clYellow;
    const TProgressBarParts Bar = AddProgressBar(this, 30, 166);
    pnlProgress = Bar.Panel;
    imgProgress = Bar.Image;
    shpProgressBorder = Bar.Border;
    lblProgress = Bar.Percent;
    btnCancel = CreateControl<TButton>(this, this, "btnCancel", Bounds(120, 194, 85, 25));
    btnCancel->SetCaption("&Cancel");
    btnOK = CreateControl<TButton>(this, this, "btnOK", Bounds(120, 194, 85, 25));
    btnOK->SetCaption("&OK");
    btnOK->SetVisible(false);
    timProgress = new TTimer(this);
    timProgress->Name = "timProgress";
    timProgress->SetEnabled(false);
    timProgress->SetInterval(kTickMs);

    OnCreate = [this](TObject* S) { FormCreate(S); };
    OnActivate = [this](TObject* S) { FormActivate(S); };
    OnCloseQuery = [this](TObject* S, bool& CanClose) { FormCloseQuery(S, CanClose); };
    timProgress->OnTimer = [this](TObject* S) { timProgressTimer(S); };
    btnCancel->OnClick = [this](TObject* S) { btnCancelClick(S); };
    btnOK->OnClick = [this](TObject* S) { btnOKClick(S); };
}

void TfrmUninstall::FormCreate(TObject*) {
    EmptySystemMenu(Handle());
    SetCaption(kUninstallingCaption);
    AllowClose = false;
    imgProgress->SetWidth(0);
    lblProgress->SetCaption("0%");
    Cancelled = false;
    lblMessage->SetCaption(kRemovingFiles);
}

void TfrmUninstall::FormActivate(TObject*) {
    Application->ProcessMessages();
    if (FStarted) return;
    FStarted = true;
    timProgress->SetEnabled(true);
}

void TfrmUninstall::FormCloseQuery(TObject*, bool& CanClose) { CanClose = AllowClose; }

void TfrmUninstall::timProgressTimer(TObject*) {
    imgProgress->SetWidth(ProgressWidth(ProgressPercent, lblProgress->Width()));
    lblProgress->SetCaption(IntToStr(ProgressPercent) + "%");
    if (Cancelled) {
        if (ProgressPercent == 0) {
            Application->ProcessMessages();
            timProgress->SetEnabled(false);
            ClosePreparingWindow();
            Sleep(1500);
            AllowClose = true;
            Close();
        }
        --ProgressPercent;
        return;
    }
    if (ProgressPercent == 100) RemoveInstallation();
    ++ProgressPercent;
}

void TfrmUninstall::RemoveInstallation() {
    btnCancel->Hide();
    timProgress->SetEnabled(false);
    const std::string Folder = ParamStr(1);

    lblMessage->SetCaption(kRemovingShortcuts);
    Application->ProcessMessages();
    if (!Folder.empty() && IsFolder(Folder)) RemoveShortcuts(IncludeTrailingPathDelimiter(Folder) + "Uninstall.ini");
    Sleep(2000);

    lblMessage->SetCaption(kRemovingEntries);
    Application->ProcessMessages();
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
    Sleep(2000);

    // The first process runs Uninstall.exe from the folder: it ends before the files go.
    lblMessage->SetCaption(kFinishing);
    Application->ProcessMessages();
    ClosePreparingWindow();
    Sleep(4000);

    lblMessage->SetCaption(RemoveProgramFiles(Folder));
    SetCaption(kCompleteCaption);
    AllowClose = true;
    btnOK->Show();
}

void TfrmUninstall::btnCancelClick(TObject*) {
    timProgress->SetEnabled(false);
    if (Application->MessageBox(kCancelQuestion, Application->Title, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2,
                                Handle()) == IDYES) {
        btnCancel->Hide();
        Cancelled = true;
        lblMessage->SetCaption(kRestoring);
    }
    timProgress->SetEnabled(true);
}

void TfrmUninstall::btnOKClick(TObject*) { Close(); }
