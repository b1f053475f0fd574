// The agreement a user accepts before telling a friend.
#pragma once

#include "ExtCtrls.h"
#include "Forms.h"

class TfrmTellTerms : public TForm {
public:
    explicit TfrmTellTerms(TComponent* Owner);
    // Components
    TImage *imgTopBorder, *imgRightBorder, *imgBottomBorder, *imgLeftBorder;
};

extern TfrmTellTerms* frmTellTerms;
