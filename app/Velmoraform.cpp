#include "Velmoraform.h"

#include <mmsystem.h>
#include <shellapi.h>

#include "Aboutform.h"
#include "Delayload.h"
#include "Getform.h"
#include "Getstatusform.h"
#include "Globalfunctions.h"
#include "Keyvaluetext.h"
#include "Removeform.h"
#include "Selectform.h"
#include "Submitform.h"
#include "Submitstatusform.h"
#include "Tellform.h"
#include "Tellstatusform.h"
#include "Textcolorform.h"
#include "Velmoracolors.h"
#include "Windowtitleform.h"

TfrmVelmora* frmVelmora = nullptr;
bool AppDataPending = false, AppDataReceived = false;
const char* const kMainWindowCaption = "Velmora! Version 3.1";

namespace {
const TFormLayout kLayout{"Velmora!", 416, 356, kPurple, bsSingle, biSystemMenu | biMinimize, poScreenCenter};

// The nine buttons, top to bottom; each picture's resource is named after its component.
struct TMenuButton {
    const char* Name;
    TImage* TfrmVelmora::*Normal;
    TImage* TfrmVelmora::*Lit;
    TRect Bounds;
};
const TMenuButton kMenuButtons[] = {
    {"Get", &TfrmVelmora::imgGet1, &TfrmVelmora::imgGet2, Bounds(8, 4, 400, 40)},
    {"Select", &TfrmVelmora::imgSelect1, &TfrmVelmora::imgSelect2, Bounds(8, 48, 400, 40)},
    {"TextColor", &TfrmVelmora::imgTextColor1, &TfrmVelmora::imgTextColor2, Bounds(8, 92, 400, 40)},
    {"Change", &TfrmVelmora::imgChange1, &TfrmVelmora::imgChange2, Bounds(8, 136, 400, 40)},
    {"Submit", &TfrmVelmora::imgSubmit1, &TfrmVelmora::imgSubmit2, Bounds(8, 180, 400, 40)},
    {"Tell", &TfrmVelmora::imgTell1, &TfrmVelmora::imgTell2, Bounds(8, 224, 400, 40)},
    {"Remove", &TfrmVelmora::imgRemove1, &TfrmVelmora::imgRemove2, Bounds(8, 268, 400, 40)},
    {"Help", &TfrmVelmora::imgHelp1, &TfrmVelmora::imgHelp2, Bounds(8, 312, 197, 40)},
    {"Exit", &TfrmVelmora::imgExit1, &TfrmVelmora::imgExit2, Bounds(211, 312, 197, 40)},
};

const char* const kLowColorWarning =
    "Warning!  You are using less than 16 bit color.  The images in this program may not display properly.\n\n"
    "Please adjust your display settings to 16 bit color or higher.";
const char* const kRemoveQuestion = "Are you sure you want to remove your skin?";
const char* const kAppDataPath = "/programs/velmora3/application/appdata.txt";
const char* const kErrorCaption = "Velmora! - Error";
const char* const kInternetProblem =
    "An internet problem has occurred.\n\nVelmora will now close and automatically reopened.";
// SND_RESOURCE | SND_ASYNC | SND_NOWAIT: a busy sound driver skips the click rather than waits.
constexpr DWORD kHoverSoundFlags = SND_RESOURCE | SND_ASYNC | SND_NOWAIT;
}  // namespace

TfrmVelmora::TfrmVelmora(TComponent* Owner) : TForm(Owner) {
    ApplyLayout(kLayout);
    const HINSTANCE Instance = Application->Instance();
    auto AddPicture = [&](const std::string& ComponentName, const TRect& Bounds, bool Visible) {
        TImage* Image = CreateControl<TImage>(this, this, ComponentName, Bounds);
        Image->SetStretch(true);
        Image->SetVisible(Visible);
        Image->Picture.LoadFromResourceName(Instance, AnsiUpperCase(ComponentName));
        return Image;
    };
    for (const TMenuButton& Button : kMenuButtons)
        this->*Button.Normal = AddPicture(std::string("img") + Button.Name + "1", Button.Bounds, true);
    for (const TMenuButton& Button : kMenuButtons)
        this->*Button.Lit = AddPicture(std::string("img") + Button.Name + "2", Button.Bounds, false);
    shpCover = CreateControl<TShape>(this, this, "shpCover", TRect{});
    shpCover->SetAlign(alClient);
    shpCover->Brush.Color = clBlack;
    shpCover->Brush.Style = bsDiagCross;
    shpCover->SetVisible(false);
    http = new TNMHTTP(this);
    http->Name = "http";
    AppDataAddress = WebSiteAddress(kAppDataPath);

    OnCreate = [this](TObject* S) { FormCreate(S); };
    OnActivate = [this](TObject* S) { FormActivate(S); };
    http->OnSuccess = [this](CmdType Cmd) { httpSuccess(Cmd); };
    OnCloseQuery = [this](TObject* S, bool& CanClose) { FormCloseQuery(S, CanClose); };
    OnMouseMove = [this](TObject* S, TShiftState Shift, int X, int Y) { FormMouseMove(S, Shift, X, Y); };
    for (const TMenuButton& Button : kMenuButtons) {
        (this->*Button.Normal)->OnMouseMove = [this](TObject* S, TShiftState Shift, int X, int Y) {
            ImageMouseMove(S, Shift, X, Y);
        };
        (this->*Button.Lit)->OnClick = [this](TObject* S) { ImageClick(S); };
    }
}

void TfrmVelmora::FormCreate(TObject*) {
    Screen->Cursors[kHandCursor] = LoadCursorA(Application->Instance(), "HAND_POINT");
    for (const TMenuButton& Button : kMenuButtons) {
        (this->*Button.Normal)->Cursor = kHandCursor;
        (this->*Button.Lit)->Cursor = kHandCursor;
    }
    SetCaption(kMainWindowCaption);
}

int TfrmVelmora::ScreenColorBits() {
    HDC DC = GetDC(Handle());
    const int Bits = GetDeviceCaps(DC, BITSPIXEL) * GetDeviceCaps(DC, PLANES);
    ReleaseDC(Handle(), DC);
    return Bits;
}

void TfrmVelmora::FormActivate(TObject*) {
    if (FActivatedBefore) return;
    FActivatedBefore = true;
    // 15, not 16: a 15-bit display shows the pictures well enough.
    if (ScreenColorBits() < 15) Application->MessageBox(kLowColorWarning, Application->Title, MB_ICONERROR, Handle());
    CheckForHotbar(Handle());
}

void TfrmVelmora::FormCloseQuery(TObject*, bool& CanClose) {
    http->Abort();
    CanClose = true;
}

void TfrmVelmora::HideHoverImages() {
    for (const TMenuButton& Button : kMenuButtons) (this->*Button.Lit)->Hide();
}

void TfrmVelmora::FormMouseMove(TObject*, TShiftState, int, int) { HideHoverImages(); }

// The lit twin covers its normal picture and has no mouse-move handler of its own, so this runs
// once each time the pointer enters a button.
void TfrmVelmora::ImageMouseMove(TObject* Sender, TShiftState, int, int) {
    HideHoverImages();
    for (const TMenuButton& Button : kMenuButtons)
        if (Sender == this->*Button.Normal) (this->*Button.Lit)->Show();
    Delayload::PlaySoundA("MAIN", Application->Instance(), kHoverSoundFlags);
}

void TfrmVelmora::ImageClick(TObject* Sender) {
    if (Sender == imgExit2) {
        Close();
        return;
    }
    shpCover->Show();
    Application->ProcessMessages();  // paints the cover before the feature window opens
    if (Sender == imgGet2) {
        frmGet->ShowModal();
        if (frmGetStatus->InternetProblem) RestartAfterInternetProblem();
    } else if (Sender == imgSelect2) {
        frmSelect->ShowModal();
    } else if (Sender == imgSubmit2) {
        frmSubmit->ShowModal();
        if (frmSubmitStatus->InternetProblem) RestartAfterInternetProblem();
    } else if (Sender == imgTell2) {
        frmTell->ShowModal();
        if (frmTellStatus->InternetProblem) RestartAfterInternetProblem();
    } else if (Sender == imgChange2) {
        frmWindowTitle->ShowModal();
    } else if (Sender == imgRemove2) {
        if (Application->MessageBox(kRemoveQuestion, Application->Title, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2,
                                    Handle()) == IDYES)
            frmRemove->ShowModal();
    } else if (Sender == imgTextColor2) {
        frmTextColor->ShowModal();
    } else if (Sender == imgHelp2) {
        frmAbout->ShowModal();
    }
    shpCover->Hide();
}

// The new process passes the single-instance check because this window no longer bears the main
// caption, even while this process is still closing.
void TfrmVelmora::RestartAfterInternetProblem() {
    SetCaption(kErrorCaption);
    Application->MessageBox(kInternetProblem, Application->Title, MB_ICONINFORMATION, Handle());
    Hide();
    Delayload::ShellExecuteA(nullptr, "open", Application->ExeName().c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    Close();
}

void TfrmVelmora::httpSuccess(CmdType) {
    if (AppDataPending) AppDataReceived = true;
}

// The status dialogs' Abort aborts http, which ends the Get below with an exception: then the
// success event has not fired and nothing changes.
bool TfrmVelmora::LoadAppData() {
    AppDataReceived = false;
    AppDataPending = true;
    try {
        http->InputFileMode = false;
        http->MaxBody = kMaxKeyValueTextBytes;
        http->Get(AppDataAddress);
    } catch (const std::exception&) {
        // No connection, a refused or cut reply, an abort: not received.
    }
    if (!AppDataReceived) return false;
    const std::string Data = http->Body;
    const std::pair<const char*, std::string*> Fields[] = {
        {"GETCLOSED_MSG", &frmGet->GetClosedMsg},        {"REGISTERED_CATLIST", &frmGet->CatListUrl},
        {"SUBMITCLOSED_MSG", &frmSubmit->SubmitClosedMsg}, {"SUBMIT_CGI", &frmSubmit->SubmitUrl},
        {"FTP_HOST", &frmSubmit->FtpHost},               {"FTP_USERID", &frmSubmit->FtpUserId},
        {"FTP_PASSWORD", &frmSubmit->FtpPassword},       {"FTP_PORT", &frmSubmit->FtpPort},
        {"FTP_DIRECTORY", &frmSubmit->FtpDirectory},     {"TELLCLOSED_MSG", &frmTell->TellClosedMsg},
        {"TELL_CGI", &frmTell->TellUrl},
    };
    for (const auto& Field : Fields) *Field.second = GetKeyValue(Data, Field.first, 0);
    return true;
}
