// Changes the system colours of button and menu text and faces.
#pragma once

#include "ExtCtrls.h"
#include "Forms.h"

class TfrmTextColor : public TForm {
public:
    explicit TfrmTextColor(TComponent* Owner);
    // Components
    TImage *imgTopBorder, *imgRightBorder, *imgBottomBorder, *imgLeftBorder;
};

extern TfrmTextColor* frmTextColor;
