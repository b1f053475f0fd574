#include "Windowtitleform.h"

#include <windows.h>

#include <algorithm>

#include "Borderpictures.h"
#include "Globalfunctions.h"
#include "Velmoracolors.h"
#include "Velmoraform.h"

TfrmWindowTitle* frmWindowTitle = nullptr;

namespace {
const TFormLayout kLayout{"Change Window Title", 244, 143, kPurple, bsNone, 0, poDesigned};
const char* const kMainKey = "Software\\Microsoft\\Internet Explorer\\Main";
const char* const kTitleValue = "Window Title";
const char* const kNoTitle = "No WT";  // the machine holds no title
const char* const kDefaultTitle = "Microsoft Internet Explorer";
constexpr DWORD kTitleBytes = 260;
// The longest title that reads back: 259 characters and the terminating zero fill the buffer.
constexpr int kMaxTitleLength = kTitleBytes - 1;
constexpr int kRaise = 20;  // the dialog sits this much above the main window's centre

// The title under Root; false when the key or the value is missing or does not fit the buffer.
bool ReadTitleUnder(HKEY Root, std::string& Title) {
    HKEY Key;
    if (RegOpenKeyExA(Root, kMainKey, 0, KEY_QUERY_VALUE, &Key) != ERROR_SUCCESS) return false;
    THeldKey Held(Key);
    char Buffer[kTitleBytes];
    DWORD Size = sizeof Buffer;
    if (RegQueryValueExA(Key, kTitleValue, nullptr, nullptr, reinterpret_cast<BYTE*>(Buffer), &Size) != ERROR_SUCCESS)
        return false;
    // Only the bytes read count; a full buffer without an end is a title too long to be one.
    const char* End = std::find(Buffer, Buffer + Size, '\0');
    if (End == Buffer + kTitleBytes) return false;
    Title.assign(static_cast<const char*>(Buffer), End);
    return true;
}

void WriteTitleUnder(HKEY Root, const std::string& Title) {
    HKEY Key;
    if (RegOpenKeyA(Root, kMainKey, &Key) != ERROR_SUCCESS) return;
    THeldKey Held(Key);
    WriteRegistryText(Key, kTitleValue, Title);
}
}  // namespace

TfrmWindowTitle::TfrmWindowTitle(TComponent* Owner) : TForm(Owner) {
    ApplyLayout(kLayout);
    Font.Color = clBlack;
    AddBorderPictures(this, imgTopBorder, imgRightBorder, imgBottomBorder, imgLeftBorder);
    lblWindowTitle = CreateControl<TLabel>(this, this, "lblWindowTitle", Bounds(15, 22, 214, 28));
    lblWindowTitle->AutoSize = false;
    lblWindowTitle->Alignment = taCenter;
    lblWindowTitle->Font.Name = "Times New Roman";
    lblWindowTitle->Font.Height = 24;
    lblWindowTitle->Font.Color = clWhite;
    lblWindowTitle->Font.Style = fsBold | fsItalic;
    lblWindowTitle->SetCaption("Window Title");
    txtWindowTitle = CreateControl<TEdit>(this, this, "txtWindowTitle", Bounds(24, 60, 196, 21));
    txtWindowTitle->SetMaxLength(kMaxTitleLength);
    btnOK = CreateControl<TButton>(this, this, "btnOK", Bounds(36, 98, 75, 25));
    btnOK->SetCaption("&OK");
    btnOK->ModalResult = mrOk;
    btnCancel = CreateControl<TButton>(this, this, "btnCancel", Bounds(133, 98, 75, 25));
    btnCancel->SetCaption("&Cancel");
    btnCancel->ModalResult = mrCancel;

    OnShow = [this](TObject* S) { FormShow(S); };
    btnOK->OnClick = [this](TObject* S) { btnOKClick(S); };
    txtWindowTitle->OnKeyPress = [this](TObject* S, char& Key) { txtWindowTitleKeyPress(S, Key); };
}

std::string TfrmWindowTitle::ReadWindowTitle() {
    std::string Title;
    if (!ReadTitleUnder(HKEY_LOCAL_MACHINE, Title)) Title = kNoTitle;
    if (Title == kNoTitle && !ReadTitleUnder(HKEY_CURRENT_USER, Title)) Title = kDefaultTitle;
    return Title;
}

void TfrmWindowTitle::WriteWindowTitle(const std::string& Title) {
    WriteTitleUnder(HKEY_LOCAL_MACHINE, Title);
    WriteTitleUnder(HKEY_CURRENT_USER, Title);
}

// Every showing reads the registry anew: an earlier, unsaved text is never kept.
void TfrmWindowTitle::FormShow(TObject*) {
    CentreOverClientArea(this, frmVelmora, kRaise);
    txtWindowTitle->SetText(ReadWindowTitle());
    txtWindowTitle->SelectAll();
    txtWindowTitle->SetFocus();
}

void TfrmWindowTitle::btnOKClick(TObject*) { WriteWindowTitle(txtWindowTitle->Text()); }

void TfrmWindowTitle::txtWindowTitleKeyPress(TObject*, char& Key) {
    if (Key != '\r') return;
    Key = 0;
    WriteWindowTitle(txtWindowTitle->Text());
    ModalResult = mrOk;
}
