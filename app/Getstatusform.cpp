#include "Getstatusform.h"

#include "Borderpictures.h"
#include "Getform.h"
#include "Globalfunctions.h"
#include "Velmoraform.h"

TfrmGetStatus* frmGetStatus = nullptr;

namespace {
const TFormLayout kLayout{"Get Skins Status", 315, 220, clBlack, bsNone, 0, poDesigned};
const TRect kStatusBounds = Bounds(20, 20, 275, 145);
const TRect kProgressBorderBounds = Bounds(25, 141, 265, 19);
const TRect kProgressBounds = Bounds(26, 142, 263, 17);  // just inside the yellow frame
const TRect kButtonBounds = Bounds(111, 169, 93, 29);    // "&Abort" and "&OK" share it
constexpr int kRaise = 30;  // the dialog sits this much above the gallery's centre

const char* const kDownloadingAppData = "Downloading application data\n\nPlease Wait...";
const char* const kAppDataError = "Error downloading application data!\n\nPlease try again later.";
const char* const kConnecting = "Connecting to Skin Gallery\n\nPlease Wait...";
const char* const kCategoryListError = "Error downloading category list!\n\nPlease try again later";
const char* const kCategoryError = "Error changing category!";
const char* const kSkinApplied = "Your new skin has been applied.\n\nClick OK";
const char* const kSkinError = "Error! Skin could not be applied.";
const char* const kAborted = "Action Aborted!";
const char* const kRequestError = "Error processing request!\n";
}  // namespace

TfrmGetStatus::TfrmGetStatus(TComponent* Owner) : TForm(Owner) {
    ApplyLayout(kLayout);
    AddBorderPictures(this, imgTopBorder, imgRightBorder, imgBottomBorder, imgLeftBorder);
    lblStatus = CreateControl<TLabel>(this, this, "lblStatus", kStatusBounds);
    lblStatus->AutoSize = false;
    lblStatus->WordWrap = true;
    lblStatus->Alignment = taCenter;
    lblStatus->Layout = tlCenter;
    lblStatus->Font.Name = "MS Sans Serif";
    lblStatus->Font.Height = 16;
    lblStatus->Font.Style = fsBold;
    lblStatus->Font.Color = clYellow;
    shpProgressBorder = CreateControl<TShape>(this, this, "shpProgressBorder", kProgressBorderBounds);
    shpProgressBorder->Brush.Style = bsClear;
    shpProgressBorder->Pen.Color = clYellow;
    shpProgressBorder->SetVisible(false);
    pnlProgress = CreateControl<TPanel>(this, this, "pnlProgress", kProgressBounds);
    pnlProgress->BevelOuter = TPanel::bvNone;
    pnlProgress->Color = clBlack;
    pnlProgress->SetVisible(false);
    imgProgress = CreateControl<TImage>(this, pnlProgress, "imgProgress", Bounds(0, 0, 0, kProgressBounds.Height()));
    imgProgress->SetStretch(true);
    imgProgress->Picture.LoadFromResourceName(Application->Instance(), "PROGRESSBAR");
    lblProgress = CreateControl<TLabel>(this, pnlProgress, "lblProgress",
                                        Bounds(0, 0, kProgressBounds.Width(), kProgressBounds.Height()));
    lblProgress->AutoSize = false;
    lblProgress->Transparent = true;
    lblProgress->Alignment = taCenter;
    lblProgress->Layout = tlCenter;
    lblProgress->Font.Name = "Arial";
    lblProgress->Font.Height = 13;
    lblProgress->Font.Style = fsBold;
    lblProgress->Font.Color = clWhite;
    lblProgress->SetCaption("0%");
    btnClose = CreateControl<TButton>(this, this, "btnClose", kButtonBounds);
    btnClose->SetCaption("&OK");
    btnClose->SetVisible(false);
    btnAbort = CreateControl<TButton>(this, this, "btnAbort", kButtonBounds);
    btnAbort->SetCaption("&Abort");
    btnAbort->SetVisible(false);
    timClose = new TTimer(this);
    timClose->Name = "timClose";
    timClose->SetEnabled(false);
    timClose->SetInterval(1);

    OnShow = [this](TObject* S) { FormShow(S); };
    OnActivate = [this](TObject* S) { FormActivate(S); };
    btnAbort->OnClick = [this](TObject* S) { btnAbortClick(S); };
    btnClose->OnClick = [this](TObject* S) { btnCloseClick(S); };
    timClose->OnTimer = [this](TObject* S) { timCloseTimer(S); };
}

void TfrmGetStatus::FormShow(TObject*) {
    CentreOverClientArea(this, frmGet, kRaise);
    CloseGallery = InternetProblem = Aborted = false;
    timClose->SetEnabled(false);
    lblStatus->SetCaption("");
    btnClose->Hide();
    btnAbort->Show();
    shpProgressBorder->Hide();
    pnlProgress->Hide();
    imgProgress->SetWidth(0);
    lblProgress->SetCaption("0%");
    FRunPending = true;
}

void TfrmGetStatus::FormActivate(TObject*) {
    if (!FRunPending) return;
    FRunPending = false;
    // Paints the dialog before the downloads block.
    Application->ProcessMessages();
    if (frmGet->ReqConnect)
        RunConnect();
    else if (frmGet->ReqCategory)
        RunCategory();
    else if (frmGet->ReqPage)
        RunPage();
    else if (frmGet->ReqSkin)
        RunSkin();
}

// Each download below keeps the message loop turning: Abort may run inside it, and then has already
// written "Action Aborted!" and shown "&OK". So no failure text is written once Aborted is set.
void TfrmGetStatus::RunConnect() {
    lblStatus->SetCaption(kDownloadingAppData);
    if (!frmVelmora->LoadAppData()) {
        if (!Aborted) lblStatus->SetCaption(kAppDataError);
        CloseGallery = InternetProblem = true;
        FinishWithMessage();
        return;
    }
    if (!frmGet->GetClosedMsg.empty()) {
        lblStatus->SetCaption(frmGet->GetClosedMsg);
        CloseGallery = true;
        FinishWithMessage();
        return;
    }
    std::string Message;
    if (!Aborted && !InternetProblem) {
        lblStatus->SetCaption(kConnecting);
        if (!frmGet->LoadCategoryList())
            Message = kCategoryListError;
        else if (!frmGet->LoadCategory(frmGet->CategoryIndex))
            Message = kCategoryError;
        else
            frmGet->ShowGalleryPage(1);  // a preview that fails here only leaves its slot empty
    }
    if (Message.empty() && !Aborted) {
        CloseSoon();
        return;
    }
    if (Aborted)
        InternetProblem = true;  // the gallery cannot open half connected
    else
        lblStatus->SetCaption(Message);
    CloseGallery = true;
    FinishWithMessage();
}

void TfrmGetStatus::RunCategory() {
    frmGet->RequestError = false;
    if (frmGet->LoadCategory(frmGet->CategoryIndex)) {
        frmGet->ShowGalleryPage(1);
        if (frmGet->RequestError)
            FailWithRequestError();
        else
            CloseSoon();  // also after an abort during the previews
    } else if (frmGet->RequestError) {
        FailWithRequestError();
    } else {
        if (!Aborted) lblStatus->SetCaption(kCategoryError);
        frmGet->CategoryIndex = frmGet->PrevCategoryIndex;
        FinishWithMessage();
    }
}

void TfrmGetStatus::RunPage() {
    frmGet->RequestError = false;
    frmGet->ShowGalleryPage(frmGet->PageNumber);
    if (frmGet->RequestError)
        FailWithRequestError();
    else if (!Aborted)
        CloseSoon();
}

void TfrmGetStatus::RunSkin() {
    shpProgressBorder->Show();
    pnlProgress->Show();
    frmGet->RequestError = false;
    bool Applied = false;
    try {
        Applied = frmGet->DownloadAndApplySkin(frmGet->SkinIndex);
    } catch (...) {
        // An empty height text fails its conversion: shown as any stray error is, then the request
        // ends as a skin that was not applied instead of leaving the dialog on "&Abort".
        Application->HandleException();
    }
    if (Applied) {
        if (frmGet->chkCloseExplorerWindows->Checked()) CloseExplorerWindows();
        lblStatus->SetCaption(kSkinApplied);
    } else if (frmGet->RequestError) {
        FailWithRequestError();
        return;
    } else if (!Aborted) {
        lblStatus->SetCaption(kSkinError);
    }
    FinishWithMessage();
}

void TfrmGetStatus::FinishWithMessage() {
    btnAbort->Hide();
    btnClose->Show();
    FocusControl(btnClose);
}

void TfrmGetStatus::CloseSoon() { timClose->SetEnabled(true); }

void TfrmGetStatus::FailWithRequestError() {
    lblStatus->SetCaption(std::string(kRequestError) + "\nError: " + frmGet->RequestErrorText);
    CloseGallery = InternetProblem = true;
    FinishWithMessage();
}

// Runs inside a download that the runner waits on; that download returns once aborted.
void TfrmGetStatus::btnAbortClick(TObject*) {
    Aborted = true;
    frmGet->ResetRequests();
    frmGet->http->Abort();
    frmVelmora->http->Abort();
    lblStatus->SetCaption(kAborted);
    FinishWithMessage();
}

void TfrmGetStatus::btnCloseClick(TObject*) {
    if (lblStatus->Caption() == kSkinApplied) frmGet->OpenApplyUrl(frmGet->SkinIndex);
    Close();
}

void TfrmGetStatus::timCloseTimer(TObject*) {
    timClose->SetEnabled(false);
    Close();
}
