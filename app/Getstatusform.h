// Runs each request of the gallery and shows its progress.
#pragma once

#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"

class TfrmGetStatus : public TForm {
public:
    explicit TfrmGetStatus(TComponent* Owner);
    // Components
    TPanel* pnlProgress;  // the progress bar: imgProgress grows over it, lblProgress gives the percentage
    TImage* imgProgress;
    TLabel* lblProgress;
    TImage *imgTopBorder, *imgRightBorder, *imgBottomBorder, *imgLeftBorder;
    // Outcome of the last request, read after the dialog has closed
    bool CloseGallery = false, Aborted = false, InternetProblem = false;
};

extern TfrmGetStatus* frmGetStatus;
