#include "Controls.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "Delayload.h"
#include "Forms.h"

const char* const kVelmoraWindowClass = "TVelmoraWindow";

namespace {
const char* const kControlProperty = "VelmoraControl";

TShiftState ShiftFromKeys(WPARAM Keys) {
    TShiftState Shift = 0;
    if (Keys & MK_SHIFT) Shift |= ssShift;
    if (Keys & MK_CONTROL) Shift |= ssCtrl;
    if (Keys & MK_LBUTTON) Shift |= ssLeft;
    if (Keys & MK_RBUTTON) Shift |= ssRight;
    if (Keys & MK_MBUTTON) Shift |= ssMiddle;
    if (GetKeyState(VK_MENU) < 0) Shift |= ssAlt;
    return Shift;
}

void RegisterVelmoraWindowClass(WNDPROC Procedure) {
    static bool Registered = false;
    if (Registered) return;
    WNDCLASSEXA Class{};
    Class.cbSize = sizeof Class;
    Class.style = CS_DBLCLKS;
    Class.lpfnWndProc = Procedure;
    Class.hInstance = GetModuleHandleA(nullptr);
    Class.hIcon = LoadIconA(Class.hInstance, "MAINICON");
    Class.lpszClassName = kVelmoraWindowClass;
    RegisterClassExA(&Class);
    Registered = true;
}

// Child windows get identifiers of their own, clear of IDOK, IDCANCEL and the other dialog
// command numbers: the dialog manager sends those for Enter and Escape.
HMENU NextControlId() {
    static int Id = 0;
    Id = Id % 0x7000 + 1;
    return reinterpret_cast<HMENU>(static_cast<UINT_PTR>(0x1000 + Id));
}
}  // namespace

TWinControl* FindControl(HWND Window) {
    return Window ? static_cast<TWinControl*>(GetPropA(Window, kControlProperty)) : nullptr;
}

// ---- TControl ----

TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {}

TControl::~TControl() { SetParent(nullptr); }

void TControl::SetParent(TWinControl* AParent) {
    if (AParent == FParent) return;
    if (FParent) FParent->RemoveControl(this);
    if (AParent) AParent->InsertControl(this);
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
    Invalidate();
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    BoundsChanged();
    Invalidate();
    if (FParent) FParent->ControlsChanged();
}

void TControl::SetVisible(bool Value) {
    if (Value == FVisible) return;
    FVisible = Value;
    VisibleChanged();
    if (!dynamic_cast<TWinControl*>(this) && FParent && FParent->HandleAllocated()) {
        const TPoint Offset = FParent->ClientOffset();
        RECT R{FLeft + Offset.X, FTop + Offset.Y, FLeft + Offset.X + FWidth, FTop + Offset.Y + FHeight};
        InvalidateRect(FParent->Handle(), &R, FALSE);
    }
    if (FParent) FParent->ControlsChanged();
}

// A windowless control looks different when disabled, so it is painted again.
void TControl::SetEnabled(bool Value) {
    if (Value == FEnabled) return;
    FEnabled = Value;
    if (!dynamic_cast<TWinControl*>(this)) Invalidate();
}

void TControl::SetAlign(TAlign Value) {
    FAlign = Value;
    if (FParent) FParent->Realign();
}

bool TControl::Showing() const {
    for (const TControl* C = this; C; C = C->FParent)
        if (!C->FVisible) return false;
    return true;
}

void TControl::Invalidate() {
    if (FVisible && FParent && FParent->HandleAllocated()) {
        const TPoint Offset = FParent->ClientOffset();
        RECT R{FLeft + Offset.X, FTop + Offset.Y, FLeft + Offset.X + FWidth, FTop + Offset.Y + FHeight};
        InvalidateRect(FParent->Handle(), &R, FALSE);
    }
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
    if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

TPoint TControl::ClientToScreen(TPoint P) const {
    if (!FParent) return P;
    const TPoint Offset = FParent->ClientOffset();
    return FParent->ClientToScreen(TPoint{P.X + FLeft + Offset.X, P.Y + FTop + Offset.Y});
}

// ---- TWinControl ----

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
    // Children still alive are freed by their owner later; they must not reach back into this.
    for (TControl* Child : FControls) Child->FParent = nullptr;
    FControls.clear();
    DestroyHandle();
}

void TWinControl::InsertControl(TControl* Control) {
    FControls.push_back(Control);
    Control->FParent = this;
    if (auto* Windowed = dynamic_cast<TWinControl*>(Control); Windowed && FHandle) Windowed->Handle();
    if (Control->Align() != alNone) Realign();
    Control->Invalidate();
    ControlsChanged();
}

void TWinControl::RemoveControl(TControl* Control) {
    Control->Invalidate();
    if (FMouseControl == Control) FMouseControl = nullptr;
    if (FHintControl == Control) FHintControl = nullptr;
    FControls.erase(std::remove(FControls.begin(), FControls.end(), Control), FControls.end());
    Control->FParent = nullptr;
    if (auto* Windowed = dynamic_cast<TWinControl*>(Control)) Windowed->DestroyHandle();
    ControlsChanged();
}

HWND TWinControl::Handle() {
    if (FHandle) return FHandle;
    // A parent that gets its window now makes the windows of all its children, this one too.
    if (FParent && !FParent->HandleAllocated()) FParent->Handle();
    if (!FHandle) CreateHandle();
    return FHandle;
}

void TWinControl::CreateParams(TCreateParams& Params) {
    Params.ClassName = kVelmoraWindowClass;
    Params.Style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | (FVisible ? WS_VISIBLE : 0) |
                   (FEnabled ? 0 : WS_DISABLED);
    Params.ExStyle = WS_EX_CONTROLPARENT;  // Tab reaches the controls inside
    Params.X = FLeft;
    Params.Y = FTop;
    Params.Width = FWidth;
    Params.Height = FHeight;
    if (FParent) {
        Params.Parent = FParent->Handle();
        const TPoint Offset = FParent->ClientOffset();
        Params.X += Offset.X;
        Params.Y += Offset.Y;
    }
}

void TWinControl::CreateHandle() {
    RegisterVelmoraWindowClass(&TWinControl::WindowProcedure);
    TCreateParams Params;
    CreateParams(Params);
    const bool OwnClass = Params.ClassName == kVelmoraWindowClass;
    HWND Window = CreateWindowExA(Params.ExStyle, Params.ClassName.c_str(), Params.Caption.c_str(), Params.Style,
                                  Params.X, Params.Y, Params.Width, Params.Height, Params.Parent,
                                  (Params.Style & WS_CHILD) ? NextControlId() : nullptr,
                                  GetModuleHandleA(nullptr), OwnClass ? this : nullptr);
    if (!Window) throw Exception("Error creating window");
    if (!OwnClass) {  // a standard control: its messages pass through us first
        FHandle = Window;
        SetPropA(Window, kControlProperty, this);
        FDefWndProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TWinControl::WindowProcedure)));
    }
    SendMessageA(Window, WM_SETFONT, reinterpret_cast<WPARAM>(Font.Handle()), FALSE);
    for (TControl* Child : FControls)
        if (auto* Windowed = dynamic_cast<TWinControl*>(Child)) Windowed->Handle();
    Realign();
}

void TWinControl::DestroyHandle() {
    if (!FHandle) return;
    HWND Window = FHandle;
    DestroyWindow(Window);  // WM_NCDESTROY clears FHandle
    FHandle = nullptr;
}

LRESULT CALLBACK TWinControl::WindowProcedure(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    auto* Self = static_cast<TWinControl*>(GetPropA(Window, kControlProperty));
    if (!Self && Msg == WM_NCCREATE) {
        Self = static_cast<TWinControl*>(reinterpret_cast<CREATESTRUCTA*>(LParam)->lpCreateParams);
        if (Self) {
            Self->FHandle = Window;
            SetPropA(Window, kControlProperty, Self);
        }
    }
    if (!Self) return DefWindowProcA(Window, Msg, WParam, LParam);
    LRESULT Result = 0;
    try {
        Result = Self->WndProc(Msg, WParam, LParam);
    } catch (...) {
        // No exception may unwind through Windows' own frames.
        Application->HandleException();
    }
    if (Msg == WM_NCDESTROY) {
        RemovePropA(Window, kControlProperty);
        if (Self->FHandle == Window) Self->FHandle = nullptr;
    }
    return Result;
}

LRESULT TWinControl::DefaultHandler(UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (FDefWndProc) return CallWindowProcA(FDefWndProc, FHandle, Msg, WParam, LParam);
    return DefWindowProcA(FHandle, Msg, WParam, LParam);
}

LRESULT TWinControl::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == WM_SETFOCUS) {
        const LRESULT Result = DefaultHandler(Msg, WParam, LParam);
        if (TForm* Form = GetParentForm(this); Form && Form != this) Form->ControlFocused(this);
        return Result;
    }
    if (FDefWndProc) return DefaultHandler(Msg, WParam, LParam);
    switch (Msg) {
        case WM_ERASEBKGND:
            return 1;  // painted with the rest, double buffered
        case WM_PAINT: {
            PAINTSTRUCT Paint;
            HDC DC = BeginPaint(FHandle, &Paint);
            struct TEndPaint {
                HWND W;
                PAINTSTRUCT* P;
                ~TEndPaint() { EndPaint(W, P); }
            } Ender{FHandle, &Paint};
            PaintWindow(DC);
            return 0;
        }
        case WM_SETCURSOR:
            if (LOWORD(LParam) == HTCLIENT && reinterpret_cast<HWND>(WParam) == FHandle && SetCursorForPoint())
                return TRUE;
            break;
        case WM_CAPTURECHANGED:
            FMouseControl = nullptr;
            break;
        case WM_SIZE:
            Realign();
            break;
        case WM_MOUSEWHEEL: {
            // The wheel message goes to the focused window, but what scrolls is the innermost
            // control of ours under the pointer that can.
            const POINT P{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
            for (HWND Window = WindowFromPoint(P); Window; Window = GetAncestor(Window, GA_PARENT)) {
                DWORD Process = 0;
                GetWindowThreadProcessId(Window, &Process);
                if (Process != GetCurrentProcessId()) break;
                TWinControl* Control = FindControl(Window);
                if (Control && Control->DoMouseWheel(GET_WHEEL_DELTA_WPARAM(WParam))) return 0;
            }
            break;
        }
        case WM_NEXTDLGCTL:
            // A memo inside a container asks its parent to move the focus on: the form does it.
            if (TForm* Form = GetParentForm(this); Form && Form != this)
                return SendMessageA(Form->Handle(), Msg, WParam, LParam);
            break;
        case WM_COMMAND:
            // Notifications of our standard controls go back to their objects. Enter and Escape
            // in a form come here as IDOK and IDCANCEL without a control: nothing happens.
            if (TWinControl* Control = FindControl(reinterpret_cast<HWND>(LParam)); Control && Control != this) {
                Control->CommandNotify(HIWORD(WParam));
                return 0;
            }
            break;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
            if (TWinControl* Control = FindControl(reinterpret_cast<HWND>(LParam)); Control && Control != this)
                if (HBRUSH Brush = Control->ControlColor(reinterpret_cast<HDC>(WParam)))
                    return reinterpret_cast<LRESULT>(Brush);
            break;
        default:
            if (Msg >= WM_MOUSEFIRST && Msg <= WM_MBUTTONDBLCLK && Msg != WM_MOUSEWHEEL && RouteMouse(Msg, WParam, LParam))
                return 0;
    }
    return DefaultHandler(Msg, WParam, LParam);
}

TControl* TWinControl::ControlAtPos(int X, int Y) const {
    const TPoint Offset = ClientOffset();
    X -= Offset.X;
    Y -= Offset.Y;
    for (auto It = FControls.rbegin(); It != FControls.rend(); ++It) {
        TControl* C = *It;
        if (dynamic_cast<TGraphicControl*>(C) && C->Visible() && C->Enabled() && C->BoundsRect().Contains(X, Y))
            return C;
    }
    return nullptr;
}

bool TWinControl::RouteMouse(UINT Msg, WPARAM WParam, LPARAM LParam) {
    const int X = GET_X_LPARAM(LParam), Y = GET_Y_LPARAM(LParam);
    const TShiftState Shift = ShiftFromKeys(WParam);
    TMouseButton Button = mbLeft;
    bool Down = false, Up = false;
    switch (Msg) {
        case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: Down = true; break;
        case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK: Down = true; Button = mbRight; break;
        case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK: Down = true; Button = mbMiddle; break;
        case WM_LBUTTONUP: Up = true; break;
        case WM_RBUTTONUP: Up = true; Button = mbRight; break;
        case WM_MBUTTONUP: Up = true; Button = mbMiddle; break;
        case WM_MOUSEMOVE: break;
        default: return false;
    }
    TrackHint(ControlAtPos(X, Y), Msg, WParam, LParam);
    TControl* Target = FMouseControl ? FMouseControl : ControlAtPos(X, Y);
    if (!Target) Target = this;
    const TPoint Offset = ClientOffset();
    const int LocalX = Target == this ? X : X - Target->Left() - Offset.X;
    const int LocalY = Target == this ? Y : Y - Target->Top() - Offset.Y;
    if (Down) {
        FMouseControl = Target;
        SetCapture(FHandle);
        FMouseControl = Target;  // SetCapture may have cleared it through WM_CAPTURECHANGED
        Target->MouseDown(Button, Shift, LocalX, LocalY);
    } else if (Up) {
        // Capture and state are cleared before the click: a click handler may run a modal loop.
        const bool Pressed = FMouseControl == Target && Button == mbLeft;
        FMouseControl = nullptr;
        if (GetCapture() == FHandle) ReleaseCapture();
        Target->MouseUp(Button, Shift, LocalX, LocalY);
        const int W = Target == this ? ClientWidth() : Target->Width();
        const int H = Target == this ? ClientHeight() : Target->Height();
        if (Pressed && LocalX >= 0 && LocalY >= 0 && LocalX < W && LocalY < H) Target->Click();
    } else {
        Target->MouseMove(Shift, LocalX, LocalY);
    }
    return true;
}

// Windowless controls have no window for a tooltip of their own: one tooltip of the parent covers
// the control under the pointer and is fed the parent's mouse messages.
void TWinControl::TrackHint(TControl* Over, UINT Msg, WPARAM WParam, LPARAM LParam) {
    TControl* WithHint = Over && Over->ShowHint && !Over->Hint.empty() ? Over : nullptr;
    if (!WithHint && !FHintWindow) return;
    TOOLINFOA Tool{};
    Tool.cbSize = TTTOOLINFOA_V2_SIZE;
    Tool.hwnd = FHandle;
    Tool.uId = 1;
    if (!FHintWindow) {
        INITCOMMONCONTROLSEX Classes{sizeof Classes, ICC_WIN95_CLASSES};
        Delayload::InitCommonControlsEx(&Classes);
        FHintWindow = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, FHandle, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
        if (!FHintWindow) return;
        Tool.lpszText = const_cast<char*>("");
        SendMessageA(FHintWindow, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&Tool));
    }
    if (WithHint != FHintControl) {
        FHintControl = WithHint;
        if (WithHint) {
            const TPoint Offset = ClientOffset();
            Tool.rect = RECT{WithHint->Left() + Offset.X, WithHint->Top() + Offset.Y,
                             WithHint->Left() + Offset.X + WithHint->Width(),
                             WithHint->Top() + Offset.Y + WithHint->Height()};
        } else {
            SendMessageA(FHintWindow, TTM_POP, 0, 0);
        }
        SendMessageA(FHintWindow, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&Tool));
        Tool.lpszText = const_cast<char*>(WithHint ? WithHint->Hint.c_str() : "");
        SendMessageA(FHintWindow, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&Tool));
    }
    MSG Relayed{FHandle, Msg, WParam, LParam, GetMessageTime(), {}};
    SendMessageA(FHintWindow, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&Relayed));
}

bool TWinControl::SetCursorForPoint() {
    POINT P;
    GetCursorPos(&P);
    ScreenToClient(FHandle, &P);
    TControl* Over = FMouseControl ? FMouseControl : ControlAtPos(P.x, P.y);
    TCursor Wanted = Screen->Cursor;
    if (Wanted == crDefault && Over) Wanted = Over->Cursor;
    if (Wanted == crDefault) Wanted = Cursor;
    SetCursor(Screen->CursorHandle(Wanted));
    return true;
}

void TWinControl::PaintBackground(TCanvas& Canvas) {
    Canvas.Brush.Color = Color;
    Canvas.Brush.Style = bsSolid;
    Canvas.FillRect(Rect(0, 0, ClientWidth(), ClientHeight()));
}

void TWinControl::PaintWindow(HDC DC) {
    RECT Client;
    GetClientRect(FHandle, &Client);
    if (Client.right <= 0 || Client.bottom <= 0) return;
    HDC Memory = CreateCompatibleDC(DC);
    HBITMAP Buffer = CreateCompatibleBitmap(DC, Client.right, Client.bottom);
    HGDIOBJ Old = SelectObject(Memory, Buffer);
    struct TRelease {
        HDC M;
        HBITMAP B;
        HGDIOBJ O;
        ~TRelease() {
            SelectObject(M, O);
            DeleteObject(B);
            DeleteDC(M);
        }
    } Release{Memory, Buffer, Old};
    {
        TCanvas Background(Memory);
        PaintBackground(Background);
    }
    const TPoint Offset = ClientOffset();
    for (TControl* Child : FControls) {
        auto* Graphic = dynamic_cast<TGraphicControl*>(Child);
        if (!Graphic || !Graphic->Visible() || Graphic->Width() <= 0 || Graphic->Height() <= 0) continue;
        const int X = Graphic->Left() + Offset.X, Y = Graphic->Top() + Offset.Y;
        if (X >= Client.right || Y >= Client.bottom || X + Graphic->Width() <= 0 || Y + Graphic->Height() <= 0)
            continue;
        const int Saved = SaveDC(Memory);
        SetViewportOrgEx(Memory, X, Y, nullptr);
        IntersectClipRect(Memory, 0, 0, Graphic->Width(), Graphic->Height());
        TCanvas Canvas(Memory);
        Canvas.Font = Font;
        Graphic->Paint(Canvas);
        RestoreDC(Memory, Saved);
    }
    BitBlt(DC, 0, 0, Client.right, Client.bottom, Memory, 0, 0, SRCCOPY);
}

void TWinControl::SetEnabled(bool Value) {
    TControl::SetEnabled(Value);
    if (FHandle) EnableWindow(FHandle, Value);
}

void TWinControl::SetFocus() {
    TForm* Form = GetParentForm(this);
    if (Form && Form != this) Form->FocusControl(this);
    else ::SetFocus(Handle());
}

bool TWinControl::Focused() const { return FHandle && GetFocus() == FHandle; }

void TWinControl::Invalidate() {
    if (FHandle) InvalidateRect(FHandle, nullptr, FALSE);
}

void TWinControl::Realign() {
    TRect Free = Rect(0, 0, ClientWidth(), ClientHeight());
    for (TControl* C : FControls) {
        switch (C->Align()) {
            case alTop: C->SetBounds(Free.Left, Free.Top, Free.Width(), C->Height()); Free.Top += C->Height(); break;
            case alBottom: Free.Bottom -= C->Height(); C->SetBounds(Free.Left, Free.Bottom, Free.Width(), C->Height()); break;
            case alLeft: C->SetBounds(Free.Left, Free.Top, C->Width(), Free.Height()); Free.Left += C->Width(); break;
            case alRight: Free.Right -= C->Width(); C->SetBounds(Free.Right, Free.Top, C->Width(), Free.Height()); break;
            case alClient: C->SetBounds(Free.Left, Free.Top, Free.Width(), Free.Height()); break;
            case alNone: break;
        }
    }
}

TPoint TWinControl::ClientToScreen(TPoint P) const {
    if (!FHandle) return TControl::ClientToScreen(P);
    POINT Point{P.X, P.Y};
    ::ClientToScreen(FHandle, &Point);
    return TPoint{Point.x, Point.y};
}

void TWinControl::BoundsChanged() {
    if (FHandle && FParent) {
        const TPoint Offset = FParent->ClientOffset();
        MoveWindow(FHandle, FLeft + Offset.X, FTop + Offset.Y, FWidth, FHeight, TRUE);
    }
    Realign();
}

void TWinControl::ClientOffsetChanged() {
    if (!FHandle) return;
    for (TControl* Child : FControls)
        if (auto* Windowed = dynamic_cast<TWinControl*>(Child); Windowed && Windowed->FHandle) Windowed->BoundsChanged();
    InvalidateRect(FHandle, nullptr, FALSE);
}

void TWinControl::VisibleChanged() {
    if (FParent && FParent->HandleAllocated()) ShowWindow(Handle(), FVisible ? SW_SHOW : SW_HIDE);
}
