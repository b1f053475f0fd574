#include "Uninstallform.h"

#include <windows.h>

#include "Names.h"
#include "Removal.h"
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
constexpr UINT kCloseWaitMs = 3000;  // the preparing window answers at once when it is alive
int ProgressPercent = 0;  // the percentage the next tick shows
}  // namespace

void ClosePreparingWindow() {
    // Bounded: a window of that caption that does not answer must not hold the uninstaller.
    if (HWND Preparing = FindWindowA(nullptr, kPreparingCaption))
        SendMessageTimeoutA(Preparing, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, kCloseWaitMs, nullptr);
}

TfrmUninstall::TfrmUninstall(TComponent* Owner) : TUninstallWindow(Owner, kLayout, 30, 166) {
    lblMessage = CreateControl<TLabel>(this, this, "lblMessage", Bounds(10, 8, 305, 155));
    lblMessage->AutoSize = false;
    lblMessage->WordWrap = true;
    lblMessage->Alignment = taCenter;
    lblMessage->Layout = tlCenter;
    lblMessage->Font.Name = "Arial";
    lblMessage->Font.Height = 16;
    lblMessage->Font.Style = fsBold;
    lblMessage->Font.Color = clYellow;
    btnCancel = CreateControl<TButton>(this, this, "btnCancel", Bounds(120, 194, 85, 25));
    btnCancel->SetCaption("&Cancel");
    btnOK = CreateControl<TButton>(this, this, "btnOK", Bounds(120, 194, 85, 25));
    btnOK->SetCaption("&OK");
    btnOK->SetVisible(false);

    OnCreate = [this](TObject* S) { FormCreate(S); };
    OnActivate = [this](TObject* S) { FormActivate(S); };
    timProgress->OnTimer = [this](TObject* S) { timProgressTimer(S); };
    btnCancel->OnClick = [this](TObject* S) { btnCancelClick(S); };
    btnOK->OnClick = [this](TObject* S) { btnOKClick(S); };
}

void TfrmUninstall::FormCreate(TObject*) {
    Prepare(kUninstallingCaption);
    Cancelled = false;
    lblMessage->SetCaption(kRemovingFiles);
}

void TfrmUninstall::FormActivate(TObject*) {
    Application->ProcessMessages();
    if (FStarted) return;
    FStarted = true;
    timProgress->SetEnabled(true);
}

void TfrmUninstall::timProgressTimer(TObject*) {
    ShowProgress(ProgressPercent);
    if (Cancelled) {
        if (ProgressPercent == 0) {
            Application->ProcessMessages();
            timProgress->SetEnabled(false);
            ClosePreparingWindow();
            Wait(1500);
            PermitClose();
            Close();
        }
        --ProgressPercent;
        return;
    }
    if (ProgressPercent == 100) RemoveInstallation();
    ++ProgressPercent;
}

void TfrmUninstall::RemoveInstallation() {
    FRemoving = true;
    btnCancel->Hide();
    timProgress->SetEnabled(false);
    // A process cannot remove the folder it works in: this one works in its own.
    SetCurrentDirectoryA(ExtractFilePath(Application->ExeName()).c_str());
    // A folder that lost its program keeps its files, but its list still takes setup's shortcuts away.
    const std::string List = UninstallListOf(ParamStr(1));

    lblMessage->SetCaption(kRemovingShortcuts);
    Application->ProcessMessages();
    if (!List.empty()) RemoveShortcuts(List);
    Wait(2000);

    lblMessage->SetCaption(kRemovingEntries);
    Application->ProcessMessages();
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
    Wait(2000);

    // The first process runs Uninstall.exe from the folder: it ends before the files go.
    lblMessage->SetCaption(kFinishing);
    Application->ProcessMessages();
    ClosePreparingWindow();
    Wait(4000);

    lblMessage->SetCaption(RemoveProgramFiles(ParamStr(1)));
    SetCaption(kCompleteCaption);
    PermitClose();
    btnOK->Show();
}

// Only before the removal: a click that arrives while it runs (its waits turn the message loop) does
// nothing, so the count neither restarts nor runs back.
void TfrmUninstall::btnCancelClick(TObject*) {
    if (FRemoving || Cancelled) return;
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
