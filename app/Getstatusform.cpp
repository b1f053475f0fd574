#include "Getstatusform.h"

#include "Borderpictures.h"
#include "Getform.h"
#include "Globalfunctions.h"
#include "Velmoraform.h"

TfrmGetStatus* frmGetStatus = nullptr;

namespace {
const TRect kProgressBorderBounds = Bounds(25, 141, 265, 19);
const TRect kProgressBounds = Bounds(26, 142, 263, 17);  // just inside the yellow frame
const TStatusDialog::TStatusLayout kLayout{
    {"Get Skins Status", 315, 220, clBlack, bsNone, 0, poDesigned},
    Bounds(20, 20, 275, 145),
    Bounds(111, 169, 93, 29),  // "&Abort" and "&OK" share it
    "&OK",
};
constexpr int kRaise = 30;  // the dialog sits this much above the gallery's centre

const char* const kConnecting = "Connecting to Skin Gallery\n\nPlease Wait...";
const char* const kCategoryListError = "Error downloading category list!\n\nPlease try again later";
const char* const kCategoryError = "Error changing category!";
const char* const kSkinApplied = "Your new skin has been applied.\n\nClick OK";
const char* const kSkinError = "Error! Skin could not be applied.";
}  // namespace

TfrmGetStatus::TfrmGetStatus(TComponent* Owner) : TStatusDialog(Owner, kLayout) {
    btnClose->Default = btnAbort->Default = true;  // Enter presses the one shown
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
    timClose = new TTimer(this);
    timClose->Name = "timClose";
    timClose->SetEnabled(false);
    timClose->SetInterval(1);

    btnClose->OnClick = [this](TObject* S) { btnCloseClick(S); };
    timClose->OnTimer = [this](TObject* S) { timCloseTimer(S); };
}

void TfrmGetStatus::PrepareRun() {
    CentreOverClientArea(this, frmGet, kRaise);
    CloseGallery = false;
    FConnecting = frmGet->ReqConnect;
    FChangingCategory = !FConnecting && frmGet->ReqCategory;
    timClose->SetEnabled(false);
    lblStatus->SetCaption("");
    shpProgressBorder->Hide();
    pnlProgress->Hide();
    imgProgress->SetWidth(0);
    lblProgress->SetCaption("0%");
}

void TfrmGetStatus::Run() {
    if (frmGet->ReqConnect)
        RunConnect();
    else if (frmGet->ReqCategory)
        RunCategory();
    else if (frmGet->ReqPage)
        RunPage();
    else if (frmGet->ReqSkin)
        RunSkin();
}

// No failure text is written once Aborted is set: Abort has already said so.
void TfrmGetStatus::RunConnect() {
    lblStatus->SetCaption(kStatusDownloadingAppData);
    if (!frmVelmora->LoadAppData()) {
        if (!Aborted) lblStatus->SetCaption(kStatusAppDataError);
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

void TfrmGetStatus::CloseSoon() { timClose->SetEnabled(true); }

void TfrmGetStatus::FailWithRequestError() {
    lblStatus->SetCaption(std::string(kStatusRequestError) + "\nError: " + frmGet->RequestErrorText);
    CloseGallery = InternetProblem = true;
    FinishWithMessage();
}

void TfrmGetStatus::AbortTransfers() {
    frmGet->ResetRequests();
    frmGet->http->Abort();
    frmVelmora->http->Abort();
}

// As an abort during the request's first download: a connect closes the gallery and restarts the
// program, a category change keeps the category shown.
void TfrmGetStatus::AbortedBeforeRun() {
    if (FConnecting)
        CloseGallery = InternetProblem = true;
    else if (FChangingCategory)
        frmGet->CategoryIndex = frmGet->PrevCategoryIndex;
}

void TfrmGetStatus::btnCloseClick(TObject*) {
    if (lblStatus->Caption() == kSkinApplied) frmGet->OpenApplyUrl(frmGet->SkinIndex);
    Close();
}

void TfrmGetStatus::timCloseTimer(TObject*) {
    timClose->SetEnabled(false);
    Close();
}
