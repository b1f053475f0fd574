// Recommends Velmora to a friend by e-mail through the web site.
#pragma once

#include <string>

#include "ExtCtrls.h"
#include "Forms.h"
#include "NMHTTP.h"
#include "StdCtrls.h"

class TfrmTell : public TForm {
public:
    explicit TfrmTell(TComponent* Owner);
    // Components
    TLabel *lblTitle, *lblFriendEmail, *lblYourName, *lblYourEmail, *lblMessage;
    TEdit *txtFriendEmail, *txtYourName, *txtYourEmail;
    TMemo* memMessage;
    TButton *btnSubmit, *btnCancel;
    TNMHTTP* http;
    TImage *imgTopBorder, *imgRightBorder, *imgBottomBorder, *imgLeftBorder;
    // The request body of the last accepted submit.
    std::string TellData;
    // From the application data: a closed-message and where the request goes.
    std::string TellClosedMsg, TellUrl;
    // The request ended with the client's success event.
    bool TellDone = false;

    // Event handlers
    void FormShow(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void txtYourNameKeyPress(TObject* Sender, char& Key);
    void memMessageEnter(TObject* Sender);
    void btnSubmitClick(TObject* Sender);
    void httpSuccess(CmdType Cmd);
};

extern TfrmTell* frmTell;
