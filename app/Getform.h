// The online gallery: categories and pages of three skins to apply.
#pragma once

#include <string>

#include "ExtCtrls.h"
#include "Forms.h"

class TfrmGet : public TForm {
public:
    explicit TfrmGet(TComponent* Owner);
    // Components
    TImage* imgIE;  // the apply frame, laid over the preview under the pointer
    // From the application data: a closed-message and the address of the category list.
    std::string GetClosedMsg, CatListUrl;
};

extern TfrmGet* frmGet;
