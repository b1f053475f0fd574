// The folder picker of the custom setup page.
#pragma once

#include "Forms.h"

class TfrmDirectory : public TForm {
public:
    explicit TfrmDirectory(TComponent* Owner);
};

extern TfrmDirectory* frmDirectory;
