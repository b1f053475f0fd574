// The about box, with a link to online help.
#pragma once

#include "ExtCtrls.h"
#include "Forms.h"

class TfrmAbout : public TForm {
public:
    explicit TfrmAbout(TComponent* Owner);
    // Components
    TImage *imgTopBorder, *imgRightBorder, *imgBottomBorder, *imgLeftBorder;
};

extern TfrmAbout* frmAbout;
