// The shape both uninstall windows share: black, on top of the others, no system menu, the magenta
// bar that timProgress moves every 50 ms, and a close that is refused until the window allows it.
#pragma once

#include <windows.h>

#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"

class TUninstallWindow : public TForm {
public:
    // Components
    TPanel* pnlProgress;
    TImage* imgProgress;
    TShape* shpProgressBorder;
    TLabel* lblProgress;  // "N%"; its width is the bar's full width
    TTimer* timProgress;  // disabled at creation
    bool AllowClose = false;

    // Event handlers
    void FormCloseQuery(TObject* Sender, bool& CanClose);

protected:
    TUninstallWindow(TComponent* Owner, const TFormLayout& Layout, int BarLeft, int BarTop);
    // From FormCreate: the system menu emptied, so that it offers no Close; Caption; the bar at 0 %.
    void Prepare(const char* Caption);
    void ShowProgress(int Percent);
    // A step that blocks the window for Milliseconds; what the user did meanwhile is dropped.
    void Wait(DWORD Milliseconds);
    // From now on the window may close. What the user did while the last step blocked it goes first:
    // a queued Alt+F4, or a click where a button stood, would close it before its message was read.
    void PermitClose();
};
