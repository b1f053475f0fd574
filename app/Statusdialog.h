// The shape the status dialogs share: a status text, "&Abort" and in its place the button that
// ends the dialog, a request run once per showing from the activation handler, and the outcome
// flags that the opener reads after the dialog has closed.
#pragma once

#include <string>

#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"

class TStatusDialog : public TForm {
public:
    // Components
    TLabel* lblStatus;  // no accelerators: an '&' in a server's text shows as it is
    TButton* btnAbort;
    TButton* btnClose;  // in the place of btnAbort
    TImage *imgTopBorder, *imgRightBorder, *imgBottomBorder, *imgLeftBorder;
    TTimer* timStart;  // runs the request of a showing that Windows never activated
    // Outcome of the last showing
    bool Aborted = false, InternetProblem = false;

    // Event handlers
    void FormShow(TObject* Sender);
    void FormActivate(TObject* Sender);  // runs the request
    void btnAbortClick(TObject* Sender);
    void timStartTimer(TObject* Sender);
    LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;

    // How a status dialog is designed: the form, the status text's bounds, the place the two buttons
    // share and the caption of the closing one.
    struct TStatusLayout {
        TFormLayout Form;
        TRect Status, Button;
        const char* CloseCaption;
    };

protected:
    TStatusDialog(TComponent* Owner, const TStatusLayout& Layout);
    // Called by FormShow after the flags and buttons are reset: place the dialog, reset the rest.
    virtual void PrepareRun() = 0;
    // The request. Its blocking calls keep the message loop turning, so Abort may run inside them
    // and then has already written "Action Aborted!" and shown the closing button.
    virtual void Run() = 0;
    // Cancels the transfers the request may be blocked in.
    virtual void AbortTransfers() = 0;
    // An abort came before the request began (as the dialog first painted): whatever an abort at the
    // request's first step leaves besides "Action Aborted!".
    virtual void AbortedBeforeRun() {}
    // Ends the request: the closing button in place of "&Abort".
    void FinishWithMessage();
    // Ends it with Text, unless an abort has already said so.
    void Fail(const std::string& Text);

private:
    bool FRunPending = false;  // set by each showing, so the request runs once however often we are activated
    bool FRunning = false;     // the request runs: only the buttons may end the dialog
};

extern const char* const kStatusDownloadingAppData;
extern const char* const kStatusAppDataError;
extern const char* const kStatusAborted;
extern const char* const kStatusRequestError;  // followed by "\nError: " and the exception's message
