// Runs each request of the gallery and shows its progress.
#pragma once

#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"

class TfrmGetStatus : public TForm {
public:
    explicit TfrmGetStatus(TComponent* Owner);
    // Components
    TLabel* lblStatus;
    TShape* shpProgressBorder;
    TPanel* pnlProgress;  // the progress bar: imgProgress grows over it, lblProgress gives the percentage
    TImage* imgProgress;
    TLabel* lblProgress;
    TButton* btnClose;  // "&OK", in the place of btnAbort
    TButton* btnAbort;
    TTimer* timClose;
    TImage *imgTopBorder, *imgRightBorder, *imgBottomBorder, *imgLeftBorder;
    // Outcome of the last request, read after the dialog has closed
    bool CloseGallery = false, Aborted = false, InternetProblem = false;

    // Event handlers
    void FormShow(TObject* Sender);
    void FormActivate(TObject* Sender);  // runs the gallery's pending request
    void btnAbortClick(TObject* Sender);
    void btnCloseClick(TObject* Sender);
    void timCloseTimer(TObject* Sender);

private:
    void RunConnect();
    void RunCategory();
    void RunPage();
    void RunSkin();
    // The two ways a request ends: waiting on "&OK", or closing at the next timer tick.
    void FinishWithMessage();
    void CloseSoon();
    // Ends a request whose download error the gallery recorded: the gallery closes, the program restarts.
    void FailWithRequestError();
    bool FRunPending = false;  // set by each showing, so the request runs once however often we are activated
};

extern TfrmGetStatus* frmGetStatus;
