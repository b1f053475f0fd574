// The agreement a user accepts before telling a friend.
#pragma once

#include "Termsdialog.h"

class TfrmTellTerms : public TTermsDialog {
public:
    explicit TfrmTellTerms(TComponent* Owner);

protected:
    TForm* Covered() const override;
};

extern TfrmTellTerms* frmTellTerms;
