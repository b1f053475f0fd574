// The uninstaller proper, run as the temporary copy vlmuntmp0.exe: after a count it may still be
// cancelled, it removes the shortcuts, the uninstall entry and the installed files.
#pragma once

#include <string>

#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "Uninstallwindow.h"

class TfrmUninstall : public TUninstallWindow {
public:
    explicit TfrmUninstall(TComponent* Owner);
    // Components
    TLabel* lblMessage;
    TButton *btnCancel, *btnOK;
    bool Cancelled = false;  // the bar runs back

    // Event handlers
    void FormCreate(TObject* Sender);
    void FormActivate(TObject* Sender);
    void timProgressTimer(TObject* Sender);
    void btnCancelClick(TObject* Sender);
    void btnOKClick(TObject* Sender);

private:
    void RemoveInstallation();
    bool FStarted = false;
    bool FRemoving = false;  // the removal has begun: Cancel comes too late
};

// Closes the preparing window of the first process, waiting a bounded time for it to answer.
void ClosePreparingWindow();

extern TfrmUninstall* frmUninstall;
