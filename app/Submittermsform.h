// The agreement a submitter accepts.
#pragma once

#include "Termsdialog.h"

class TfrmSubmitTerms : public TTermsDialog {
public:
    explicit TfrmSubmitTerms(TComponent* Owner);

protected:
    TForm* Covered() const override;
};

extern TfrmSubmitTerms* frmSubmitTerms;
