#include "Preparinguninstallform.h"

#include <shellapi.h>

#include "Globals.h"
#include "Names.h"
#include "Sysutils.h"

TfrmPreparingUninstall* frmPreparingUninstall = nullptr;

namespace {
const TFormLayout kLayout{"", 285, 82, clBlack, bsSingle, biSystemMenu, poScreenCenter};
const char* const kTitle = "Preparing to Uninstall.  Please Wait...";  // two blanks
const char* const kNotWritten = "Temporary uninstall file could not be written!\n\nPlease restart your computer and try again.";
int ProgressPercent = 0;  // counts from 0 to 100, a step a tick

void ArialBold(TFont& Font, TColor Color) {
    Font.Name = "Arial";
    Font.Height = 13;
    Font.Style = fsBold;
    Font.Color = Color;
}

// A folder from a call that writes into a buffer of MAX_PATH: empty when the call failed or the
// folder did not fit.
std::string FolderFrom(UINT (*Call)(char*, UINT)) {
    char Buffer[MAX_PATH] = "";
    const UINT Length = Call(Buffer, MAX_PATH);
    return Length == 0 || Length >= MAX_PATH ? "" : Trim(Buffer);
}

UINT TempFolder(char* Buffer, UINT Size) { return GetTempPathA(Size, Buffer); }
UINT SystemFolder(char* Buffer, UINT Size) { return GetSystemDirectoryA(Buffer, Size); }

// Copies the program into Folder as vlmuntmp0.exe.
std::string CopyInto(const std::string& Folder, std::string& Path) {
    if (Folder.empty()) return "The folder could not be found!";
    Path = IncludeTrailingPathDelimiter(Folder) + kTempUninstallerFile;
    return CopySelfTo(Path);
}
}  // namespace

std::string UninstallerArgument(const std::string& ProgramPath) {
    const std::string Folder = ExtractFilePath(ProgramPath);
    return Folder.empty() ? "" : "\"" + Folder + "\\\"";
}

TfrmPreparingUninstall::TfrmPreparingUninstall(TComponent* Owner) : TUninstallWindow(Owner, kLayout, 10, 53) {
    lblTitle = CreateControl<TLabel>(this, this, "lblTitle", Bounds(8, 4, 269, 49));
    lblTitle->AutoSize = false;
    lblTitle->WordWrap = true;
    lblTitle->Alignment = taCenter;
    lblTitle->Layout = tlCenter;
    ArialBold(lblTitle->Font, clYellow);
    lblTitle->SetCaption(kTitle);
    timWatch = new TTimer(this);
    timWatch->Name = "timWatch";
    timWatch->SetEnabled(false);
    timWatch->SetInterval(500);

    OnCreate = [this](TObject* S) { FormCreate(S); };
    OnActivate = [this](TObject* S) { FormActivate(S); };
    timProgress->OnTimer = [this](TObject* S) { timProgressTimer(S); };
    timWatch->OnTimer = [this](TObject* S) { timWatchTimer(S); };
}

void TfrmPreparingUninstall::FormCreate(TObject*) { Prepare(kPreparingCaption); }

std::string TfrmPreparingUninstall::CreateTempUninstaller() {
    std::string Folder = FolderFrom(TempFolder);
    if (Folder.empty()) Folder = FolderFrom(SystemFolder);
    std::string Path;
    std::string Result = CopyInto(Folder, Path);
    if (Result != "SUCCESS") Result = CopyInto(FolderFrom(SystemFolder), Path);
    if (Result == "SUCCESS") TempUninstallerPath = Path;
    return Result;
}

// The copy, or the start, blocked the window: what the user did meanwhile would answer the message.
void TfrmPreparingUninstall::Fail() {
    DropPendingInput(Handle());
    MessageBoxA(Handle(), kNotWritten, Application->Title.c_str(), MB_ICONERROR);
    PermitClose();
    Close();
}

void TfrmPreparingUninstall::FormActivate(TObject*) {
    if (timProgress->Enabled() || AllowClose) return;  // once
    Application->ProcessMessages();
    if (CreateTempUninstaller() == "SUCCESS") timProgress->SetEnabled(true);
    else Fail();
}

// Starts the copy with the installation folder, in its own folder: a program working in the
// installation folder would keep it from being removed. False when it could not be started.
bool TfrmPreparingUninstall::StartTempUninstaller() {
    // The short form where Windows has one, else the path as it is: quoted either way, so a folder
    // with blanks arrives whole.
    const std::string Program = ParamStr(0);
    char Short[MAX_PATH] = "";
    const DWORD Length = GetShortPathNameA(Program.c_str(), Short, MAX_PATH);
    const std::string Argument = UninstallerArgument(Length > 0 && Length < MAX_PATH ? Short : Program);
    const std::string WorkingFolder = ExtractFilePath(TempUninstallerPath);
    SHELLEXECUTEINFOA Start{};
    Start.cbSize = sizeof Start;
    Start.fMask = SEE_MASK_NOCLOSEPROCESS;
    Start.hwnd = GetDesktopWindow();
    Start.lpVerb = "open";
    Start.lpFile = TempUninstallerPath.c_str();
    Start.lpParameters = Argument.c_str();
    Start.lpDirectory = WorkingFolder.c_str();
    Start.nShow = SW_SHOWNORMAL;
    if (!StartProgram(Start)) return false;
    FUninstaller.Reset(Start.hProcess);
    return true;
}

void TfrmPreparingUninstall::timProgressTimer(TObject*) {
    ShowProgress(ProgressPercent);
    Application->ProcessMessages();
    if (ProgressPercent == 100) {
        timProgress->SetEnabled(false);
        Application->ProcessMessages();
        Wait(1000);
        if (!StartTempUninstaller()) {
            ++ProgressPercent;
            return Fail();
        }
        // Hidden, it stays until the uninstaller closes it: an Alt+F4 made during the wait must not.
        PermitClose();
        Hide();
        // Without a handle nothing could tell when the copy ends: this program ends now rather than
        // stay hidden for ever; the copy, if it runs, finds no preparing window to close.
        if (FUninstaller) timWatch->SetEnabled(true);
        else Close();
    }
    ++ProgressPercent;
}

// The uninstaller closes this window when it is done; one that ended without doing so (it could not
// run, or was ended) must not leave this program hidden for ever, refusing every later start.
void TfrmPreparingUninstall::timWatchTimer(TObject*) {
    if (WaitForSingleObject(FUninstaller.Get(), 0) != WAIT_OBJECT_0) return;
    timWatch->SetEnabled(false);
    Close();
}
