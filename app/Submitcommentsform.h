// Comments that go with a submitted skin.
#pragma once

#include "ExtCtrls.h"
#include "Forms.h"

class TfrmSubmitComments : public TForm {
public:
    explicit TfrmSubmitComments(TComponent* Owner);
    // Components
    TImage *imgTopBorder, *imgRightBorder, *imgBottomBorder, *imgLeftBorder;
};

extern TfrmSubmitComments* frmSubmitComments;
