#include "Submitform.h"

#include <windows.h>

#include "Borderpictures.h"
#include "Globalfunctions.h"
#include "Handles.h"
#include "Submitcommentsform.h"
#include "Submitstatusform.h"
#include "Submittermsform.h"
#include "Velmoracolors.h"
#include "Velmoraform.h"

TfrmSubmit* frmSubmit = nullptr;
std::string SubmitData;
bool HttpDone = false, FtpConnected = false, FtpDirChanged = false, FtpUploaded = false;

namespace {
const TFormLayout kLayout{"Submit A Skin", 357, 309, kPurple, bsNone, 0, poDesigned};
const char* const kFillInAll = "Please fill in all fields.";
const char* const kInvalidEmail = "Please enter a valid email address.";
const char* const kCannotOpen = "File could not be opened!";
// Two blanks after the first "!".
const char* const kTooLarge =
    "File is too large!  The maximum skin size is 200 kb.\n\nConvert the skin to a smaller type (JPEG), or lower "
    "the height and width of the skin.";
const char* const kWebPrefix = "http://";
constexpr int kLabelLeft = 16, kLabelWidth = 112, kFieldLeft = 134, kFieldWidth = 202, kRowHeight = 26;

// The picture, held open for reading while the user reads the agreement.
class TOpenFile {
public:
    explicit TOpenFile(const std::string& Path)
        : FHandle(CreateFileA(Path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    bool Opened() const { return FHandle.Valid(); }
    long long Size() const {
        LARGE_INTEGER Size{};
        return GetFileSizeEx(FHandle.Get(), &Size) ? Size.QuadPart : -1;
    }

private:
    THeldHandle FHandle;
};

TLabel* AddFieldLabel(TForm* Form, const char* Name, int Top, const char* Caption) {
    return AddYellowLabel(Form, Name, Bounds(kLabelLeft, Top + 3, kLabelWidth, 16), Caption);
}

TEdit* AddField(TForm* Form, const char* Name, int Top, int Width, int MaxLength) {
    TEdit* Edit = CreateControl<TEdit>(Form, Form, Name, Bounds(kFieldLeft, Top, Width, 21));
    Edit->SetMaxLength(MaxLength);
    return Edit;
}

TRadioButton* AddLinkChoice(TForm* Form, const char* Name, int Top, const char* Caption) {
    TRadioButton* Choice = CreateControl<TRadioButton>(Form, Form, Name, Bounds(70, Top, 260, 17));
    Choice->SetCaption(Caption);
    WhiteBold(Choice->Font);
    Choice->Color = kPurple;
    return Choice;
}

TButton* AddButton(TForm* Form, const char* Name, int Left, const char* Caption) {
    TButton* Button = CreateControl<TButton>(Form, Form, Name, Bounds(Left, 262, 95, 25));
    Button->SetCaption(Caption);
    return Button;
}
}  // namespace

TfrmSubmit::TfrmSubmit(TComponent* Owner) : TForm(Owner) {
    ApplyLayout(kLayout);
    AddBorderPictures(this, imgTopBorder, imgRightBorder, imgBottomBorder, imgLeftBorder);
    lblTitle = CreateControl<TLabel>(this, this, "lblTitle", Bounds(16, 20, 325, 24));
    lblTitle->AutoSize = false;
    lblTitle->Alignment = taCenter;
    lblTitle->Font.Height = 20;
    lblTitle->Font.Color = clWhite;
    lblTitle->Font.Style = fsBold | fsItalic;
    lblTitle->SetCaption("Submit A Skin");
    const int Top = 56;
    lblName = AddFieldLabel(this, "lblName", Top, "Your Name:");
    lblEmail = AddFieldLabel(this, "lblEmail", Top + kRowHeight, "Email Address:");
    lblWebsite = AddFieldLabel(this, "lblWebsite", Top + 2 * kRowHeight, "Website Address:");
    lblSkin = AddFieldLabel(this, "lblSkin", Top + 3 * kRowHeight, "Skin To Submit:");
    // Made in tab order.
    txtName = AddField(this, "txtName", Top, kFieldWidth, 30);
    txtEmail = AddField(this, "txtEmail", Top + kRowHeight, kFieldWidth, 40);
    txtEmail->CharCase = ecLowerCase;
    txtWebsite = AddField(this, "txtWebsite", Top + 2 * kRowHeight, kFieldWidth, 100);
    txtWebsite->SetText(kWebPrefix);
    txtSkin = AddField(this, "txtSkin", Top + 3 * kRowHeight, kFieldWidth - 72, 0);
    txtSkin->SetReadOnly(true);
    txtSkin->TabStop = false;
    txtSkin->Color = clSilver;
    btnBrowse = CreateControl<TButton>(this, this, "btnBrowse", Bounds(kFieldLeft + kFieldWidth - 66, Top + 3 * kRowHeight - 2, 66, 25));
    btnBrowse->SetCaption("&Browse");
    optEmail = AddLinkChoice(this, "optEmail", 170, "Include a link to my email");
    optWebsite = AddLinkChoice(this, "optWebsite", 192, "Include a link to my website");
    optWebsite->SetEnabled(false);
    optNeither = AddLinkChoice(this, "optNeither", 214, "Do not post any links");
    optNeither->SetChecked(true);
    btnSubmit = AddButton(this, "btnSubmit", 28, "&Submit");
    btnComments = AddButton(this, "btnComments", 131, "Co&mments");
    btnCancel = AddButton(this, "btnCancel", 234, "&Cancel");
    btnCancel->ModalResult = mrCancel;
    dlgSkin = NewSkinPictureDialog(this, "dlgSkin");
    http = new TNMHTTP(this);
    http->Name = "http";
    ftp = new TNMFTP(this);
    ftp->Name = "ftp";

    OnShow = [this](TObject* S) { FormShow(S); };
    OnCloseQuery = [this](TObject* S, bool& CanClose) { FormCloseQuery(S, CanClose); };
    btnBrowse->OnClick = [this](TObject* S) { btnBrowseClick(S); };
    btnComments->OnClick = [this](TObject* S) { btnCommentsClick(S); };
    txtWebsite->OnChange = [this](TObject* S) { txtWebsiteChange(S); };
    btnSubmit->OnClick = [this](TObject* S) { btnSubmitClick(S); };
    ftp->OnConnect = [this](TObject* S) { ftpConnect(S); };
    ftp->OnSuccess = [this](TCmdType Type) { ftpSuccess(Type); };
    ftp->OnPacketSent = [this](TObject* S) { ftpPacketSent(S); };
    http->OnSuccess = [this](CmdType Cmd) { httpSuccess(Cmd); };
}

// The fields and the link choice keep what they held; the comments start empty.
void TfrmSubmit::FormShow(TObject*) {
    CentreOverClientArea(this, frmVelmora);
    frmSubmitComments->memComments->Clear();
    txtName->SetSelStart(0);
    txtName->SetSelLength(txtName->MaxLength());
    txtName->SetFocus();
    DisconnectQuietly();
}

void TfrmSubmit::FormCloseQuery(TObject*, bool& CanClose) {
    http->Abort();
    ftp->Abort();
    DisconnectQuietly();
    CanClose = true;
}

void TfrmSubmit::btnBrowseClick(TObject*) {
    if (dlgSkin->Execute()) txtSkin->SetText(dlgSkin->FileName);
}

void TfrmSubmit::btnCommentsClick(TObject*) { frmSubmitComments->ShowModal(); }

// An address counts once something follows "http://" (letter case counts, nothing trimmed).
void TfrmSubmit::txtWebsiteChange(TObject*) {
    const std::string Address = txtWebsite->Text();
    if (Address.compare(0, 7, kWebPrefix) == 0 && Address.size() > 7) {
        optWebsite->SetEnabled(true);
        optWebsite->SetChecked(true);
    } else {
        optWebsite->SetChecked(false);
        optWebsite->SetEnabled(false);
        optNeither->SetChecked(true);
    }
}

void TfrmSubmit::btnSubmitClick(TObject*) {
    auto Warn = [this](const char* Text, unsigned Icon) {
        Application->MessageBox(Text, Application->Title, Icon, Handle());
    };
    if (txtName->Text().empty() || txtEmail->Text().empty() || txtSkin->Text().empty()) {
        Warn(kFillInAll, MB_ICONWARNING);
        return;
    }
    if (!IsValidEmail(txtEmail->Text())) {
        Warn(kInvalidEmail, MB_ICONWARNING);
        txtEmail->SetFocus();
        return;
    }
    {
        // A picture whose size cannot be read is as good as missing: it passes no size check.
        TOpenFile Picture(txtSkin->Text());
        if (!Picture.Opened() || Picture.Size() < 0) {
            Warn(kCannotOpen, MB_ICONWARNING);
            return;
        }
        if (Picture.Size() > kMaxSkinBytes) {
            Warn(kTooLarge, MB_ICONINFORMATION);
            return;
        }
        // The picture stays open while the agreement is read.
        if (frmSubmitTerms->ShowModal() != mrOk) return;
    }

    const std::string EmailLink = optEmail->Checked() ? "YES" : "NO";
    const std::string UrlLink = !optEmail->Checked() && optWebsite->Checked() ? "YES" : "NO";
    std::string Comments;
    for (const std::string& Line : frmSubmitComments->memComments->Lines()) Comments += Line + "\n";
    // No value is URL-encoded: the receiver reads the body as it is.
    SubmitData = "name=" + Trim(txtName->Text()) + "&email=" + Trim(txtEmail->Text()) + "&url=" +
                 Trim(txtWebsite->Text()) + "&skin=" + Trim(txtSkin->Text()) + "&emaillink=" + EmailLink +
                 "&urllink=" + UrlLink + "&comments=" + Trim(Comments);
    frmSubmitStatus->lblStatus->SetCaption("Please Wait...");
    frmSubmitStatus->ShowModal();
    Close();
}

// ---- the transfer ----

void TfrmSubmit::ResetTransfer() {
    HttpDone = FtpConnected = FtpDirChanged = FtpUploaded = false;
    http->Body.clear();
}

void TfrmSubmit::DisconnectQuietly() {
    try {
        ftp->Disconnect();
    } catch (const std::exception&) {
    }
}

void TfrmSubmit::Guarded(const std::function<void()>& Step, bool Disconnect) {
    try {
        Step();
    } catch (const EFtpFileError&) {
        // The picture changed on this computer: the upload fails, the connection is not to blame.
        if (Disconnect) DisconnectQuietly();
    } catch (const std::exception&) {
        if (!frmSubmitStatus->Aborted) frmSubmitStatus->InternetProblem = true;
        if (Disconnect) DisconnectQuietly();
    }
}

bool TfrmSubmit::ConnectToServer() {
    ResetTransfer();
    Guarded(
        [this] {
            ftp->Disconnect();
            ftp->Connect();
        },
        true);
    if (!FtpConnected) return false;
    ResetTransfer();
    if (!FtpDirectory.empty()) Guarded([this] { ftp->ChangeDir(FtpDirectory); }, true);
    else FtpDirChanged = true;
    return FtpDirChanged;
}

bool TfrmSubmit::UploadSkin() {
    // The switch to binary is guarded as the upload is: a refusal or a lost connection here is a
    // failed upload, not a dialog left on "&Abort".
    bool Binary = false;
    Guarded(
        [&] {
            ftp->Mode(MODE_IMAGE);
            Binary = true;
        },
        true);
    if (!Binary) return false;
    ResetTransfer();
    // The picture was checked when Submit was clicked; one deleted or grown since is not sent, and
    // one that grows while it is sent goes only as far as the size checked here.
    long long Size = -1;
    {
        TOpenFile Picture(txtSkin->Text());
        if (Picture.Opened()) Size = Picture.Size();
    }
    if (Size < 0 || Size > kMaxSkinBytes) return false;
    Guarded([this, Size] { ftp->Upload(txtSkin->Text(), "", Size); }, true);
    if (!FtpUploaded) return false;
    DisconnectQuietly();
    return true;
}

bool TfrmSubmit::SendSkinInfo() {
    ResetTransfer();
    Guarded([this] { http->Put(SubmitUrl, SubmitData); }, false);
    return HttpDone;
}

void TfrmSubmit::ftpConnect(TObject*) { FtpConnected = true; }

void TfrmSubmit::ftpSuccess(TCmdType Trans_Type) {
    if (Trans_Type == cmdChangeDir) FtpDirChanged = true;
    if (Trans_Type == cmdUpload) FtpUploaded = true;
}

void TfrmSubmit::ftpPacketSent(TObject*) {
    frmSubmitStatus->prgUpload->SetMax(static_cast<int>(ftp->BytesTotal));
    frmSubmitStatus->prgUpload->SetPosition(static_cast<int>(ftp->GetBytesSent()));
}

void TfrmSubmit::httpSuccess(CmdType) { HttpDone = true; }
