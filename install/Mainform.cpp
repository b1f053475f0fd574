#include "Mainform.h"

#include <windows.h>

#include <shellapi.h>

#include <cstring>
#include <initializer_list>

#include "Classes.h"
#include "Directoryform.h"
#include "Forms.h"
#include "Globals.h"
#include "Installengine.h"
#include "Names.h"
#include "Removal.h"
#include "Sysutils.h"
#include "Text1252.h"

TfrmMain* frmMain = nullptr;

namespace {
const TFormLayout kLayout{"", 460, 350, clWhite, bsSingle, biSystemMenu | biMinimize, poScreenCenter};
constexpr TColor kFieldGrey = 0xCECECE;  // red, green and blue 206
const char* const kExpressGroup = "Velmora 3.1";
const char* const kExpressFailed = "Express installation could not be completed!\n\nPlease restart your computer and try again.";
const char* const kCustomFailed = "Custom installation could not be completed!\n\nPlease restart your computer and try again.";
const char* const kEnterGroup = "Please enter a program group.";
const char* const kExitQuestion = "Are you sure you want to exit this installation?";
constexpr int kWelcomePage = 0, kCustomPage = 1;

TImage* AddPicture(TForm* Form, const char* Name, const char* Resource, int Left, int Top, bool Visible) {
    TImage* Picture = CreateControl<TImage>(Form, Form, Name, Bounds(Left, Top, 0, 0));
    Picture->SetAutoSize(true);
    Picture->Picture.LoadFromResourceName(Application->Instance(), Resource);
    Picture->SetVisible(Visible);
    return Picture;
}

void ArialBoldItalic(TFont& Font, int Height) {
    Font.Name = "Arial";
    Font.Height = Height;
    Font.Style = fsBold | fsItalic;
}

TButton* AddButton(TForm* Form, const char* Name, const char* Caption, int Left, bool Visible) {
    TButton* Button = CreateControl<TButton>(Form, Form, Name, Bounds(Left, 304, 84, 28));
    Button->SetCaption(Caption);
    ArialBoldItalic(Button->Font, 15);
    Button->SetVisible(Visible);
    return Button;
}

template <class TChoice>
TChoice* AddChoice(TForm* Form, const char* Name, const char* Caption, int Left, int Top, bool Visible) {
    TChoice* Choice = CreateControl<TChoice>(Form, Form, Name, Bounds(Left, Top, 320, 22));
    Choice->SetCaption(Caption);
    Choice->Font.Name = "Arial";
    Choice->Font.Height = 15;
    Choice->Font.Style = fsBold;
    Choice->Font.Color = clBlue;
    Choice->SetVisible(Visible);
    return Choice;
}

// The characters a program group may hold: letters, digits, blank, hyphen, underscore, full stop.
bool IsGroupCharacter(char C) {
    return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z') || (C >= '0' && C <= '9') || C == ' ' || C == '-' ||
           C == '_' || C == '.';
}
}  // namespace

bool IsAcceptableGroup(const std::string& Group) {
    if (Group.empty()) return false;
    for (char C : Group)
        if (!IsGroupCharacter(C)) return false;
    // Windows drops trailing dots and blanks from a folder name ("." and ".." would name Programs itself
    // or its parent, "b ." a folder called "b"), and a device name names no folder at all.
    // A group that is a folder of the shell's own ("StartUp") would put the program among its items.
    if (Group.back() == '.' || Group.back() == ' ' || IsDeviceName(Group) || NamesShellFolder(Group)) return false;
    // The uninstaller could remove neither a group that is a link nor the links of one whose longest
    // path does not fit the system's ANSI calls (MAX_PATH characters with the terminating zero).
    const std::string Programs = GetProgramsFolder();
    if (Programs.empty()) return true;  // the engine tells that it has nowhere to put the group
    const std::string Folder = IncludeTrailingPathDelimiter(Programs) + Group;
    return Folder.size() + 1 + std::strlen(kUninstallLink) < MAX_PATH && !IsLinkAt(Folder);
}

TfrmMain::TfrmMain(TComponent* Owner) : TForm(Owner) {
    ApplyLayout(kLayout);
    imgBG = AddPicture(this, "imgBG", "IMGBG", 0, 0, true);
    imgMain1 = AddPicture(this, "imgMain1", "IMGMAIN1", 20, 104, true);
    imgMain2 = AddPicture(this, "imgMain2", "IMGMAIN2", 20, 160, true);
    imgCustom1 = AddPicture(this, "imgCustom1", "IMGCUSTOM1", 20, 104, false);
    imgCustom2 = AddPicture(this, "imgCustom2", "IMGCUSTOM2", 16, 162, false);
    imgComplete1 = AddPicture(this, "imgComplete1", "IMGCOMPLETE1", 20, 112, false);
    optExpressSetup = AddChoice<TRadioButton>(this, "optExpressSetup", "Express Setup (Recommended)", 60, 200, true);
    optExpressSetup->SetChecked(true);
    optCustomSetup = AddChoice<TRadioButton>(this, "optCustomSetup", "Custom Setup", 60, 228, true);
    txtPath = CreateControl<TEdit>(this, this, "txtPath", Bounds(142, 160, 212, 21));
    txtPath->SetReadOnly(true);
    txtPath->TabStop = false;
    txtPath->Color = kFieldGrey;
    txtPath->SetVisible(false);
    btnBrowse = CreateControl<TButton>(this, this, "btnBrowse", Bounds(362, 159, 78, 23));
    btnBrowse->SetCaption("B&rowse");
    ArialBoldItalic(btnBrowse->Font, 12);
    btnBrowse->SetVisible(false);
    txtProgramGroup = CreateControl<TEdit>(this, this, "txtProgramGroup", Bounds(142, 206, 212, 21));
    txtProgramGroup->SetText(kExpressGroup);
    txtProgramGroup->SetVisible(false);
    chkDesktopShortcut = AddChoice<TCheckBox>(this, "chkDesktopShortcut", "Place a shortcut on the desktop", 142, 244, false);
    chkDesktopShortcut->SetChecked(true);
    chkLaunchVelmora = AddChoice<TCheckBox>(this, "chkLaunchVelmora", "Launch Velmora When I Click Finish", 60, 200, false);
    chkLaunchVelmora->SetChecked(true);
    btnBack = AddButton(this, "btnBack", "&Back", 168, false);
    btnNext = AddButton(this, "btnNext", "&Next", 262, true);
    btnExit = AddButton(this, "btnExit", "E&xit", 356, true);
    btnFinish = AddButton(this, "btnFinish", "&Finish", 356, false);

    OnCreate = [this](TObject* S) { FormCreate(S); };
    OnShow = [this](TObject* S) { FormShow(S); };
    btnNext->OnClick = [this](TObject* S) { btnNextClick(S); };
    btnBack->OnClick = [this](TObject* S) { btnBackClick(S); };
    btnBrowse->OnClick = [this](TObject* S) { btnBrowseClick(S); };
    btnExit->OnClick = [this](TObject* S) { btnExitClick(S); };
    btnFinish->OnClick = [this](TObject* S) { btnFinishClick(S); };
    txtProgramGroup->OnKeyPress = [this](TObject* S, char& Key) { txtProgramGroupKeyPress(S, Key); };
}

void TfrmMain::FormCreate(TObject*) { SetCaption(kWizardCaption); }

void TfrmMain::FormShow(TObject*) {
    txtPath->SetText(GetDefaultInstallDir());
    btnNext->SetFocus();
    Application->ProcessMessages();
}

void TfrmMain::ShowFinishPage() {
    for (TControl* Control : std::initializer_list<TControl*>{imgMain1, imgMain2, optExpressSetup, optCustomSetup, btnBack,
                                                              btnNext, btnExit, imgCustom1, imgCustom2, txtPath,
                                                              txtProgramGroup, btnBrowse, chkDesktopShortcut})
        Control->Hide();
    imgComplete1->Show();
    chkLaunchVelmora->Show();
    btnFinish->Show();
    btnFinish->SetFocus();
}

void TfrmMain::btnNextClick(TObject*) {
    if (btnNext->Tag == kWelcomePage) {
        if (optCustomSetup->Checked()) {
            btnNext->Tag = kCustomPage;
            for (TControl* Control : std::initializer_list<TControl*>{imgMain1, imgMain2, optExpressSetup, optCustomSetup})
                Control->Hide();
            for (TControl* Control : std::initializer_list<TControl*>{imgCustom1, imgCustom2, btnBack, txtPath,
                                                                      txtProgramGroup, btnBrowse, chkDesktopShortcut})
                Control->Show();
            return;
        }
        // Express: the default folder and group with a desktop link, whatever the custom page holds.
        InstalledExePath = PerformInstallation(GetDefaultInstallDir(), kExpressGroup, true);
        // A click at Exit made during the installation would otherwise land on Finish in its place.
        DropPendingInput(Handle());
        if (InstalledExePath != kFailedResult) return ShowFinishPage();
        Application->MessageBox(kExpressFailed, Application->Title, MB_ICONERROR, Handle());
        Close();
        return;
    }
    const std::string Group = Trim(txtProgramGroup->Text());
    if (!IsAcceptableGroup(Group)) {
        Application->MessageBox(kEnterGroup, Application->Title, MB_ICONINFORMATION, Handle());
        txtProgramGroup->SetText("");
        txtProgramGroup->SetFocus();
        return;
    }
    InstalledExePath = PerformInstallation(txtPath->Text(), Group, chkDesktopShortcut->Checked());
    DropPendingInput(Handle());
    if (InstalledExePath != kFailedResult) return ShowFinishPage();
    Application->MessageBox(kCustomFailed, Application->Title, MB_ICONERROR, Handle());
}

// The choice, the folder and the group stay as they were.
void TfrmMain::btnBackClick(TObject*) {
    btnNext->Tag = kWelcomePage;
    btnNext->SetFocus();
    for (TControl* Control : std::initializer_list<TControl*>{btnBack, imgCustom1, imgCustom2, txtPath, txtProgramGroup,
                                                              btnBrowse, chkDesktopShortcut})
        Control->Hide();
    for (TControl* Control : std::initializer_list<TControl*>{imgMain1, imgMain2, optCustomSetup, optExpressSetup})
        Control->Show();
}

void TfrmMain::btnBrowseClick(TObject*) { frmDirectory->ShowModal(); }

void TfrmMain::btnExitClick(TObject*) {
    if (Application->MessageBox(kExitQuestion, Application->Title, MB_YESNO | MB_ICONQUESTION, Handle()) == IDYES)
        Close();
}

void TfrmMain::btnFinishClick(TObject*) {
    if (chkLaunchVelmora->Checked() && GetFileAttributesA(InstalledExePath.c_str()) != INVALID_FILE_ATTRIBUTES)
        ShellExecuteA(GetDesktopWindow(), "open", InstalledExePath.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    Close();
}

// Letters, digits and " -_." pass, and backspace; everything else, accented letters too, is dropped.
void TfrmMain::txtProgramGroupKeyPress(TObject*, char& Key) {
    if (Key != 8 && !IsGroupCharacter(Key)) Key = 0;
}
