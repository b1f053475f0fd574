// Recommends Velmora to a friend by e-mail through the web site.
#pragma once

#include <string>

#include "ExtCtrls.h"
#include "Forms.h"

class TfrmTell : public TForm {
public:
    explicit TfrmTell(TComponent* Owner);
    // Components
    TImage *imgTopBorder, *imgRightBorder, *imgBottomBorder, *imgLeftBorder;
    // From the application data: a closed-message and where the request goes.
    std::string TellClosedMsg, TellUrl;
};

extern TfrmTell* frmTell;
