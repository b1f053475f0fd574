// The uninstaller proper: removes the shortcuts, the uninstall entry and the installed files.
#pragma once

#include "Forms.h"

class TfrmUninstall : public TForm {
public:
    explicit TfrmUninstall(TComponent* Owner);
};

extern TfrmUninstall* frmUninstall;
extern const char* const kUninstallingCaption;
