// Comments that go with a submitted skin.
#pragma once

#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"

class TfrmSubmitComments : public TForm {
public:
    explicit TfrmSubmitComments(TComponent* Owner);
    // Components
    TLabel* lblAdditionalComments;
    TMemo* memComments;
    TButton* btnOk;
    TImage *imgTopBorder, *imgRightBorder, *imgBottomBorder, *imgLeftBorder;

    // Event handlers
    void FormShow(TObject* Sender);
};

extern TfrmSubmitComments* frmSubmitComments;
