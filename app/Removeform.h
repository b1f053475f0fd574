// "Remove Skin": takes the skin away from the toolbars as it opens and shows the outcome.
#pragma once

#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"

class TfrmRemove : public TForm {
public:
    explicit TfrmRemove(TComponent* Owner);
    // Components
    TLabel* lblRemove;
    TButton* btnOK;
    TImage *imgTopBorder, *imgRightBorder, *imgBottomBorder, *imgLeftBorder;

    // Event handlers
    void FormShow(TObject* Sender);
};

extern TfrmRemove* frmRemove;
