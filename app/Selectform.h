// Applies a picture from the user's own disk as the skin.
#pragma once

#include "ExtCtrls.h"
#include "Forms.h"

class TfrmSelect : public TForm {
public:
    explicit TfrmSelect(TComponent* Owner);
    // Components
    TImage *imgTopBorder, *imgRightBorder, *imgBottomBorder, *imgLeftBorder;
};

extern TfrmSelect* frmSelect;
