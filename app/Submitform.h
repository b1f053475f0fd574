// Sends a skin of the user's to the gallery.
#pragma once

#include <string>

#include "ExtCtrls.h"
#include "Forms.h"

class TfrmSubmit : public TForm {
public:
    explicit TfrmSubmit(TComponent* Owner);
    // Components
    TImage *imgTopBorder, *imgRightBorder, *imgBottomBorder, *imgLeftBorder;
    // From the application data: a closed-message and where a submission goes.
    std::string SubmitClosedMsg, SubmitUrl, FtpHost, FtpUserId, FtpPassword, FtpPort, FtpDirectory;
};

extern TfrmSubmit* frmSubmit;
