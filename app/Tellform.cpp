#include "Tellform.h"

#include "Borderpictures.h"
#include "Globalfunctions.h"
#include "Tellstatusform.h"
#include "Telltermsform.h"
#include "Velmoracolors.h"
#include "Velmoraform.h"

TfrmTell* frmTell = nullptr;

namespace {
const TFormLayout kLayout{"Tell A Friend", 356, 275, kPurple, bsNone, 0, poDesigned};
const char* const kFillInAll = "Please fill in 'Your Friend's Email', 'Your Name', and 'Your Email'.";
const char* const kInvalidEmail = "Please enter a valid email address.";
constexpr int kLabelLeft = 14, kLabelWidth = 186, kFieldLeft = 204, kFieldWidth = 136;
}  // namespace

TfrmTell::TfrmTell(TComponent* Owner) : TForm(Owner) {
    ApplyLayout(kLayout);
    AddBorderPictures(this, imgTopBorder, imgRightBorder, imgBottomBorder, imgLeftBorder);
    lblTitle = CreateControl<TLabel>(this, this, "lblTitle", Bounds(16, 20, 324, 24));
    lblTitle->AutoSize = false;
    lblTitle->Alignment = taCenter;
    lblTitle->Font.Height = 18;
    WhiteBold(lblTitle->Font);
    lblTitle->Font.Style = fsBold | fsItalic;
    lblTitle->SetCaption("Tell A Friend About Velmora");
    lblFriendEmail = AddYellowLabel(this, "lblFriendEmail", Bounds(kLabelLeft, 59, kLabelWidth, 16), "Your Friend's Email Address:");
    lblYourName = AddYellowLabel(this, "lblYourName", Bounds(kLabelLeft, 85, kLabelWidth, 16), "Your Name:");
    lblYourEmail = AddYellowLabel(this, "lblYourEmail", Bounds(kLabelLeft, 111, kLabelWidth, 16), "Your Email Address:");
    lblMessage = AddYellowLabel(this, "lblMessage", Bounds(kLabelLeft + 2, 136, 320, 16),
                                "Message To Your Friend (Optional):", taLeftJustify);
    // Made in tab order.
    txtFriendEmail = CreateControl<TEdit>(this, this, "txtFriendEmail", Bounds(kFieldLeft, 56, kFieldWidth, 21));
    txtFriendEmail->SetMaxLength(40);
    txtFriendEmail->CharCase = ecLowerCase;
    txtYourName = CreateControl<TEdit>(this, this, "txtYourName", Bounds(kFieldLeft, 82, kFieldWidth, 21));
    txtYourName->SetMaxLength(30);
    txtYourEmail = CreateControl<TEdit>(this, this, "txtYourEmail", Bounds(kFieldLeft, 108, kFieldWidth, 21));
    txtYourEmail->SetMaxLength(40);
    txtYourEmail->CharCase = ecLowerCase;
    memMessage = CreateControl<TMemo>(this, this, "memMessage", Bounds(kLabelLeft + 2, 154, 324, 66));
    memMessage->SetMaxLength(1000);
    btnSubmit = CreateControl<TButton>(this, this, "btnSubmit", Bounds(80, 230, 90, 25));
    btnSubmit->SetCaption("&Submit");
    btnCancel = CreateControl<TButton>(this, this, "btnCancel", Bounds(186, 230, 90, 25));
    btnCancel->SetCaption("&Cancel");
    btnCancel->ModalResult = mrCancel;
    http = new TNMHTTP(this);
    http->Name = "http";

    OnShow = [this](TObject* S) { FormShow(S); };
    OnCloseQuery = [this](TObject* S, bool& CanClose) { FormCloseQuery(S, CanClose); };
    txtYourName->OnKeyPress = [this](TObject* S, char& Key) { txtYourNameKeyPress(S, Key); };
    memMessage->OnEnter = [this](TObject* S) { memMessageEnter(S); };
    btnSubmit->OnClick = [this](TObject* S) { btnSubmitClick(S); };
    http->OnSuccess = [this](CmdType Cmd) { httpSuccess(Cmd); };
}

// The entries keep what they held.
void TfrmTell::FormShow(TObject*) {
    CentreOverClientArea(this, frmVelmora);
    txtFriendEmail->SetSelStart(0);
    txtFriendEmail->SetSelLength(txtFriendEmail->MaxLength());
    txtFriendEmail->SetFocus();
}

void TfrmTell::FormCloseQuery(TObject*, bool& CanClose) {
    http->Abort();
    CanClose = true;
}

// The name starts with a capital.
void TfrmTell::txtYourNameKeyPress(TObject*, char& Key) {
    if (txtYourName->Text().empty() && Key >= 'a' && Key <= 'z') Key = static_cast<char>(Key - 32);
}

void TfrmTell::memMessageEnter(TObject*) {
    memMessage->SetSelStart(0);
    memMessage->SetSelLength(memMessage->MaxLength());
    memMessage->SetFocus();
}

void TfrmTell::btnSubmitClick(TObject*) {
    auto Warn = [this](const char* Text, TEdit* Focus) {
        Application->MessageBox(Text, Application->Title, MB_ICONWARNING | MB_OK, Handle());
        if (Focus) Focus->SetFocus();
    };
    if (txtFriendEmail->Text().empty() || txtYourName->Text().empty() || txtYourEmail->Text().empty())
        return Warn(kFillInAll, nullptr);
    if (!IsValidEmail(txtFriendEmail->Text())) return Warn(kInvalidEmail, txtFriendEmail);
    if (!IsValidEmail(txtYourEmail->Text())) return Warn(kInvalidEmail, txtYourEmail);
    if (frmTellTerms->ShowModal() != mrOk) return;

    std::string Message;
    for (const std::string& Line : memMessage->Lines()) Message += Line + "\n";
    // No value is escaped: the receiver reads the body as it is.
    TellData = "friendemail=" + Trim(txtFriendEmail->Text()) + "&yourname=" + Trim(txtYourName->Text()) +
               "&youremail=" + Trim(txtYourEmail->Text()) + "&message=" + Trim(Message);
    frmTellStatus->lblStatus->SetCaption("Please Wait...");
    frmTellStatus->ShowModal();
    Close();
}

void TfrmTell::httpSuccess(CmdType) { TellDone = true; }
