// Takes the current skin away from the toolbars.
#pragma once

#include "ExtCtrls.h"
#include "Forms.h"

class TfrmRemove : public TForm {
public:
    explicit TfrmRemove(TComponent* Owner);
    // Components
    TImage *imgTopBorder, *imgRightBorder, *imgBottomBorder, *imgLeftBorder;
};

extern TfrmRemove* frmRemove;
