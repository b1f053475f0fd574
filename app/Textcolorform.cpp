#include "Textcolorform.h"

#include <exception>
#include <functional>
#include <string>

#include "Borderpictures.h"
#include "Globalfunctions.h"
#include "IniFiles.h"
#include "Velmoracolors.h"
#include "Velmoraform.h"

TfrmTextColor* frmTextColor = nullptr;

namespace {
const TFormLayout kLayout{"Change Text Color", 362, 318, kPurple, bsNone, 0, poDesigned};
// Two blanks after each full stop, the last one too.
const char* const kMessage1 =
    "This lets you change the text colors for the buttons in Internet Explorer.  This is useful if you like to "
    "use a dark-colored skin.  ";
const char* const kMessage2 =
    "Changing these colors will also change the colors throughout Windows, so you should choose colors that clash.";
const char* const kColorsSection = "colors";
const char* const kAppearanceKey = "Control Panel\\Appearance";
const char* const kColorsKey = "Control Panel\\Colors";
constexpr int kCustomColors = 16;


// "red green blue" in decimal: "255 0 128".
std::string ColorText(COLORREF Color) {
    return std::to_string(GetRValue(Color)) + " " + std::to_string(GetGValue(Color)) + " " +
           std::to_string(GetBValue(Color));
}

std::string WinIniPath() {
    char Folder[MAX_PATH] = "";
    GetWindowsDirectoryA(Folder, MAX_PATH);
    std::string Path = Folder;
    if (Path.empty() || Path.back() != '\\') Path += '\\';
    return Path + "win.ini";
}
}  // namespace

TfrmTextColor::TfrmTextColor(TComponent* Owner) : TForm(Owner) {
    ApplyLayout(kLayout);
    AddBorderPictures(this, imgTopBorder, imgRightBorder, imgBottomBorder, imgLeftBorder);
    lblMessage1 = CreateControl<TLabel>(this, this, "lblMessage1", Bounds(24, 22, 314, 44));
    lblMessage2 = CreateControl<TLabel>(this, this, "lblMessage2", Bounds(24, 70, 314, 44));
    for (TLabel* Message : {lblMessage1, lblMessage2}) {
        Message->AutoSize = false;
        Message->WordWrap = true;
        Message->Alignment = taCenter;
        WhiteBold(Message->Font);
    }
    lblMessage1->SetCaption(kMessage1);
    lblMessage2->SetCaption(kMessage2);
    btnTextColor = CreateControl<TButton>(this, this, "btnTextColor", Bounds(28, 122, 150, 25));
    btnTextColor->SetCaption("Select &Text Color");
    btnBackgroundColor = CreateControl<TButton>(this, this, "btnBackgroundColor", Bounds(184, 122, 150, 25));
    btnBackgroundColor->SetCaption("Select &Background Color");
    shpTextColor = CreateControl<TShape>(this, this, "shpTextColor", Bounds(28, 152, 150, 25));
    shpBackgroundColor = CreateControl<TShape>(this, this, "shpBackgroundColor", Bounds(184, 152, 150, 25));
    optChange3D = CreateControl<TRadioButton>(this, this, "optChange3D", Bounds(90, 190, 220, 17));
    optChange3D->SetCaption("Change 3D Object Colors");
    optChangeMenu = CreateControl<TRadioButton>(this, this, "optChangeMenu", Bounds(90, 210, 220, 17));
    optChangeMenu->SetCaption("Change Menu Colors");
    optChangeBoth = CreateControl<TRadioButton>(this, this, "optChangeBoth", Bounds(90, 230, 220, 17));
    optChangeBoth->SetCaption("Change Both (default)");
    optChangeBoth->SetChecked(true);
    for (TRadioButton* Option : {optChange3D, optChangeMenu, optChangeBoth}) {
        WhiteBold(Option->Font);
        Option->Color = kPurple;
    }
    btnPreview = CreateControl<TButton>(this, this, "btnPreview", Bounds(28, 268, 95, 25));
    btnPreview->SetCaption("&Preview");
    btnOK = CreateControl<TButton>(this, this, "btnOK", Bounds(133, 268, 95, 25));
    btnOK->SetCaption("&OK");
    btnCancel = CreateControl<TButton>(this, this, "btnCancel", Bounds(238, 268, 95, 25));
    btnCancel->SetCaption("&Cancel");
    dlgColor = new TColorDialog(this);
    dlgColor->Name = "dlgColor";

    OnShow = [this](TObject* S) { FormShow(S); };
    OnHide = [this](TObject* S) { FormHide(S); };
    btnTextColor->OnClick = [this](TObject* S) { btnTextColorClick(S); };
    btnBackgroundColor->OnClick = [this](TObject* S) { btnBackgroundColorClick(S); };
    btnPreview->OnClick = [this](TObject* S) { btnPreviewClick(S); };
    btnOK->OnClick = [this](TObject* S) { btnOKClick(S); };
    btnCancel->OnClick = [this](TObject* S) { btnCancelClick(S); };
}

void TfrmTextColor::FormShow(TObject*) {
    CentreOverClientArea(this, frmVelmora);
    SaveCurrentColors();
    ColorsChanged = false;
    ColorsPreviewed = false;
}

// The shapes always start with the button pair, whichever option is chosen.
void TfrmTextColor::SaveCurrentColors() {
    for (int I = 0; I < 4; ++I) SavedColors[I] = GetSysColor(ColorElements[I]);
    shpTextColor->Brush.Color = static_cast<TColor>(SavedColors[0]);
    shpBackgroundColor->Brush.Color = static_cast<TColor>(SavedColors[1]);
    shpTextColor->Invalidate();
    shpBackgroundColor->Invalidate();
}

bool TfrmTextColor::PickColor(TShape* Shape) {
    if (!dlgColor->Execute() || ColorToRGB(dlgColor->Color) == ColorToRGB(Shape->Brush.Color)) return false;
    Shape->Brush.Color = dlgColor->Color;
    Shape->Invalidate();
    return true;
}

void TfrmTextColor::btnTextColorClick(TObject*) {
    if (PickColor(shpTextColor)) ColorsChanged = true;
}

void TfrmTextColor::btnBackgroundColorClick(TObject*) {
    if (PickColor(shpBackgroundColor)) ColorsChanged = true;
}

void TfrmTextColor::ApplyColors() {
    const COLORREF Pair[2] = {ColorToRGB(shpTextColor->Brush.Color), ColorToRGB(shpBackgroundColor->Brush.Color)};
    if (optChange3D->Checked() || optChangeBoth->Checked()) SetSysColors(2, &ColorElements[0], Pair);
    if (optChangeMenu->Checked() || optChangeBoth->Checked()) SetSysColors(2, &ColorElements[2], Pair);
}

std::exception_ptr TfrmTextColor::StoreColors() {
    const std::string TextValue = ColorText(ColorToRGB(shpTextColor->Brush.Color));
    const std::string BackValue = ColorText(ColorToRGB(shpBackgroundColor->Brush.Color));
    const bool Buttons = optChange3D->Checked() || optChangeBoth->Checked();
    const bool Menus = optChangeMenu->Checked() || optChangeBoth->Checked();
    auto StoreEach = [&](const std::function<void(const char*, const std::string&)>& Store) {
        if (Buttons) {
            Store("ButtonFace", BackValue);
            Store("ButtonText", TextValue);
        }
        if (Menus) {
            Store("Menu", BackValue);
            Store("MenuText", TextValue);
        }
    };

    // win.ini gets no section of its own: only an existing one is brought up to date.
    std::exception_ptr WinIniFailure;
    TIniFile WinIni(WinIniPath());
    if (WinIni.SectionExists(kColorsSection)) {
        try {
            StoreEach([&](const char* Name, const std::string& Value) { WinIni.WriteString(kColorsSection, Name, Value); });
        } catch (const Exception&) {
            WinIniFailure = std::current_exception();
        }
        WinIni.UpdateFile();
    }

    HKEY Key;
    if (RegCreateKeyA(HKEY_CURRENT_USER, kAppearanceKey, &Key) == ERROR_SUCCESS) {
        THeldKey Held(Key);
        const DWORD White[kCustomColors] = {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                                            0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                                            0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};
        RegSetValueExA(Key, "CustomColors", 0, REG_BINARY, reinterpret_cast<const BYTE*>(White), sizeof White);
    }
    if (RegOpenKeyA(HKEY_CURRENT_USER, kColorsKey, &Key) == ERROR_SUCCESS) {
        THeldKey Held(Key);
        StoreEach([&](const char* Name, const std::string& Value) { WriteRegistryText(Key, Name, Value); });
    }
    return WinIniFailure;
}

void TfrmTextColor::btnPreviewClick(TObject*) {
    if (!ColorsChanged) return;
    ApplyColors();
    ColorsPreviewed = true;
}

// Previewed colours stay in force after OK. OK always ends in one state: a win.ini that cannot be
// written does not keep the registry steps from running nor the dialog open; its error is shown once,
// as any error of a handler is, after the dialog has been told to close.
void TfrmTextColor::btnOKClick(TObject*) {
    std::exception_ptr Failure;
    if (ColorsChanged) {
        ApplyColors();
        Failure = StoreColors();
    }
    ColorsPreviewed = false;
    // Made while the colours were applied: it would land on the main window behind the dialog.
    DropPendingInput(Handle());
    Close();
    if (Failure) std::rethrow_exception(Failure);
}

void TfrmTextColor::btnCancelClick(TObject*) {
    RestoreSavedColors();
    Close();
}

// Every way out but OK takes a preview back: Cancel, Alt+F4, and the program ending while the
// dialog is open (its modal loop then leaves without closing it, but hides it).
void TfrmTextColor::FormHide(TObject*) { RestoreSavedColors(); }

void TfrmTextColor::RestoreSavedColors() {
    if (!ColorsPreviewed) return;
    SetSysColors(4, ColorElements, SavedColors);
    ColorsPreviewed = false;
}
