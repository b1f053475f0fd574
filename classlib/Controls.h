// Controls of our class library: windowless graphic controls that their parent paints and feeds
// with mouse input, and windowed controls that wrap a Win32 window.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "Classes.h"
#include "Graphics.h"

// Screen cursors: our own numbers are positive, the built-in ones negative.
using TCursor = int;
constexpr TCursor crDefault = 0, crArrow = -2, crHourGlass = -11, crHandPoint = -21;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

class TWinControl;

class TControl : public TComponent {
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* AParent);

    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
    void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
    void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
    void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
    virtual int ClientWidth() const { return FWidth; }
    virtual int ClientHeight() const { return FHeight; }

    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool Value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool Value);
    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign Value);
    // Visible, and every parent up to its form visible too.
    bool Showing() const;

    TCursor Cursor = crDefault;
    // Shown in a tooltip while the pointer rests on the control, when ShowHint is on.
    std::string Hint;
    bool ShowHint = false;
    TNotifyEvent OnClick;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;

    virtual void Invalidate();
    virtual void Click();
    // Mouse input in the control's own coordinates (routed by the parent for graphic controls).
    virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void MouseMove(TShiftState Shift, int X, int Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    // Screen position of the control's client point (X, Y).
    virtual TPoint ClientToScreen(TPoint P) const;

protected:
    friend class TWinControl;
    virtual void BoundsChanged() {}
    virtual void VisibleChanged() {}
    TWinControl* FParent = nullptr;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    bool FVisible = true;
    bool FEnabled = true;
    TAlign FAlign = alNone;
};

// A control without a window of its own: its parent paints it, in z-order, on the parent's face.
class TGraphicControl : public TControl {
public:
    using TControl::TControl;
    // Canvas origin is the control's top-left corner, clipped to its bounds.
    virtual void Paint(TCanvas& Canvas) = 0;
};

// Parameters of the Win32 window behind a windowed control.
struct TCreateParams {
    std::string ClassName;
    std::string Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    HWND Parent = nullptr;  // parent window, or owner window of a top-level one
    int X = 0, Y = 0, Width = 0, Height = 0;
};

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    HWND Handle();  // makes the window on first use
    bool HandleAllocated() const { return FHandle != nullptr; }
    int ControlCount() const { return static_cast<int>(FControls.size()); }
    TControl* Controls(int Index) const { return FControls.at(Index); }
    // The topmost visible, enabled graphic control at client point (X, Y), or null.
    TControl* ControlAtPos(int X, int Y) const;

    TColor Color = clBtnFace;
    TFont Font;

    void SetEnabled(bool Value) override;
    // Gives the keyboard focus to the control's window; Focused tells whether it has it.
    void SetFocus();
    bool Focused() const;
    // The focus moved into the control from another control of its form, or the form's showing gave
    // it the first focus; and moved on from it to another control of the form. A form that is
    // activated again gives the focus back without either.
    TNotifyEvent OnEnter, OnExit;
    // A dialog key (Enter) that the focused control did not take: true when this control used it.
    // Focused tells whether it has the focus; otherwise the form offers the key to every control.
    virtual bool DialogKey(WORD Key, bool Focused) { return false; }
    void Invalidate() override;
    void Realign();
    TPoint ClientToScreen(TPoint P) const override;
    // Where the children's designed positions lie on the client area: a scrolled container shifts
    // what it paints and hit-tests by this much.
    virtual TPoint ClientOffset() const { return TPoint{}; }

    // The window procedure of the control; what it does not handle goes to the default one.
    virtual LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam);

protected:
    virtual void CreateParams(TCreateParams& Params);
    virtual void CreateHandle();
    void DestroyHandle();
    void BoundsChanged() override;
    void VisibleChanged() override;
    // Background of the client area, before the graphic controls are painted over it.
    virtual void PaintBackground(TCanvas& Canvas);
    // A notification (WM_COMMAND) that the control's window sent to its parent, handed back to it.
    virtual void CommandNotify(WORD Code) {}
    // The brush that the parent answers WM_CTLCOLOR... with for this control, after setting up DC;
    // null leaves the system's colours.
    virtual HBRUSH ControlColor(HDC DC) { return nullptr; }
    // A child was added, removed, moved, resized, shown or hidden.
    virtual void ControlsChanged() {}
    // The mouse wheel turned over the control; true when it used the turn.
    virtual bool DoMouseWheel(int WheelDelta) { return false; }
    // Moves the children's windows and repaints after ClientOffset changed.
    void ClientOffsetChanged();
    LRESULT DefaultHandler(UINT Msg, WPARAM WParam, LPARAM LParam);
    static LRESULT CALLBACK WindowProcedure(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);

    HWND FHandle = nullptr;
    WNDPROC FDefWndProc = nullptr;  // the standard control's own procedure, for subclassed controls

private:
    friend class TControl;
    void InsertControl(TControl* Control);
    void RemoveControl(TControl* Control);
    void PaintWindow(HDC DC);
    bool RouteMouse(UINT Msg, WPARAM WParam, LPARAM LParam);
    bool SetCursorForPoint();
    std::vector<TControl*> FControls;
    TControl* FMouseControl = nullptr;  // the control that got the button press and holds the capture
    void TrackHint(TControl* Over, UINT Msg, WPARAM WParam, LPARAM LParam);
    HWND FHintWindow = nullptr;          // a tooltip shared by the graphic controls with a hint
    TControl* FHintControl = nullptr;    // the one it currently speaks for
};

// A new control owned by Owner, placed on Parent with the given name and bounds.
template <class TControlClass>
TControlClass* CreateControl(TComponent* Owner, TWinControl* Parent, const std::string& Name, const TRect& Bounds) {
    auto* Control = new TControlClass(Owner);
    Control->Name = Name;
    Control->SetBounds(Bounds.Left, Bounds.Top, Bounds.Width(), Bounds.Height());
    Control->SetParent(Parent);
    return Control;
}

// True when a WM_GETDLGCODE with this LParam (the key's message, or none) asks about pressing
// VirtualKey: a control that answers DLGC_WANTMESSAGE then keeps that key for itself.
inline bool AsksAboutKey(LPARAM LParam, WPARAM VirtualKey) {
    const auto* Key = reinterpret_cast<const MSG*>(LParam);
    return Key && Key->message == WM_KEYDOWN && Key->wParam == VirtualKey;
}
inline bool AsksAboutEnter(LPARAM LParam) { return AsksAboutKey(LParam, VK_RETURN); }

// The control object behind a window of ours (our class or a subclassed standard control), or null.
TWinControl* FindControl(HWND Window);

// The class name that our own windows (forms and containers) are registered with.
extern const char* const kVelmoraWindowClass;
