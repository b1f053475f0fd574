// The shape the two agreement dialogs share: a black dialog that covers the form it was opened
// from, with the terms in a read-only memo between two lines of yellow text, and "&OK" and
// "&Cancel". Only "&OK" (mrOk) accepts.
#pragma once

#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"

class TTermsDialog : public TForm {
public:
    // Components
    TLabel *lblTopMessage, *lblBottomMessage;
    TMemo* memTerms;
    TButton *btnOk, *btnCancel;
    TImage *imgTopBorder, *imgRightBorder, *imgBottomBorder, *imgLeftBorder;

    // Event handlers
    void FormShow(TObject* Sender);

    struct TTermsLayout {
        TFormLayout Form;
        const char* TopMessage;
        const char* Terms;
        bool CancelFirst;  // "&Cancel" comes first in the tab order, and so has the focus
    };

protected:
    TTermsDialog(TComponent* Owner, const TTermsLayout& Layout);
    // The form the dialog covers exactly.
    virtual TForm* Covered() const = 0;
};
