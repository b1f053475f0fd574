#include "Forms.h"

#include <algorithm>
#include <vector>

namespace {
// Posted to a form when activation has moved to it from another form or from outside the program;
// its OnActivate then runs from the message loop, not inside Windows' activation.
constexpr UINT CM_ACTIVATE = WM_APP + 0x100;

BOOL CALLBACK CollectEnabledWindow(HWND Window, LPARAM List) {
    if (IsWindowVisible(Window) && IsWindowEnabled(Window))
        reinterpret_cast<std::vector<HWND>*>(List)->push_back(Window);
    return TRUE;
}
}  // namespace

TApplication* Application = new TApplication;  // lives as long as the process
TScreen* Screen = new TScreen;

// ---- TForm ----

TForm::TForm(TComponent* AOwner) : TWinControl(AOwner) {
    FVisible = false;
    HDC DC = GetDC(nullptr);
    PixelsPerInch = GetDeviceCaps(DC, LOGPIXELSY);
    ReleaseDC(nullptr, DC);
}

TForm::~TForm() {
    if (Screen->ActiveForm == this) Screen->ActiveForm = nullptr;
    if (OnDestroy) OnDestroy(this);
}

void TForm::ApplyLayout(const TFormLayout& Layout) {
    SetCaption(Layout.Caption);
    BorderStyle = Layout.BorderStyle;
    BorderIcons = Layout.BorderIcons;
    Position = Layout.Position;
    Color = Layout.Color;
    SetClientSize(Layout.ClientWidth, Layout.ClientHeight);
}

void TForm::DoCreate() {
    if (OnCreate) OnCreate(this);
}

void TForm::SetCaption(const std::string& Value) {
    FCaption = Value;
    if (FHandle) SetWindowTextA(FHandle, FCaption.c_str());
}

DWORD TForm::WindowStyle() const {
    DWORD Style = WS_CLIPCHILDREN;
    switch (BorderStyle) {
        case bsNone: Style |= WS_POPUP; break;
        case bsSingle: case bsToolWindow: Style |= WS_CAPTION; break;
        case bsSizeable: Style |= WS_CAPTION | WS_THICKFRAME; break;
        case bsDialog: Style |= WS_POPUP | WS_CAPTION; break;
    }
    if (BorderStyle != bsNone && (BorderIcons & biSystemMenu)) {
        Style |= WS_SYSMENU;
        if (BorderStyle != bsDialog && BorderStyle != bsToolWindow) {
            if (BorderIcons & biMinimize) Style |= WS_MINIMIZEBOX;
            if (BorderIcons & biMaximize) Style |= WS_MAXIMIZEBOX;
        }
    }
    return Style;
}

DWORD TForm::WindowExStyle() const {
    DWORD ExStyle = 0;
    if (FormStyle == fsStayOnTop) ExStyle |= WS_EX_TOPMOST;
    if (BorderStyle == bsDialog) ExStyle |= WS_EX_DLGMODALFRAME;
    if (BorderStyle == bsToolWindow) ExStyle |= WS_EX_TOOLWINDOW;
    return ExStyle;
}

void TForm::CreateParams(TCreateParams& Params) {
    Params.ClassName = kVelmoraWindowClass;
    Params.Caption = FCaption;
    Params.Style = WindowStyle();
    Params.ExStyle = WindowExStyle() | WS_EX_CONTROLPARENT;
    // Every other form belongs to the main form: it stays above it and has no taskbar button.
    TForm* Main = Application->MainForm();
    if (Main && Main != this) Params.Parent = Main->Handle();
    Params.X = FLeft;
    Params.Y = FTop;
    Params.Width = FWidth;
    Params.Height = FHeight;
}

void TForm::UpdateOuterSize() {
    RECT R{0, 0, FClientWidth, FClientHeight};
    AdjustWindowRectEx(&R, WindowStyle(), FALSE, WindowExStyle());
    FWidth = R.right - R.left;
    FHeight = R.bottom - R.top;
    if (FHandle) SetWindowPos(FHandle, nullptr, 0, 0, FWidth, FHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::SetClientSize(int AWidth, int AHeight) {
    FClientWidth = AWidth;
    FClientHeight = AHeight;
    UpdateOuterSize();
    Realign();
    Invalidate();
}

void TForm::BoundsChanged() {
    RECT Frame{0, 0, 0, 0};
    AdjustWindowRectEx(&Frame, WindowStyle(), FALSE, WindowExStyle());
    FClientWidth = FWidth - (Frame.right - Frame.left);
    FClientHeight = FHeight - (Frame.bottom - Frame.top);
    if (FHandle) SetWindowPos(FHandle, nullptr, FLeft, FTop, FWidth, FHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    Realign();
}

void TForm::SetVisible(bool Value) {
    if (Value == FVisible) return;
    if (Value) {
        if (Position == poScreenCenter) {
            FLeft = (Screen->Width() - FWidth) / 2;
            FTop = (Screen->Height() - FHeight) / 2;
        }
        FEnteredWindow = nullptr;  // the showing's first focus is an entry
        if (OnShow) OnShow(this);  // before the window appears; it may still move the form
        FVisible = true;
        HWND Window = Handle();
        SetWindowPos(Window, nullptr, FLeft, FTop, FWidth, FHeight, SWP_NOZORDER | SWP_NOACTIVATE);
        ShowWindow(Window, SW_SHOW);
        SetForegroundWindow(Window);
    } else {
        FVisible = false;
        if (Screen->ActiveForm == this) Screen->ActiveForm = nullptr;
        if (FHandle) ShowWindow(FHandle, SW_HIDE);
        if (OnHide) OnHide(this);
    }
}

bool TForm::CloseQuery() {
    bool CanClose = true;
    if (OnCloseQuery) OnCloseQuery(this, CanClose);
    return CanClose;
}

void TForm::Close() {
    if (FModal) {
        ModalResult = mrCancel;
        return;
    }
    if (!CloseQuery()) return;
    TCloseAction Action = caHide;
    if (OnClose) OnClose(this, Action);
    if (Action == caNone) return;
    if (Application->MainForm() == this) Application->Terminate();
    else if (Action == caMinimize) ShowWindow(Handle(), SW_MINIMIZE);
    else Hide();
}

int TForm::ShowModal() {
    if (FVisible || FModal) throw EInvalidOperation("Cannot make a visible window modal");
    ReleaseCapture();
    HWND ActiveBefore = GetActiveWindow();
    std::vector<HWND> Disabled;
    EnumThreadWindows(GetCurrentThreadId(), CollectEnabledWindow, reinterpret_cast<LPARAM>(&Disabled));
    for (HWND Window : Disabled) EnableWindow(Window, FALSE);
    FModal = true;
    ModalResult = mrNone;
    // Whatever happens inside, the other windows get their input back and this one is hidden.
    struct TRestore {
        TForm* Self;
        std::vector<HWND>& Windows;
        HWND Active;
        ~TRestore() {
            for (HWND Window : Windows)
                if (IsWindow(Window)) EnableWindow(Window, TRUE);
            if (Active && IsWindow(Active) && IsWindowVisible(Active)) SetActiveWindow(Active);
            Self->FModal = false;
            Self->Hide();
        }
    } Restore{this, Disabled, ActiveBefore};
    Show();
    while (true) {
        Application->HandleMessage();
        if (Application->Terminated()) ModalResult = mrCancel;
        if (ModalResult == mrNone) continue;
        if (Application->Terminated()) break;
        if (!CloseQuery()) {
            ModalResult = mrNone;
            continue;
        }
        TCloseAction Action = caHide;
        if (OnClose) OnClose(this, Action);
        if (Action != caNone) break;
        ModalResult = mrNone;
    }
    return ModalResult;
}

void TForm::FocusControl(TWinControl* Control) {
    FFocusedWindow = Control->Handle();
    if (FHandle && IsWindowVisible(FHandle)) ::SetFocus(FFocusedWindow);
}

void TForm::ControlFocused(TWinControl* Control) {
    if (Control->Handle() == FEnteredWindow) return;  // given back on activation
    TWinControl* Previous = FEnteredWindow ? FindControl(FEnteredWindow) : nullptr;
    FEnteredWindow = Control->Handle();
    if (Previous && Previous->OnExit) Previous->OnExit(Previous);
    if (Control->OnEnter) Control->OnEnter(Control);
}

namespace {
// Offers a dialog key to Parent's windowed controls, depth first, until one uses it.
bool OfferDialogKey(TWinControl* Parent, WORD Key) {
    for (int I = 0; I < Parent->ControlCount(); ++I)
        if (auto* Control = dynamic_cast<TWinControl*>(Parent->Controls(I)))
            if (Control->DialogKey(Key, false) || OfferDialogKey(Control, Key)) return true;
    return false;
}
}  // namespace

bool TForm::PressEnter(const MSG& Key) {
    HWND Focus = GetFocus();
    if (Focus && IsChild(FHandle, Focus)) {
        const LRESULT Code = SendMessageA(Focus, WM_GETDLGCODE, Key.wParam, reinterpret_cast<LPARAM>(&Key));
        if (Code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) return false;
        if (TWinControl* Control = FindControl(Focus); Control && Control->DialogKey(VK_RETURN, true)) return true;
    }
    return OfferDialogKey(this, VK_RETURN);
}

void TForm::Activated() {
    if (FActivating || !FVisible) return;  // OnActivate is never re-entered
    FActivating = true;
    struct TReset {
        bool& Flag;
        ~TReset() { Flag = false; }
    } Reset{FActivating};
    if (OnActivate) OnActivate(this);
}

LRESULT TForm::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
    switch (Msg) {
        case WM_ACTIVATE:
            FActive = LOWORD(WParam) != WA_INACTIVE;
            if (!FActive) {
                HWND Focus = GetFocus();
                if (IsChild(FHandle, Focus)) FFocusedWindow = Focus;
            }
            // Only a change of the program's active form counts: the end of a message box, or a return
            // from another program to the same form, does not activate the form again.
            if (FActive && Screen->ActiveForm != this) {
                TForm* Previous = Screen->ActiveForm;
                Screen->ActiveForm = this;
                if (Previous && Previous->OnDeactivate) Previous->OnDeactivate(Previous);
                PostMessageA(FHandle, CM_ACTIVATE, 0, 0);
            }
            break;
        case CM_ACTIVATE:
            if (Screen->ActiveForm == this) Activated();
            return 0;
        case WM_SETFOCUS: {
            // As in a dialog box: the control that had the focus when the form was left gets it
            // back, else the first one that Tab reaches.
            HWND Target = FFocusedWindow && IsChild(FHandle, FFocusedWindow) && IsWindowEnabled(FFocusedWindow) &&
                                  IsWindowVisible(FFocusedWindow)
                              ? FFocusedWindow
                              : GetNextDlgTabItem(FHandle, nullptr, FALSE);
            if (Target && IsChild(FHandle, Target)) {
                ::SetFocus(Target);
                return 0;
            }
            break;
        }
        case WM_NEXTDLGCTL: {
            // What the dialog manager does for a dialog: a memo sends it for Tab and Shift+Tab.
            // Ctrl+Tab stays in the memo.
            if (!LOWORD(LParam) && GetKeyState(VK_CONTROL) < 0) return 0;
            HWND Target = LOWORD(LParam) ? reinterpret_cast<HWND>(WParam)
                                         : GetNextDlgTabItem(FHandle, GetFocus(), WParam != 0);
            if (!Target || !IsChild(FHandle, Target)) return 0;
            if (!LOWORD(LParam) && (SendMessageA(Target, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL))
                SendMessageA(Target, EM_SETSEL, 0, -1);  // as Tab selects an edit's text
            ::SetFocus(Target);
            return 0;
        }
        case WM_CLOSE:
            Close();
            return 0;
        case WM_WINDOWPOSCHANGED: {
            const auto* Pos = reinterpret_cast<const WINDOWPOS*>(LParam);
            if (!(Pos->flags & SWP_NOMOVE) && !IsIconic(FHandle)) {
                FLeft = Pos->x;
                FTop = Pos->y;
            }
            break;
        }
    }
    return TWinControl::WndProc(Msg, WParam, LParam);
}

// ---- TScrollBox ----

TScrollBox::TScrollBox(TComponent* AOwner) : TWinControl(AOwner) {}

void TScrollBox::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.Style |= WS_VSCROLL;
    if (!BorderStyleNone) Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TScrollBox::CreateHandle() {
    TWinControl::CreateHandle();
    UpdateScrollBar();
}

int TScrollBox::ClientWidth() const {
    if (FHandle) {
        RECT R;
        GetClientRect(FHandle, &R);
        return R.right;
    }
    const int Border = BorderStyleNone ? 0 : 2 * GetSystemMetrics(SM_CXEDGE);
    return FWidth - Border - GetSystemMetrics(SM_CXVSCROLL);
}

int TScrollBox::ClientHeight() const {
    if (FHandle) {
        RECT R;
        GetClientRect(FHandle, &R);
        return R.bottom;
    }
    return FHeight - (BorderStyleNone ? 0 : 2 * GetSystemMetrics(SM_CYEDGE));
}

int TScrollBox::VertRange() const {
    int Range = 0;
    for (int I = 0; I < ControlCount(); ++I)
        if (Controls(I)->Visible()) Range = std::max(Range, Controls(I)->Top() + Controls(I)->Height());
    return Range;
}

void TScrollBox::SetVertPosition(int Value) {
    Value = std::max(0, std::min(Value, VertRange() - ClientHeight()));
    if (Value == VertScrollBar.Position) return;
    VertScrollBar.Position = Value;
    if (!FHandle) return;
    SetScrollPos(FHandle, SB_VERT, Value, TRUE);
    ClientOffsetChanged();
}

void TScrollBox::UpdateScrollBar() {
    if (!FHandle) return;
    // The range may have shrunk or the page grown: the position stays inside.
    const int Position = std::max(0, std::min(VertScrollBar.Position, VertRange() - ClientHeight()));
    const bool Moved = Position != VertScrollBar.Position;
    VertScrollBar.Position = Position;
    SCROLLINFO Info{};
    Info.cbSize = sizeof Info;
    Info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    Info.nMax = std::max(0, VertRange() - 1);
    Info.nPage = static_cast<UINT>(std::max(0, ClientHeight()));
    Info.nPos = Position;
    SetScrollInfo(FHandle, SB_VERT, &Info, TRUE);  // the bar coming or going resizes: WM_SIZE comes back here
    if (Moved) ClientOffsetChanged();
}

void TScrollBox::ControlsChanged() { UpdateScrollBar(); }

bool TScrollBox::DoMouseWheel(int WheelDelta) {
    UINT Lines = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &Lines, 0);
    if (Lines == WHEEL_PAGESCROLL) ScrollBy(-WheelDelta * ClientHeight() / WHEEL_DELTA);
    else ScrollBy(-WheelDelta * static_cast<int>(Lines) * VertScrollBar.Increment / WHEEL_DELTA);
    return true;
}

LRESULT TScrollBox::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
    switch (Msg) {
        case WM_VSCROLL: {
            SCROLLINFO Info{};
            Info.cbSize = sizeof Info;
            Info.fMask = SIF_TRACKPOS;
            GetScrollInfo(FHandle, SB_VERT, &Info);
            const int Position = VertScrollBar.Position;
            switch (LOWORD(WParam)) {
                case SB_LINEUP: SetVertPosition(Position - VertScrollBar.Increment); break;
                case SB_LINEDOWN: SetVertPosition(Position + VertScrollBar.Increment); break;
                case SB_PAGEUP: SetVertPosition(Position - ClientHeight()); break;
                case SB_PAGEDOWN: SetVertPosition(Position + ClientHeight()); break;
                case SB_THUMBTRACK: case SB_THUMBPOSITION: SetVertPosition(Info.nTrackPos); break;
                case SB_TOP: SetVertPosition(0); break;
                case SB_BOTTOM: SetVertPosition(VertRange()); break;
            }
            return 0;
        }
        case WM_SIZE:
            TWinControl::WndProc(Msg, WParam, LParam);
            UpdateScrollBar();
            return 0;
    }
    return TWinControl::WndProc(Msg, WParam, LParam);
}

TForm* GetParentForm(TControl* Control) {
    for (TControl* C = Control; C; C = C->Parent())
        if (auto* Form = dynamic_cast<TForm*>(C)) return Form;
    return nullptr;
}

namespace {
DWORD InputDroppedAt = 0;  // key and mouse input made before this tick is stale
bool InputDropped = false;
// How long after a drop input made before it may still reach the queue.
constexpr DWORD kLateInputMs = 2000;

bool IsUserInput(UINT Msg) {
    return (Msg >= WM_KEYFIRST && Msg <= WM_KEYLAST) || (Msg >= WM_MOUSEFIRST && Msg <= WM_MOUSELAST) ||
           (Msg >= WM_NCMOUSEMOVE && Msg <= WM_NCXBUTTONDBLCLK);
}

// Input can reach the queue after the drop that was meant for it: under Wine another process (the
// desktop's) may turn it into messages late. Its time tells when it was made; every loop of the
// thread, a message box's too, then gets it as WM_NULL.
LRESULT CALLBACK DropStaleInput(int Code, WPARAM Removal, LPARAM Message) {
    auto* Msg = reinterpret_cast<MSG*>(Message);
    // Stale: made before the drop, however long the step before it blocked. Looked for only shortly
    // after a drop, when the two times lie close enough that the tick count's wrap cannot confuse them.
    if (Code == HC_ACTION && InputDropped && IsUserInput(Msg->message) &&
        GetTickCount() - InputDroppedAt <= kLateInputMs && static_cast<LONG>(InputDroppedAt - Msg->time) > 0)
        Msg->message = WM_NULL;
    return CallNextHookEx(nullptr, Code, Removal, Message);
}
}  // namespace

void DropPendingInput(HWND Window) {
    // Once, for the one thread that runs the windows.
    static const HHOOK Hook = SetWindowsHookExA(WH_GETMESSAGE, DropStaleInput, nullptr, GetCurrentThreadId());
    (void)Hook;
    InputDroppedAt = GetTickCount();
    InputDropped = true;
    struct TRange {
        UINT First, Last;
        bool OfWindow;  // only what was posted to Window and its controls
    };
    // Alt+F4 is a WM_SYSKEYDOWN until it is handled; a click on the caption is non-client mouse input.
    // A click a program posted (BM_CLICK), or one a control has already turned into WM_COMMAND, and a
    // posted close or system command are aimed at this window only.
    static const TRange Ranges[] = {
        {WM_KEYFIRST, WM_KEYLAST, false},
        {WM_MOUSEFIRST, WM_MOUSELAST, false},
        {WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK, false},
        {WM_CLOSE, WM_CLOSE, true},
        {WM_SYSCOMMAND, WM_SYSCOMMAND, true},
        {WM_COMMAND, WM_COMMAND, true},
        {BM_CLICK, BM_CLICK, true},
    };
    MSG Msg;
    for (const TRange& Range : Ranges) {
        if (Range.OfWindow && !Window) continue;
        // Bounded: input that keeps coming (a held key) must not hold the program here.
        for (int Left = 10000; Left > 0; --Left)
            if (!PeekMessageA(&Msg, Range.OfWindow ? Window : nullptr, Range.First, Range.Last, PM_REMOVE)) break;
    }
}

// ---- TApplication ----

TApplication::TApplication() : TComponent(nullptr) {}

std::string TApplication::ExeName() const {
    std::string Path(MAX_PATH, '\0');
    while (true) {
        const DWORD Length = GetModuleFileNameA(nullptr, &Path[0], static_cast<DWORD>(Path.size()));
        if (Length < Path.size()) {
            Path.resize(Length);
            return Path;
        }
        Path.resize(Path.size() * 2);
    }
}

void TApplication::Run() {
    if (FMainForm) FMainForm->Show();
    while (!FTerminated) HandleMessage();
}

bool TApplication::ProcessMessage() {
    MSG Msg;
    if (!PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE)) return false;
    if (Msg.message == WM_QUIT) {
        FTerminated = true;
        return true;
    }
    // Keyboard input of a form goes through the dialog manager: Tab and Shift+Tab move the focus,
    // arrows move it inside a group. Enter presses a button when the focused control leaves it
    // (the form decides which); otherwise Enter and Escape reach TWinControl as commands without a
    // control, and are dropped there.
    if (Msg.message >= WM_KEYFIRST && Msg.message <= WM_KEYLAST && Msg.hwnd) {
        auto* Form = dynamic_cast<TForm*>(FindControl(GetAncestor(Msg.hwnd, GA_ROOT)));
        if (Form && Msg.message == WM_KEYDOWN && Msg.wParam == VK_RETURN && Form->PressEnter(Msg)) return true;
        if (Form && IsDialogMessageA(Form->Handle(), &Msg)) return true;
    }
    TranslateMessage(&Msg);
    DispatchMessageA(&Msg);
    return true;
}

void TApplication::ProcessMessages() {
    while (ProcessMessage()) {
    }
}

void TApplication::HandleMessage() {
    if (!ProcessMessage()) WaitMessage();
}

void TApplication::Terminate() { PostQuitMessage(0); }

void TApplication::HandleException() {
    try {
        throw;
    } catch (const Exception& E) {
        ShowException(E.Message);
    } catch (const std::exception& E) {
        ShowException(E.what());
    } catch (...) {
        ShowException("Unknown error");
    }
}

void TApplication::ShowException(const std::string& Message) {
    std::string Text = Message;
    if (!Text.empty() && static_cast<unsigned char>(Text.back()) > '.') Text += '.';
    MessageBox(Text, Title, MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const std::string& Text, const std::string& Caption, unsigned Flags, HWND Owner) {
    if (MessageBoxResponder) return MessageBoxResponder(TMessageBoxRequest{Owner, Text, Caption, Flags});
    if (!Owner) Owner = GetActiveWindow();
    return ::MessageBoxA(Owner, Text.c_str(), Caption.c_str(), Flags);
}

// ---- TScreen ----

HCURSOR TScreen::CursorHandle(TCursor Cursor) {
    auto Found = Cursors.find(Cursor);
    if (Found != Cursors.end() && Found->second) return Found->second;
    switch (Cursor) {
        case crHourGlass: return LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT));
        case crHandPoint: return LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND));
        default: return LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    }
}
