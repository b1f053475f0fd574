// The agreement a submitter accepts.
#pragma once

#include "ExtCtrls.h"
#include "Forms.h"

class TfrmSubmitTerms : public TForm {
public:
    explicit TfrmSubmitTerms(TComponent* Owner);
    // Components
    TImage *imgTopBorder, *imgRightBorder, *imgBottomBorder, *imgLeftBorder;
};

extern TfrmSubmitTerms* frmSubmitTerms;
