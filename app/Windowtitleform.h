// Changes the title of the Internet Explorer window.
#pragma once

#include <string>

#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"

class TfrmWindowTitle : public TForm {
public:
    explicit TfrmWindowTitle(TComponent* Owner);
    // Components
    TLabel* lblWindowTitle;
    TEdit* txtWindowTitle;
    TButton *btnOK, *btnCancel;
    TImage *imgTopBorder, *imgRightBorder, *imgBottomBorder, *imgLeftBorder;

    // The title Internet Explorer shows: the machine's, else the user's, else its own default.
    std::string ReadWindowTitle();
    // Stores the title under both roots where the key exists; creates nothing and reports nothing.
    void WriteWindowTitle(const std::string& Title);

    // Event handlers
    void FormShow(TObject* Sender);
    void btnOKClick(TObject* Sender);
    void txtWindowTitleKeyPress(TObject* Sender, char& Key);
};

extern TfrmWindowTitle* frmWindowTitle;
