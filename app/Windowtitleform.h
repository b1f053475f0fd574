// Changes the title of the Internet Explorer window.
#pragma once

#include "ExtCtrls.h"
#include "Forms.h"

class TfrmWindowTitle : public TForm {
public:
    explicit TfrmWindowTitle(TComponent* Owner);
    // Components
    TImage *imgTopBorder, *imgRightBorder, *imgBottomBorder, *imgLeftBorder;
};

extern TfrmWindowTitle* frmWindowTitle;
