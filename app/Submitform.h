// Sends a skin of the user's to the gallery.
#pragma once

#include "ExtCtrls.h"
#include "Forms.h"

class TfrmSubmit : public TForm {
public:
    explicit TfrmSubmit(TComponent* Owner);
    // Components
    TImage *imgTopBorder, *imgRightBorder, *imgBottomBorder, *imgLeftBorder;
};

extern TfrmSubmit* frmSubmit;
