#include "Tellstatusform.h"

#include "Tellform.h"
#include "Velmoracolors.h"
#include "Velmoraform.h"
#include "Webtexts.h"

TfrmTellStatus* frmTellStatus = nullptr;

namespace {
const TStatusDialog::TStatusLayout kLayout{
    {"Tell A Friend", 356, 275, kPurple, bsNone, 0, poDesigned},
    Bounds(20, 20, 316, 190),
    Bounds(131, 228, 95, 25),
    "&Close",
};
const char* const kSending = "Sending Email\n\nPlease Wait...";
}  // namespace

TfrmTellStatus::TfrmTellStatus(TComponent* Owner) : TStatusDialog(Owner, kLayout) { btnClose->ModalResult = mrOk; }

// The dialog covers the tell form exactly.
void TfrmTellStatus::PrepareRun() {
    SetLeft(frmTell->Left());
    SetTop(frmTell->Top());
}

void TfrmTellStatus::Run() {
    lblStatus->SetCaption(kStatusDownloadingAppData);
    if (!frmVelmora->LoadAppData()) {
        InternetProblem = true;  // after an abort too: the program starts again
        return Fail(kStatusAppDataError);
    }
    if (Aborted) return;
    if (!frmTell->TellClosedMsg.empty()) return Fail(frmTell->TellClosedMsg);
    lblStatus->SetCaption(kSending);
    frmTell->TellDone = false;
    try {
        frmTell->http->Put(frmTell->TellUrl, frmTell->TellData);
    } catch (const std::exception& E) {
        if (!Aborted) InternetProblem = true;
        return Fail(std::string(kStatusRequestError) + "\nError: " + E.what());
    }
    if (frmTell->TellDone) {
        if (!Aborted) lblStatus->SetCaption(Trim(frmTell->http->Body));
        return FinishWithMessage();
    }
    // The server answered, with an error status: no restart.
    Fail(std::string(kStatusRequestError) + "\nError: " + StatusLineOf(frmTell->http->Header));
}

void TfrmTellStatus::AbortTransfers() {
    frmTell->http->Abort();
    frmVelmora->http->Abort();
}
