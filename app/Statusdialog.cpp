#include "Statusdialog.h"

#include "Borderpictures.h"

const char* const kStatusDownloadingAppData = "Downloading application data\n\nPlease Wait...";
const char* const kStatusAppDataError = "Error downloading application data!\n\nPlease try again later.";
const char* const kStatusAborted = "Action Aborted!";
const char* const kStatusRequestError = "Error processing request!\n";

namespace {
constexpr int kStartAnywayMs = 200;  // how long a shown dialog waits to be activated
}

TStatusDialog::TStatusDialog(TComponent* Owner, const TStatusLayout& Layout) : TForm(Owner) {
    ApplyLayout(Layout.Form);
    AddBorderPictures(this, imgTopBorder, imgRightBorder, imgBottomBorder, imgLeftBorder);
    lblStatus = CreateControl<TLabel>(this, this, "lblStatus", Layout.Status);
    lblStatus->AutoSize = false;
    lblStatus->WordWrap = true;
    lblStatus->ShowAccelChar = false;
    lblStatus->Alignment = taCenter;
    lblStatus->Layout = tlCenter;
    lblStatus->Font.Height = 16;
    lblStatus->Font.Style = fsBold;
    lblStatus->Font.Color = clYellow;
    btnClose = CreateControl<TButton>(this, this, "btnClose", Layout.Button);
    btnClose->SetCaption(Layout.CloseCaption);
    btnClose->SetVisible(false);
    btnAbort = CreateControl<TButton>(this, this, "btnAbort", Layout.Button);
    btnAbort->SetCaption("&Abort");
    btnAbort->SetVisible(false);

    timStart = new TTimer(this);
    timStart->Name = "timStart";
    timStart->SetEnabled(false);
    timStart->SetInterval(kStartAnywayMs);
    timStart->OnTimer = [this](TObject* S) { timStartTimer(S); };

    OnShow = [this](TObject* S) { FormShow(S); };
    OnActivate = [this](TObject* S) { FormActivate(S); };
    btnAbort->OnClick = [this](TObject* S) { btnAbortClick(S); };
}

void TStatusDialog::FormShow(TObject*) {
    Aborted = InternetProblem = false;
    btnClose->Hide();
    btnAbort->Show();
    PrepareRun();
    FRunPending = true;
    timStart->SetEnabled(false);  // a full wait from this showing
    timStart->SetEnabled(true);
}

// No request may leave the dialog on "&Abort" alone: whatever escapes it ends it with its message.
void TStatusDialog::FormActivate(TObject*) {
    if (!FRunPending) return;
    FRunPending = false;
    timStart->SetEnabled(false);
    Application->ProcessMessages();  // paints the dialog before the transfers block
    if (Aborted) {  // aborted before the request began: no request, "Action Aborted!" stays
        AbortedBeforeRun();
        return;
    }
    FRunning = true;
    struct TDone {
        bool& Running;
        ~TDone() { Running = false; }
    } Done{FRunning};
    try {
        Run();
    } catch (const std::exception& E) {
        Fail(std::string(kStatusRequestError) + "\nError: " + E.what());
    }
}

// Alt+F4, or a close from another program, while the request runs would end the showing unseen,
// without an abort: it is ignored then.
LRESULT TStatusDialog::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == WM_CLOSE && FRunning) return 0;
    return TForm::WndProc(Msg, WParam, LParam);
}

// Windows may show the dialog without activating it (another program holds the foreground): the
// request then runs all the same.
void TStatusDialog::timStartTimer(TObject* Sender) {
    if (Visible()) FormActivate(Sender);
}

void TStatusDialog::btnAbortClick(TObject*) {
    Aborted = true;
    AbortTransfers();
    lblStatus->SetCaption(kStatusAborted);
    FinishWithMessage();
}

// The conversions and applies of a request block without turning the loop: a click at Abort made then
// would land on the closing button in its place.
void TStatusDialog::FinishWithMessage() {
    DropPendingInput(Handle());
    btnAbort->Hide();
    btnClose->Show();
    FocusControl(btnClose);
}

void TStatusDialog::Fail(const std::string& Text) {
    if (!Aborted) lblStatus->SetCaption(Text);
    FinishWithMessage();
}
