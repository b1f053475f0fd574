// Runs the tell-a-friend request and shows the server's reply.
#pragma once

#include "ExtCtrls.h"
#include "Forms.h"

class TfrmTellStatus : public TForm {
public:
    explicit TfrmTellStatus(TComponent* Owner);
    // Components
    TImage *imgTopBorder, *imgRightBorder, *imgBottomBorder, *imgLeftBorder;
    // Outcome of the last request, read after the dialog has closed
    bool Aborted = false, InternetProblem = false;
};

extern TfrmTellStatus* frmTellStatus;
