// Watches a status dialog while it runs its request, as a person would: notes how it ended and
// presses its closing button (a click, or Enter) once that has shown for two polls in a row (the
// runner has returned).
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "Statusdialog.h"
#include "Termsdialog.h"
#include "TestSupport.h"

// How one showing of a status dialog ended.
struct TEnding {
    std::string Text;
    bool WaitedForClose = false;  // the closing button shown, "&Abort" hidden, and the dialog waiting
    bool AbortStillShown = false;
    bool ClosedItself = false;  // closed by its timer, never waiting on the user
};

struct TWatch {
    TEnding Ending;
    int Steady = 0, Waited = 0;
    bool Over = false;
    // Runs at every poll while the dialog is up, for a test to act in the middle of the request.
    std::function<void(TStatusDialog*)> WhileRunning;
    bool CloseByEnter = false;  // the closing button is pressed with the Enter key, not clicked
    bool Returned = false;      // the dialog's showing has ended
};

constexpr int kWatchPollMs = 50;
constexpr int kWatchGiveUpMs = 20000;  // a dialog still up by then has hung

inline void Watch(TStatusDialog* D, std::shared_ptr<TWatch> W) {
    if (W->Over) return;
    if (D->Visible() && W->WhileRunning) W->WhileRunning(D);
    W->Steady = D->Visible() && D->btnClose->Visible() ? W->Steady + 1 : 0;
    W->Waited += kWatchPollMs;
    if (W->Steady == 2 || W->Waited > kWatchGiveUpMs) {
        W->Ending = {D->lblStatus->Caption(), W->Steady == 2, D->btnAbort->Visible()};
        W->Over = true;
        if (!W->CloseByEnter) return D->btnClose->Click();
        PressKey(VK_RETURN);
        RunLater(3000, [D, W] {
            if (W->Returned) return;
            ADD_FAILURE() << "Enter did not press the closing button";
            D->btnClose->Click();
        });
        return;
    }
    RunLater(kWatchPollMs, [D, W] { Watch(D, W); });
}

// Starts watching D; Show then shows it, directly or through the window that opens it.
inline TEnding WatchWhile(TStatusDialog* D, const std::function<void()>& Show,
                          std::function<void(TStatusDialog*)> WhileRunning = nullptr, bool CloseByEnter = false) {
    auto W = std::make_shared<TWatch>();
    W->WhileRunning = std::move(WhileRunning);
    W->CloseByEnter = CloseByEnter;
    RunLater(kWatchPollMs, [D, W] { Watch(D, W); });
    Show();
    W->Returned = true;
    if (!W->Over) W->Ending = {D->lblStatus->Caption(), false, false, true};
    W->Over = true;
    return W->Ending;
}

// Runs Submit (a form's submit handler); when it shows the agreement Terms, cancels it. True when the
// agreement showed.
inline bool SubmitCancellingTheAgreement(TTermsDialog* Terms, const std::function<void()>& Submit) {
    bool Shown = false;
    RunLater(kWatchPollMs, [&] {
        Shown = Terms->Visible();
        if (Shown) Terms->btnCancel->Click();
    });
    Submit();
    return Shown;
}
