// Confirms the uninstall and starts the temporary copy of the program that does it.
#pragma once

#include "Forms.h"

class TfrmPreparingUninstall : public TForm {
public:
    explicit TfrmPreparingUninstall(TComponent* Owner);
};

extern TfrmPreparingUninstall* frmPreparingUninstall;
extern const char* const kPreparingCaption;
