// The about box, with a link to online help.
#pragma once

#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"

class TfrmAbout : public TForm {
public:
    explicit TfrmAbout(TComponent* Owner);
    // Components
    TImage *imgIcon, *imgIcon2;
    TLabel *lblAppTitle, *lblVersion, *lblHelp;
    TButton *btnOnlineSupport, *btnOk;
    TImage *imgTopBorder, *imgRightBorder, *imgBottomBorder, *imgLeftBorder;

    // Event handlers
    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void btnOnlineSupportClick(TObject* Sender);
};

extern TfrmAbout* frmAbout;
