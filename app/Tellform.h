// Recommends Velmora to a friend by e-mail through the web site.
#pragma once

#include "ExtCtrls.h"
#include "Forms.h"

class TfrmTell : public TForm {
public:
    explicit TfrmTell(TComponent* Owner);
    // Components
    TImage *imgTopBorder, *imgRightBorder, *imgBottomBorder, *imgLeftBorder;
};

extern TfrmTell* frmTell;
