// Forms, the application object and the screen of our class library.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "Controls.h"

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow };
using TBorderIcons = unsigned;
constexpr TBorderIcons biSystemMenu = 1, biMinimize = 2, biMaximize = 4;
enum TPosition { poDesigned, poScreenCenter };
enum TFormStyle { fsNormal, fsStayOnTop };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;

using TModalResult = int;
constexpr TModalResult mrNone = 0, mrOk = IDOK, mrCancel = IDCANCEL, mrAbort = IDABORT, mrRetry = IDRETRY,
                       mrIgnore = IDIGNORE, mrYes = IDYES, mrNo = IDNO;

// The properties a form is designed with.
struct TFormLayout {
    const char* Caption;
    int ClientWidth, ClientHeight;
    TColor Color;
    TFormBorderStyle BorderStyle;
    TBorderIcons BorderIcons;
    TPosition Position;
};

class TForm : public TWinControl {
public:
    explicit TForm(TComponent* AOwner);
    ~TForm() override;

    std::string Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    TFormBorderStyle BorderStyle = bsSizeable;
    TBorderIcons BorderIcons = biSystemMenu | biMinimize | biMaximize;
    TPosition Position = poDesigned;
    TFormStyle FormStyle = fsNormal;
    // The screen's logical pixels per inch, read when the form is created.
    int PixelsPerInch = 96;

    int ClientWidth() const override { return FClientWidth; }
    int ClientHeight() const override { return FClientHeight; }
    void SetClientWidth(int Value) { SetClientSize(Value, FClientHeight); }
    void SetClientHeight(int Value) { SetClientSize(FClientWidth, Value); }
    void SetClientSize(int AWidth, int AHeight);
    // Screen position of the client area's top-left corner.
    TPoint ClientOrigin() {
        Handle();
        return ClientToScreen(TPoint{0, 0});
    }

    void SetVisible(bool Value) override;
    void Close();
    // Shows the form over the others of the program, which are disabled meanwhile, and returns its
    // ModalResult once a handler has set one (or Close was called: mrCancel).
    int ShowModal();
    TModalResult ModalResult = mrNone;
    bool Modal() const { return FModal; }
    // True while activation is with this form.
    bool Active() const { return FActive; }
    // Gives Control the focus now, or when the form gets it if the form is not shown yet.
    void FocusControl(TWinControl* Control);
    // Control of this form got the focus: fires OnExit and OnEnter when it moved between controls.
    void ControlFocused(TWinControl* Control);
    // Enter pressed in the form: the focused control keeps it when it takes Enter (a memo, an edit
    // with a key filter), else the focused button or the visible, enabled default one is pressed.
    // True when a button was.
    bool PressEnter(const MSG& Key);

    TNotifyEvent OnCreate, OnShow, OnHide, OnActivate, OnDeactivate, OnDestroy;
    TCloseQueryEvent OnCloseQuery;
    TCloseEvent OnClose;

    void ApplyLayout(const TFormLayout& Layout);
    // Fires OnCreate: the application calls it once the form's constructor has finished.
    void DoCreate();
    bool CloseQuery();
    LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void BoundsChanged() override;
    void VisibleChanged() override {}

private:
    DWORD WindowStyle() const;
    DWORD WindowExStyle() const;
    void UpdateOuterSize();
    void Activated();
    std::string FCaption;
    int FClientWidth = 0, FClientHeight = 0;
    bool FModal = false;
    bool FActive = false;
    bool FActivating = false;
    HWND FFocusedWindow = nullptr;  // the control that gets the focus when the form does
    HWND FEnteredWindow = nullptr;  // the control OnEnter last fired for in this showing
};

// A container with a vertical scroll bar. Its children keep their designed Top; the range reaches
// the bottom of the lowest one, and what is painted and hit-tested is shifted up by the position.
class TScrollBox : public TWinControl {
public:
    explicit TScrollBox(TComponent* AOwner);
    bool BorderStyleNone = false;  // true: no sunken border
    struct TScrollBar {
        int Increment = 8;  // one line: a click on an arrow
        int Position = 0;   // set it through SetVertPosition or ScrollBy
    } VertScrollBar;
    // Scrolls the view DeltaY pixels further down the content (up when negative), within the range.
    void ScrollBy(int DeltaY) { SetVertPosition(VertScrollBar.Position + DeltaY); }
    void SetVertPosition(int Value);
    // The bottom of the lowest visible child.
    int VertRange() const;
    int ClientWidth() const override;
    int ClientHeight() const override;
    TPoint ClientOffset() const override { return TPoint{0, -VertScrollBar.Position}; }
    LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateHandle() override;
    void ControlsChanged() override;
    bool DoMouseWheel(int WheelDelta) override;

private:
    void UpdateScrollBar();
};

// The form that Control lies on (Control itself when it is a form), or null.
TForm* GetParentForm(TControl* Control);

// Drops what the user did while a step blocked the program without turning the message loop: the
// thread's key and mouse input made until now, also what reaches the queue later, and the close
// requests, system commands and clicks posted to Window or its controls (none when Window is null).
// Call it from the user-interface thread before a page, a state or a message box takes the place that
// input was aimed at, so that it cannot act on what shows next.
void DropPendingInput(HWND Window);

// What a message box asked; a test responder answers it instead of a person.
struct TMessageBoxRequest {
    HWND Owner;
    std::string Text;
    std::string Caption;
    unsigned Flags;
};

class TApplication : public TComponent {
public:
    TApplication();
    std::string Title;
    std::string ExeName() const;
    HINSTANCE Instance() const { return GetModuleHandleA(nullptr); }

    template <class TFormClass>
    void CreateForm(TFormClass*& Reference) {
        Reference = new TFormClass(this);
        if (!FMainForm) FMainForm = Reference;
        Reference->DoCreate();
    }
    TForm* MainForm() const { return FMainForm; }
    // Shows the main form (when visible) and runs the message loop until the program ends.
    void Run();
    void ProcessMessages();
    void HandleMessage();  // one message, or wait for one
    void Terminate();
    bool Terminated() const { return FTerminated; }

    // Shows the exception being handled (call from inside a catch block).
    void HandleException();
    void ShowException(const std::string& Message);

    // Every message box of the programs goes through here. Owner null: the active window.
    int MessageBox(const std::string& Text, const std::string& Caption, unsigned Flags, HWND Owner = nullptr);
    std::function<int(const TMessageBoxRequest&)> MessageBoxResponder;

private:
    bool ProcessMessage();
    TForm* FMainForm = nullptr;
    bool FTerminated = false;
};

class TScreen : public TObject {
public:
    // Cursors by number: ours are registered as positive numbers, the standard ones are negative.
    std::map<int, HCURSOR> Cursors;
    HCURSOR CursorHandle(TCursor Cursor);
    TCursor Cursor = crDefault;  // when not crDefault, shown over every control
    int Width() const { return GetSystemMetrics(SM_CXSCREEN); }
    int Height() const { return GetSystemMetrics(SM_CYSCREEN); }
    TForm* ActiveForm = nullptr;  // the form that last had activation
};

extern TApplication* Application;
extern TScreen* Screen;
