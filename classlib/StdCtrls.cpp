#include "StdCtrls.h"

#include "Delayload.h"

#include <commctrl.h>

#include <algorithm>

TLabel::TLabel(TComponent* AOwner) : TGraphicControl(AOwner) {}

void TLabel::SetCaption(const std::string& Value) {
    FCaption = Value;
    AdjustBounds();
    Invalidate();
}

unsigned TLabel::TextFlags() const {
    unsigned Flags = DT_EXPANDTABS;
    if (WordWrap) Flags |= DT_WORDBREAK;
    if (!ShowAccelChar) Flags |= DT_NOPREFIX;
    if (Alignment == taCenter) Flags |= DT_CENTER;
    else if (Alignment == taRightJustify) Flags |= DT_RIGHT;
    return Flags;
}

TFont& TLabel::PaintFont() { return ParentFont && FParent ? FParent->Font : Font; }

void TLabel::AdjustBounds() {
    if (!AutoSize) return;
    HDC DC = GetDC(nullptr);
    HGDIOBJ Old = SelectObject(DC, PaintFont().Handle());
    RECT R{0, 0, WordWrap ? FWidth : 0, 0};
    const std::string Text = FCaption.empty() ? std::string(" ") : FCaption;
    DrawTextA(DC, Text.c_str(), static_cast<int>(Text.size()), &R, TextFlags() | DT_CALCRECT);
    SelectObject(DC, Old);
    ReleaseDC(nullptr, DC);
    int NewLeft = FLeft;
    if (!WordWrap && Alignment == taRightJustify) NewLeft = FLeft + FWidth - R.right;
    else if (!WordWrap && Alignment == taCenter) NewLeft = FLeft + (FWidth - R.right) / 2;
    SetBounds(NewLeft, FTop, R.right, R.bottom);
}

void TLabel::Paint(TCanvas& Canvas) {
    if (!Transparent) {
        Canvas.Brush.Color = ParentColor && Parent() ? Parent()->Color : Color;
        Canvas.Brush.Style = bsSolid;
        Canvas.FillRect(Rect(0, 0, FWidth, FHeight));
    }
    HDC DC = Canvas.Handle;
    TFont& TextFont = PaintFont();
    HGDIOBJ Old = SelectObject(DC, TextFont.Handle());
    SetBkMode(DC, TRANSPARENT);
    SetTextColor(DC, ColorToRGB(FEnabled ? TextFont.Color : clGray));
    RECT R{0, 0, FWidth, FHeight};
    if (Layout != tlTop) {
        RECT Calc = R;
        DrawTextA(DC, FCaption.c_str(), static_cast<int>(FCaption.size()), &Calc, TextFlags() | DT_CALCRECT);
        const int Offset = FHeight - (Calc.bottom - Calc.top);
        R.top += Layout == tlCenter ? Offset / 2 : Offset;
    }
    DrawTextA(DC, FCaption.c_str(), static_cast<int>(FCaption.size()), &R, TextFlags());
    SelectObject(DC, Old);
}

// ---- TGroupBox ----

TGroupBox::TGroupBox(TComponent* AOwner) : TWinControl(AOwner) {}

void TGroupBox::SetCaption(const std::string& Value) {
    FCaption = Value;
    Invalidate();
}

void TGroupBox::PaintBackground(TCanvas& Canvas) {
    TWinControl::PaintBackground(Canvas);
    HDC DC = Canvas.Handle;
    HGDIOBJ Old = SelectObject(DC, Font.Handle());
    TEXTMETRICA Metrics;
    GetTextMetricsA(DC, &Metrics);
    // The frame runs through the middle of the caption's line; the caption covers it.
    RECT Frame{0, Metrics.tmHeight / 2, ClientWidth(), ClientHeight()};
    DrawEdge(DC, &Frame, EDGE_ETCHED, BF_RECT);
    if (!FCaption.empty()) {
        constexpr int kCaptionLeft = 8, kCaptionPadding = 2;
        RECT Text{0, 0, 0, 0};
        DrawTextA(DC, FCaption.c_str(), static_cast<int>(FCaption.size()), &Text, DT_SINGLELINE | DT_CALCRECT);
        OffsetRect(&Text, kCaptionLeft, 0);
        Canvas.Brush.Color = Color;
        Canvas.Brush.Style = bsSolid;
        Canvas.FillRect(Rect(Text.left - kCaptionPadding, 0, Text.right + kCaptionPadding, Text.bottom));
        SetBkMode(DC, TRANSPARENT);
        SetTextColor(DC, ColorToRGB(Font.Color));
        DrawTextA(DC, FCaption.c_str(), static_cast<int>(FCaption.size()), &Text, DT_SINGLELINE);
    }
    SelectObject(DC, Old);
}

namespace {
std::string WindowText(HWND Window) {
    std::string Text(GetWindowTextLengthA(Window) + 1, '\0');
    Text.resize(GetWindowTextA(Window, &Text[0], static_cast<int>(Text.size())));
    return Text;
}

void SetTabStop(HWND Window, bool Value) {
    const LONG_PTR Style = GetWindowLongPtrA(Window, GWL_STYLE);
    SetWindowLongPtrA(Window, GWL_STYLE, Value ? Style | WS_TABSTOP : Style & ~WS_TABSTOP);
}
}  // namespace

void TButtonControl::ShowCheck(bool Checked) {
    if (FHandle) SendMessageA(FHandle, BM_SETCHECK, Checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

// ---- TControlBrush ----

TControlBrush::~TControlBrush() {
    if (FBrush) DeleteObject(FBrush);
}

HBRUSH TControlBrush::Paint(HDC DC, COLORREF Text, COLORREF Back) {
    if (!FBrush || FColor != Back) {
        if (FBrush) DeleteObject(FBrush);
        FBrush = CreateSolidBrush(Back);
        FColor = Back;
    }
    SetTextColor(DC, Text);
    SetBkColor(DC, Back);
    return FBrush;
}

// ---- TButtonControl ----

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner) {}

TButtonControl::~TButtonControl() {
    DestroyHandle();  // before the brush that the window may still be painted with
}

void TButtonControl::SetCaption(const std::string& Value) {
    FCaption = Value;
    if (FHandle) SetWindowTextA(FHandle, FCaption.c_str());
}

void TButtonControl::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.ClassName = "BUTTON";
    Params.Caption = FCaption;
    Params.Style = (Params.Style & ~WS_CLIPCHILDREN) | WS_TABSTOP;
    Params.ExStyle = 0;
}

HBRUSH TButtonControl::ControlColor(HDC DC) {
    return FBrush.Paint(DC, ColorToRGB(Font.Color), ColorToRGB(ParentColor && Parent() ? Parent()->Color : Color));
}

// ---- TButton ----

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) {}

void TButton::CreateParams(TCreateParams& Params) {
    TButtonControl::CreateParams(Params);
    Params.Style |= Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

bool TButton::DialogKey(WORD Key, bool Focused) {
    if (Key != VK_RETURN || !(Focused || Default) || !FHandle || !IsWindowVisible(FHandle) || !IsWindowEnabled(FHandle))
        return false;
    Click();
    return true;
}

void TButton::CommandNotify(WORD Code) {
    if (Code == BN_CLICKED) Click();
}

void TButton::Click() {
    TButtonControl::Click();
    if (ModalResult == mrNone) return;
    if (TForm* Form = GetParentForm(this)) Form->ModalResult = ModalResult;
}

// ---- TCheckBox ----

TCheckBox::TCheckBox(TComponent* AOwner) : TButtonControl(AOwner) {}

void TCheckBox::CreateParams(TCreateParams& Params) {
    TButtonControl::CreateParams(Params);
    Params.Style |= BS_AUTOCHECKBOX;
}

void TCheckBox::CreateHandle() {
    TButtonControl::CreateHandle();
    ShowCheck(FChecked);
}

bool TCheckBox::Checked() const {
    return FHandle ? SendMessageA(FHandle, BM_GETCHECK, 0, 0) == BST_CHECKED : FChecked;
}

void TCheckBox::SetChecked(bool Value) {
    FChecked = Value;
    ShowCheck(Value);
}

void TCheckBox::CommandNotify(WORD Code) {
    if (Code != BN_CLICKED) return;
    FChecked = SendMessageA(FHandle, BM_GETCHECK, 0, 0) == BST_CHECKED;  // the window has toggled itself
    Click();
}

// ---- TRadioButton ----

// Windows' automatic radio buttons uncheck only the visible, enabled ones of their group: the
// object unchecks every sibling itself, with or without windows.
TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) {}

void TRadioButton::CreateParams(TCreateParams& Params) {
    TButtonControl::CreateParams(Params);
    Params.Style |= BS_AUTORADIOBUTTON;
    if (!FChecked) Params.Style &= ~WS_TABSTOP;
}

void TRadioButton::CreateHandle() {
    TButtonControl::CreateHandle();
    ShowCheck(FChecked);
}

void TRadioButton::SetChecked(bool Value) {
    FChecked = Value;
    ShowCheck(Value);
    if (FHandle) SetTabStop(FHandle, Value);
    if (!Value || !FParent) return;
    for (int I = 0; I < FParent->ControlCount(); ++I) {
        auto* Sibling = dynamic_cast<TRadioButton*>(FParent->Controls(I));
        if (Sibling && Sibling != this && Sibling->FChecked) Sibling->SetChecked(false);
    }
}

void TRadioButton::CommandNotify(WORD Code) {
    if (Code != BN_CLICKED || FChecked) return;
    SetChecked(true);
    Click();
}

// ---- TCustomEdit, TEdit, TMemo ----

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) { Color = clWindow; }

TCustomEdit::~TCustomEdit() {
    DestroyHandle();  // before the brush that the window may still be painted with
}

void TCustomEdit::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.ClassName = "EDIT";
    Params.Caption = FText;
    Params.Style = Params.Style & ~WS_CLIPCHILDREN;
    if (TabStop) Params.Style |= WS_TABSTOP;
    if (FReadOnly) Params.Style |= ES_READONLY;
    if (CharCase == ecLowerCase) Params.Style |= ES_LOWERCASE;
    if (CharCase == ecUpperCase) Params.Style |= ES_UPPERCASE;
    Params.ExStyle = WS_EX_CLIENTEDGE;
}

void TCustomEdit::CreateHandle() {
    TWinControl::CreateHandle();
    SendMessageA(FHandle, EM_LIMITTEXT, FMaxLength, 0);
    SendMessageA(FHandle, EM_SETSEL, FSelStart, FSelStart + FSelLength);
}

// The window's text is the edit's own: what was typed, with the system's line breaks.
std::string TCustomEdit::Text() const { return FHandle ? WindowText(FHandle) : FText; }

void TCustomEdit::SetText(const std::string& Value) {
    FText = Value;
    if (FHandle) SetWindowTextA(FHandle, FText.c_str());
}

void TCustomEdit::SetMaxLength(int Value) {
    FMaxLength = Value;
    if (FHandle) SendMessageA(FHandle, EM_LIMITTEXT, FMaxLength, 0);
}

void TCustomEdit::SetReadOnly(bool Value) {
    FReadOnly = Value;
    if (FHandle) SendMessageA(FHandle, EM_SETREADONLY, Value, 0);
}

int TCustomEdit::SelStart() const {
    if (!FHandle) return FSelStart;
    DWORD Start = 0;
    SendMessageA(FHandle, EM_GETSEL, reinterpret_cast<WPARAM>(&Start), 0);
    return static_cast<int>(Start);
}

int TCustomEdit::SelLength() const {
    if (!FHandle) return FSelLength;
    DWORD Start = 0, End = 0;
    SendMessageA(FHandle, EM_GETSEL, reinterpret_cast<WPARAM>(&Start), reinterpret_cast<LPARAM>(&End));
    return static_cast<int>(End - Start);
}

// As in the VCL, a new start empties the selection and a length extends it from the start.
void TCustomEdit::SetSelStart(int Value) {
    FSelStart = Value;
    FSelLength = 0;
    if (FHandle) SendMessageA(FHandle, EM_SETSEL, Value, Value);
}

void TCustomEdit::SetSelLength(int Value) {
    FSelStart = SelStart();
    FSelLength = Value;
    if (FHandle) SendMessageA(FHandle, EM_SETSEL, FSelStart, FSelStart + Value);
}

void TCustomEdit::SelectAll() {
    SetSelStart(0);
    SetSelLength(static_cast<int>(Text().size()));
}

void TCustomEdit::CommandNotify(WORD Code) {
    if (Code == EN_CHANGE && OnChange) OnChange(this);
}

// Text in Font.Color on Color; the system draws a read-only box grey unless told otherwise.
HBRUSH TCustomEdit::ControlColor(HDC DC) { return FBrush.Paint(DC, ColorToRGB(Font.Color), ColorToRGB(Color)); }

LRESULT TCustomEdit::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
    switch (Msg) {
        case WM_GETDLGCODE:
            // Enter goes to a key filter instead of pressing the dialog's default button.
            if (OnKeyPress && AsksAboutEnter(LParam)) return TWinControl::WndProc(Msg, WParam, LParam) | DLGC_WANTMESSAGE;
            // A memo wants every key, and on Escape it closes its parent as if that were a dialog:
            // Escape goes to the form instead, as it does from any other control.
            if (AsksAboutKey(LParam, VK_ESCAPE)) return TWinControl::WndProc(Msg, WParam, LParam) & ~DLGC_WANTMESSAGE;
            break;
        case WM_CHAR:
            if (OnKeyPress) {
                char Key = static_cast<char>(WParam);
                OnKeyPress(this, Key);
                if (Key == 0) return 0;
                WParam = static_cast<unsigned char>(Key);
            }
            break;
        case WM_DESTROY:
            FText = WindowText(FHandle);  // kept for Text and for a window made again later
            break;
    }
    return TWinControl::WndProc(Msg, WParam, LParam);
}

void TEdit::CreateParams(TCreateParams& Params) {
    TCustomEdit::CreateParams(Params);
    Params.Style |= ES_AUTOHSCROLL;
}

void TMemo::CreateParams(TCreateParams& Params) {
    TCustomEdit::CreateParams(Params);
    Params.Style |= ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL;
    if (ScrollBars == ssVertical) Params.Style |= WS_VSCROLL;
}

std::vector<std::string> TMemo::Lines() const {
    std::vector<std::string> Result;
    if (!FHandle) {
        // Without a window there is no wrapping: the lines are the text's own.
        const std::string Whole = Text();
        if (Whole.empty()) return Result;
        size_t Start = 0;
        for (size_t Break; (Break = Whole.find("\r\n", Start)) != std::string::npos; Start = Break + 2)
            Result.push_back(Whole.substr(Start, Break - Start));
        Result.push_back(Whole.substr(Start));
        return Result;
    }
    if (GetWindowTextLengthA(FHandle) == 0) return Result;
    const int Count = static_cast<int>(SendMessageA(FHandle, EM_GETLINECOUNT, 0, 0));
    for (int Line = 0; Line < Count; ++Line) {
        const int Index = static_cast<int>(SendMessageA(FHandle, EM_LINEINDEX, Line, 0));
        const int Length = static_cast<int>(SendMessageA(FHandle, EM_LINELENGTH, Index, 0));
        // EM_GETLINE takes the room in its first word and writes no terminating zero.
        std::string Row(std::max(Length, 2), '\0');
        *reinterpret_cast<WORD*>(&Row[0]) = static_cast<WORD>(Row.size());
        const int Copied = static_cast<int>(SendMessageA(FHandle, EM_GETLINE, Line, reinterpret_cast<LPARAM>(&Row[0])));
        Row.resize(std::min(Copied, Length));
        Result.push_back(Row);
    }
    return Result;
}

// ---- TProgressBar ----

TProgressBar::TProgressBar(TComponent* AOwner) : TWinControl(AOwner) {}

void TProgressBar::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.ClassName = PROGRESS_CLASSA;
    Params.Style &= ~WS_CLIPCHILDREN;
    Params.ExStyle = 0;
}

void TProgressBar::CreateHandle() {
    INITCOMMONCONTROLSEX Classes{sizeof Classes, ICC_PROGRESS_CLASS};
    Delayload::InitCommonControlsEx(&Classes);
    TWinControl::CreateHandle();
    Update();
}

void TProgressBar::SetMin(int Value) {
    FMin = Value;
    Update();
}

void TProgressBar::SetMax(int Value) {
    FMax = Value;
    Update();
}

void TProgressBar::SetPosition(int Value) {
    FPosition = Value;
    Update();
}

void TProgressBar::Update() {
    FPosition = std::max(FMin, std::min(FPosition, FMax));
    if (!FHandle) return;
    SendMessageA(FHandle, PBM_SETRANGE32, FMin, FMax);
    SendMessageA(FHandle, PBM_SETPOS, FPosition, 0);
}
