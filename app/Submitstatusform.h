// Runs the upload and request of a skin submission.
#pragma once

#include "ExtCtrls.h"
#include "Forms.h"

class TfrmSubmitStatus : public TForm {
public:
    explicit TfrmSubmitStatus(TComponent* Owner);
    // Components
    TImage *imgTopBorder, *imgRightBorder, *imgBottomBorder, *imgLeftBorder;
    // Outcome of the last request, read after the dialog has closed
    bool Aborted = false, InternetProblem = false;
};

extern TfrmSubmitStatus* frmSubmitStatus;
