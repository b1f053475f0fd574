// The online gallery: categories and pages of three skins to apply.
#pragma once

#include "Forms.h"

class TfrmGet : public TForm {
public:
    explicit TfrmGet(TComponent* Owner);
};

extern TfrmGet* frmGet;
