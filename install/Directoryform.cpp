#include "Directoryform.h"

#include "Globals.h"
#include "Mainform.h"
#include "Names.h"
#include "Sysutils.h"

TfrmDirectory* frmDirectory = nullptr;

namespace {
constexpr TColor kPaleYellow = 13172735;  // red 255, green 255, blue 200
constexpr TColor kPaleBlue = 16762056;    // red 200, green 200, blue 255
const TFormLayout kLayout{"Select Directory", 250, 231, kPaleYellow, bsSingle, biSystemMenu, poDesigned};

TButton* AddButton(TForm* Form, const char* Name, const char* Caption, int Left) {
    TButton* Button = CreateControl<TButton>(Form, Form, Name, Bounds(Left, 194, 84, 28));
    Button->SetCaption(Caption);
    Button->Font.Name = "Arial";
    Button->Font.Height = 15;
    Button->Font.Style = fsBold | fsItalic;
    return Button;
}
}  // namespace

bool IsFixedDrive(const std::string& Drive) {
    std::string Root = Trim(Drive);
    if (Root.size() == 1) Root += ":\\";
    else if (Root.size() == 2) Root += "\\";
    else if (Root.size() > 3) Root.resize(3);
    return GetDriveTypeA(Root.c_str()) == DRIVE_FIXED;
}

TfrmDirectory::TfrmDirectory(TComponent* Owner) : TForm(Owner) {
    ApplyLayout(kLayout);
    txtPath = CreateControl<TEdit>(this, this, "txtPath", Bounds(8, 8, 234, 21));
    txtPath->SetReadOnly(true);
    txtPath->TabStop = false;
    txtPath->Color = kPaleYellow;
    lstDirectory = CreateControl<TDirectoryListBox>(this, this, "lstDirectory", Bounds(8, 62, 234, 124));
    lstDirectory->Color = kPaleBlue;
    lstDirectory->Font.Color = clBlack;
    cboDrive = CreateControl<TDriveComboBox>(this, this, "cboDrive", Bounds(8, 35, 234, 21));
    cboDrive->DirList = lstDirectory;
    btnOK = AddButton(this, "btnOK", "O&K", 36);
    btnCancel = AddButton(this, "btnCancel", "&Cancel", 130);

    OnShow = [this](TObject* S) { FormShow(S); };
    lstDirectory->OnChange = [this](TObject* S) { lstDirectoryChange(S); };
    btnOK->OnClick = [this](TObject* S) { btnOKClick(S); };
    btnCancel->OnClick = [this](TObject* S) { btnCancelClick(S); };
}

// Every showing starts again at Program Files with the default folder.
void TfrmDirectory::FormShow(TObject*) {
    SetLeft(frmMain->Left() + frmMain->Width() / 2 - Width() / 2);
    SetTop(frmMain->Top() + frmMain->Height() / 2 - Height() / 2);
    RemoveNonFixedDrives();
    const std::string ProgramFiles = GetProgramFilesDir();
    const DWORD Attributes = GetFileAttributesA(ProgramFiles.c_str());
    const bool Exists = Attributes != INVALID_FILE_ATTRIBUTES && (Attributes & FILE_ATTRIBUTE_DIRECTORY);
    lstDirectory->SetDirectory(Exists ? ProgramFiles : ProgramFiles.substr(0, 3));
    cboDrive->SetDrive(lstDirectory->Directory()[0]);
    txtPath->SetText(GetDefaultInstallDir());
    btnOK->SetFocus();
}

void TfrmDirectory::RemoveNonFixedDrives() {
    for (int Item = 0; Item < cboDrive->Count();) {
        if (IsFixedDrive(cboDrive->Item(Item).substr(0, 1))) ++Item;
        else cboDrive->DeleteItem(Item);  // the next one moves into its place
    }
}

void TfrmDirectory::lstDirectoryChange(TObject*) {
    txtPath->SetText(IncludeTrailingPathDelimiter(lstDirectory->Directory()) + kProductFolder);
}

void TfrmDirectory::btnOKClick(TObject*) {
    frmMain->txtPath->SetText(txtPath->Text());
    Close();
}

void TfrmDirectory::btnCancelClick(TObject*) { Close(); }
