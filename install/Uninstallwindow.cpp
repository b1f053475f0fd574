#include "Uninstallwindow.h"

#include "Globals.h"
#include "Sysutils.h"

namespace {
constexpr int kTickMs = 50;
}  // namespace

TUninstallWindow::TUninstallWindow(TComponent* Owner, const TFormLayout& Layout, int BarLeft, int BarTop)
    : TForm(Owner) {
    ApplyLayout(Layout);
    FormStyle = fsStayOnTop;
    const TProgressBarParts Bar = AddProgressBar(this, BarLeft, BarTop);
    pnlProgress = Bar.Panel;
    imgProgress = Bar.Image;
    shpProgressBorder = Bar.Border;
    lblProgress = Bar.Percent;
    timProgress = new TTimer(this);
    timProgress->Name = "timProgress";
    timProgress->SetEnabled(false);
    timProgress->SetInterval(kTickMs);
    OnCloseQuery = [this](TObject* S, bool& CanClose) { FormCloseQuery(S, CanClose); };
}

void TUninstallWindow::FormCloseQuery(TObject*, bool& CanClose) { CanClose = AllowClose; }

void TUninstallWindow::Prepare(const char* Caption) {
    EmptySystemMenu(Handle());
    SetCaption(Caption);
    AllowClose = false;
    imgProgress->SetWidth(0);
    lblProgress->SetCaption("0%");
}

void TUninstallWindow::ShowProgress(int Percent) {
    imgProgress->SetWidth(ProgressWidth(Percent, lblProgress->Width()));
    lblProgress->SetCaption(IntToStr(Percent) + "%");
}

void TUninstallWindow::Wait(DWORD Milliseconds) {
    Sleep(Milliseconds);
    DropPendingInput(Handle());
}

void TUninstallWindow::PermitClose() {
    DropPendingInput(Handle());
    AllowClose = true;
}
