#include "Submitstatusform.h"

#include "Submitform.h"
#include "Velmoracolors.h"
#include "Velmoraform.h"
#include "Webtexts.h"

TfrmSubmitStatus* frmSubmitStatus = nullptr;

namespace {
const TStatusDialog::TStatusLayout kLayout{
    {"Skin Submit Status", 357, 309, kPurple, bsNone, 0, poDesigned},
    Bounds(20, 20, 317, 201),
    Bounds(131, 262, 95, 25),
    "&Close",
};
const char* const kConnecting = "Connecting To Server\n\nPlease Wait...";
const char* const kConnectError = "Error connecting to server!";
const char* const kUploading = "Uploading Skin\n\nPlease Wait...";
const char* const kUploadError = "Error uploading skin!";
const char* const kSending = "Sending Skin Information\n\nPlease Wait...";
const char* const kSendError = "Error sending skin information!";
}  // namespace

TfrmSubmitStatus::TfrmSubmitStatus(TComponent* Owner) : TStatusDialog(Owner, kLayout) {
    prgUpload = CreateControl<TProgressBar>(this, this, "prgUpload", Bounds(20, 230, 317, 17));
    prgUpload->SetPosition(100);
    btnClose->ModalResult = mrOk;
}

// The dialog covers the submit form exactly; the bar's maximum stays until the next upload's first packet.
void TfrmSubmitStatus::PrepareRun() {
    SetLeft(frmSubmit->Left());
    SetTop(frmSubmit->Top());
    prgUpload->SetPosition(0);
}

void TfrmSubmitStatus::Run() {
    lblStatus->SetCaption(kStatusDownloadingAppData);
    if (!frmVelmora->LoadAppData()) {
        InternetProblem = true;  // after an abort too: the program starts again
        Fail(kStatusAppDataError);
        return;
    }
    if (Aborted) return;
    if (!frmSubmit->SubmitClosedMsg.empty()) {
        Fail(frmSubmit->SubmitClosedMsg);
        return;
    }
    TNMFTP* Ftp = frmSubmit->ftp;
    Ftp->Host = frmSubmit->FtpHost;
    Ftp->UserID = frmSubmit->FtpUserId;
    Ftp->Password = frmSubmit->FtpPassword;
    // Only a port the site really names is used; an empty one keeps the port already set.
    if (!frmSubmit->FtpPort.empty() && !ParseFtpPort(frmSubmit->FtpPort, Ftp->Port)) {
        Fail(kConnectError);
        return;
    }
    lblStatus->SetCaption(kConnecting);
    if (!frmSubmit->ConnectToServer()) return Fail(kConnectError);
    if (Aborted) return Fail("");
    lblStatus->SetCaption(kUploading);
    if (!frmSubmit->UploadSkin()) return Fail(kUploadError);
    if (Aborted) return Fail("");
    lblStatus->SetCaption(kSending);
    if (!frmSubmit->SendSkinInfo()) return Fail(kSendError);
    // The server's own words, whatever they say; a reply that came before an abort still counts.
    lblStatus->SetCaption(Trim(frmSubmit->http->Body));
    FinishWithMessage();
}

void TfrmSubmitStatus::AbortTransfers() {
    frmSubmit->http->Abort();
    frmVelmora->http->Abort();
    frmSubmit->ftp->Abort();
}
