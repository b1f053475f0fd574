// Runs each request of the gallery and shows its progress.
#pragma once

#include "ExtCtrls.h"
#include "Forms.h"

class TfrmGetStatus : public TForm {
public:
    explicit TfrmGetStatus(TComponent* Owner);
    // Components
    TImage *imgTopBorder, *imgRightBorder, *imgBottomBorder, *imgLeftBorder;
    // Outcome of the last request, read after the dialog has closed
    bool CloseGallery = false, Aborted = false, InternetProblem = false;
};

extern TfrmGetStatus* frmGetStatus;
