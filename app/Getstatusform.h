// Runs each request of the gallery and shows its progress.
#pragma once

#include "Statusdialog.h"

class TfrmGetStatus : public TStatusDialog {
public:
    explicit TfrmGetStatus(TComponent* Owner);
    // Components besides the status dialog's ("&OK" is btnClose)
    TShape* shpProgressBorder;
    TPanel* pnlProgress;  // the progress bar: imgProgress grows over it, lblProgress gives the percentage
    TImage* imgProgress;
    TLabel* lblProgress;
    TTimer* timClose;
    // Outcome of the last request besides Aborted and InternetProblem: the gallery closes.
    bool CloseGallery = false;

    // Event handlers
    void btnCloseClick(TObject* Sender);
    void timCloseTimer(TObject* Sender);

protected:
    void PrepareRun() override;
    void Run() override;  // the gallery's pending request
    void AbortTransfers() override;
    void AbortedBeforeRun() override;

private:
    // The request of this showing, as it was shown: an abort clears the gallery's request flags.
    bool FConnecting = false, FChangingCategory = false;
    void RunConnect();
    void RunCategory();
    void RunPage();
    void RunSkin();
    // Ends a request without waiting on "&OK": the dialog closes at the next timer tick.
    void CloseSoon();
    // Ends a request whose download error the gallery recorded: the gallery closes, the program restarts.
    void FailWithRequestError();
};

extern TfrmGetStatus* frmGetStatus;
