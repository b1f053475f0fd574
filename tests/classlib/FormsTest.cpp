// Forms and graphic controls: painting in z-order, mouse routing, modal showing and activation.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"
#include "TestSupport.h"

namespace {
TForm* NewForm(int Width, int Height) {
    auto* Form = new TForm(Application);
    Form->ApplyLayout(TFormLayout{"classlib test", Width, Height, clWhite, bsNone, 0, poDesigned});
    Form->SetLeft(50);
    Form->SetTop(50);
    return Form;
}

TShape* NewShape(TForm* Form, TColor Color, const TRect& Bounds) {
    auto* Shape = CreateControl<TShape>(Form, Form, "shp", Bounds);
    Shape->Brush.Color = Color;
    Shape->Pen.Style = psClear;
    return Shape;
}

COLORREF PixelOf(TForm* Form, int X, int Y) {
    RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    HDC DC = GetDC(Form->Handle());
    const COLORREF Color = GetPixel(DC, X, Y);
    ReleaseDC(Form->Handle(), DC);
    return Color;
}
}  // namespace

TEST(GraphicControls, PaintedInZOrderAndMouseGoesToTheTopmostVisibleOne) {
    TForm* Form = NewForm(100, 60);
    TShape* Below = NewShape(Form, clRed, Bounds(10, 10, 40, 40));
    TShape* Above = NewShape(Form, clBlue, Bounds(30, 10, 40, 40));
    std::vector<std::string> Got;
    Below->OnMouseMove = [&](TObject*, TShiftState, int X, int Y) { Got.push_back("below " + std::to_string(X) + "," + std::to_string(Y)); };
    Above->OnMouseMove = [&](TObject*, TShiftState, int X, int Y) { Got.push_back("above " + std::to_string(X) + "," + std::to_string(Y)); };
    Form->OnMouseMove = [&](TObject*, TShiftState, int X, int Y) { Got.push_back("form " + std::to_string(X) + "," + std::to_string(Y)); };
    Form->Show();
    PumpFor(100);

    EXPECT_EQ(RGB(255, 0, 0), PixelOf(Form, 15, 20));
    EXPECT_EQ(RGB(0, 0, 255), PixelOf(Form, 40, 20));  // the overlap shows the later control
    EXPECT_EQ(RGB(255, 255, 255), PixelOf(Form, 90, 55));

    for (POINT P : {POINT{15, 20}, POINT{40, 20}, POINT{90, 55}})
        SendMessageA(Form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(P.x, P.y));
    Above->Hide();
    SendMessageA(Form->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(40, 20));
    EXPECT_EQ((std::vector<std::string>{"below 5,10", "above 10,10", "form 90,55", "below 30,10"}), Got);
    EXPECT_EQ(RGB(255, 0, 0), PixelOf(Form, 40, 20));
    delete Form;
}

// Only what Windows asks to paint is painted: enabling or disabling a label must ask for it.
TEST(GraphicControls, ALabelIsPaintedAgainWhenEnabledOrDisabled) {
    TForm* Form = NewForm(120, 40);
    auto* Label = CreateControl<TLabel>(Form, Form, "lbl", Bounds(0, 0, 120, 40));
    Label->AutoSize = false;
    Label->SetCaption("MMMMMM");
    Label->Font.Height = 36;
    Label->Font.Style = fsBold;
    Label->Font.Color = clRed;
    Form->Show();
    PumpFor(100);
    auto RedPixels = [&] {
        UpdateWindow(Form->Handle());
        HDC DC = GetDC(Form->Handle());
        int Red = 0;
        for (int X = 0; X < 120; X += 2) Red += GetPixel(DC, X, 20) == RGB(255, 0, 0);
        ReleaseDC(Form->Handle(), DC);
        return Red;
    };
    EXPECT_GT(RedPixels(), 0);
    Label->SetEnabled(false);
    EXPECT_EQ(0, RedPixels());
    Label->SetEnabled(true);
    EXPECT_GT(RedPixels(), 0);
    delete Form;
}

TEST(GraphicControls, ClickNeedsPressAndReleaseOnTheSameControl) {
    TForm* Form = NewForm(100, 60);
    TShape* Left = NewShape(Form, clRed, Bounds(0, 0, 50, 60));
    TShape* Right = NewShape(Form, clBlue, Bounds(50, 0, 50, 60));
    int LeftClicks = 0, RightClicks = 0;
    Left->OnClick = [&](TObject*) { ++LeftClicks; };
    Right->OnClick = [&](TObject*) { ++RightClicks; };
    Form->Show();
    PumpFor(50);
    auto Press = [&](int DownX, int UpX) {
        SendMessageA(Form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(DownX, 10));
        SendMessageA(Form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(UpX, 10));
    };
    Press(10, 20);
    Press(10, 70);  // released over the other control: no click anywhere
    Press(70, 80);
    EXPECT_EQ(1, LeftClicks);
    EXPECT_EQ(1, RightClicks);
    delete Form;
}

TEST(Forms, ShowModalReturnsTheModalResultAndGivesActivationBack) {
    TForm* Owner = NewForm(120, 80);
    TForm* Dialog = NewForm(60, 40);
    int OwnerActivations = 0, DialogActivations = 0;
    Owner->OnActivate = [&](TObject*) { ++OwnerActivations; };
    Owner->Show();
    ASSERT_TRUE(PumpUntil([&] { return OwnerActivations == 1; }));

    // While the dialog is up a real message box of its own opens and closes; its end does not
    // activate the dialog again.
    Dialog->OnActivate = [&](TObject*) {
        ++DialogActivations;
        EXPECT_FALSE(IsWindowEnabled(Owner->Handle()));
    };
    RunLater(100, [&] {
        RunLater(300, [] {
            HWND Box = FindWindowA("#32770", "classlib box");
            EXPECT_TRUE(Box != nullptr);
            PostMessageA(Box, WM_COMMAND, IDOK, 0);
        });
        EXPECT_EQ(IDOK, Application->MessageBox("A box", "classlib box", MB_OK, Dialog->Handle()));
        RunLater(300, [&] { Dialog->ModalResult = mrYes; });
    });
    EXPECT_EQ(mrYes, Dialog->ShowModal());
    EXPECT_FALSE(Dialog->Visible());
    EXPECT_TRUE(IsWindowEnabled(Owner->Handle()));
    EXPECT_TRUE(PumpUntil([&] { return OwnerActivations == 2; }));
    EXPECT_EQ(1, DialogActivations);

    // Close on a modal form answers mrCancel; a refusing OnCloseQuery keeps it open.
    int Queries = 0;
    Dialog->OnActivate = [&](TObject*) { Dialog->Close(); };
    Dialog->OnCloseQuery = [&](TObject*, bool& CanClose) {
        CanClose = ++Queries > 1;
        if (!CanClose) RunLater(50, [&] { Dialog->Close(); });
    };
    EXPECT_EQ(mrCancel, Dialog->ShowModal());
    EXPECT_EQ(2, Queries);
    EXPECT_THROW(Owner->ShowModal(), EInvalidOperation);  // already visible
    delete Dialog;
    delete Owner;
}

TEST(Forms, ExceptionInAHandlerIsShownByTheApplication) {
    TForm* Form = NewForm(50, 50);
    TShape* Shape = NewShape(Form, clRed, Bounds(0, 0, 50, 50));
    Shape->OnClick = [](TObject*) { throw EConvertError("'' is not a valid integer value"); };
    Form->Show();
    TBoxAnswerer Boxes;
    SendMessageA(Form->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(Form->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    ASSERT_EQ(1u, Boxes.Asked.size());
    EXPECT_EQ("'' is not a valid integer value.", Boxes.Asked[0].Text);
    EXPECT_EQ(Application->Title, Boxes.Asked[0].Caption);
    EXPECT_EQ(static_cast<unsigned>(MB_OK | MB_ICONSTOP), Boxes.Asked[0].Flags);
    delete Form;
}

// OnEnter fires at the first focus of every showing, also when that control had the focus when the
// last showing ended.
TEST(Forms, OnEnterFiresAtTheFirstFocusOfEveryShowing) {
    TForm* Form = NewForm(200, 60);
    auto* First = CreateControl<TEdit>(Form, Form, "txtFirst", Bounds(10, 10, 80, 21));
    CreateControl<TEdit>(Form, Form, "txtSecond", Bounds(100, 10, 80, 21));
    int Entered = 0;
    First->OnEnter = [&](TObject*) { ++Entered; };
    for (int Showing = 1; Showing <= 3; ++Showing) {
        SCOPED_TRACE(Showing);
        Form->Show();
        EXPECT_TRUE(PumpUntil([&] { return Form->Active() && First->Focused(); }));
        EXPECT_TRUE(PumpUntil([&] { return Entered == Showing; })) << Entered << " entries";
        Form->Hide();
        PumpFor(50);
    }
    delete Form;
}

// Enter in a box that leaves it presses the form's shown default button, also one inside a panel,
// and never a hidden one.
TEST(Forms, EnterPressesTheShownDefaultButtonWhereverItSits) {
    const struct {
        const char* Name;
        bool InPanel, Shown;
        int Clicks;
    } Cases[] = {
        {"on the form", false, true, 1},
        {"inside a panel", true, true, 1},
        {"hidden", false, false, 0},
        {"hidden inside a panel", true, false, 0},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        TForm* Form = NewForm(200, 100);
        auto* Edit = CreateControl<TEdit>(Form, Form, "txt", Bounds(10, 10, 100, 21));
        TWinControl* Parent = Form;
        if (Case.InPanel) Parent = CreateControl<TPanel>(Form, Form, "pnl", Bounds(10, 40, 180, 50));
        auto* Button = CreateControl<TButton>(Form, Parent, "btnDefault", Bounds(5, 5, 80, 25));
        Button->Default = true;
        Button->SetVisible(Case.Shown);
        int Clicks = 0;
        Button->OnClick = [&](TObject*) { ++Clicks; };
        Form->Show();
        EXPECT_TRUE(PumpUntil([&] { return Form->Active(); }));
        Edit->SetFocus();
        PressKey(VK_RETURN);
        PumpFor(300);
        EXPECT_EQ(Case.Clicks, Clicks);
        delete Form;
    }
}

// What the user does while a step blocks the window (no message is handled meanwhile) is dropped.
// Without the drop each case acts once the loop turns again; a close, a system command and a command
// posted to another window of the thread stay.
TEST(Forms, InputMadeWhileAStepBlocksIsDropped) {
    auto* Form = new TForm(Application);  // with a caption and a close box
    Form->ApplyLayout(TFormLayout{"classlib test", 200, 80, clWhite, bsSingle, biSystemMenu, poDesigned});
    Form->SetLeft(50);
    Form->SetTop(50);
    auto* Button = CreateControl<TButton>(Form, Form, "btn", Bounds(10, 10, 80, 25));
    TForm* Other = NewForm(40, 40);
    Other->SetLeft(400);
    auto* OtherButton = CreateControl<TButton>(Other, Other, "btn", Bounds(5, 5, 30, 20));
    int Acted = 0, OtherCloses = 0, OtherClicks = 0;
    Button->OnClick = [&](TObject*) { ++Acted; };
    OtherButton->OnClick = [&](TObject*) { ++OtherClicks; };
    Form->OnCloseQuery = [&](TObject*, bool& CanClose) {
        ++Acted;
        CanClose = false;
    };
    Other->OnCloseQuery = [&](TObject*, bool& CanClose) {
        ++OtherCloses;
        CanClose = false;
    };
    Other->Show();
    Form->Show();
    const auto Post = [](HWND Window, UINT Msg, WPARAM W, LPARAM L) {
        return [=] { PostMessageA(Window, Msg, W, L); };
    };
    const HWND Self = Form->Handle(), Control = Button->Handle();
    const LPARAM FromButton = reinterpret_cast<LPARAM>(Control);
    const struct {
        const char* Name;
        std::function<void()> Input;
    } Cases[] = {
        {"a click", [&] { ClickCenter(Control); }},
        {"Alt+F4", [] { PressKey(VK_F4, false, false, true); }},
        {"a posted click", Post(Control, BM_CLICK, 0, 0)},
        {"a click the button has told", Post(Self, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), FromButton)},
        {"a posted close", Post(Self, WM_CLOSE, 0, 0)},
        {"a close from the system menu", Post(Self, WM_SYSCOMMAND, SC_CLOSE, 0)},
    };
    for (bool Drop : {false, true}) {
        for (const auto& Case : Cases) {
            SCOPED_TRACE(std::string(Case.Name) + (Drop ? ", dropped" : ", kept"));
            SetForegroundWindow(Self);
            ASSERT_TRUE(PumpUntil([&] { return Form->Active(); }));
            Acted = OtherCloses = OtherClicks = 0;
            Case.Input();
            PostMessageA(Other->Handle(), WM_CLOSE, 0, 0);
            PostMessageA(Other->Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
            PostMessageA(Other->Handle(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
                         reinterpret_cast<LPARAM>(OtherButton->Handle()));
            Sleep(200);  // the step that blocks
            if (Drop) DropPendingInput(Self);
            PumpFor(300);
            EXPECT_EQ(Drop ? 0 : 1, Acted);
            EXPECT_EQ(2, OtherCloses);
            EXPECT_EQ(1, OtherClicks);
        }
    }
    // Alt+F4, or a press on the close box, made before the drop that reaches the queue only after it
    // (the desktop's process may pass input on late) is dropped as well, however long before the drop
    // it was made; made after the drop, it closes, also in a program left running long enough for the
    // tick count to wrap (stamped 2^31 ms on, and coming when the drop is long past).
    const auto AltF4 = [](DWORD Time) {
        std::vector<INPUT> Keys(4);
        const WORD Codes[4] = {VK_MENU, VK_F4, VK_F4, VK_MENU};
        for (int I = 0; I < 4; ++I) {
            Keys[I].type = INPUT_KEYBOARD;
            Keys[I].ki.wVk = Codes[I];
            Keys[I].ki.dwFlags = I < 2 ? 0 : KEYEVENTF_KEYUP;
            Keys[I].ki.time = Time;
        }
        return Keys;
    };
    const auto CloseBoxClick = [&](DWORD Time) {
        RECT Frame;
        GetWindowRect(Self, &Frame);
        // Inside the close box: a few pixels in from where it starts, seen from the right.
        POINT Box{Frame.right, Frame.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2};
        while (Box.x > Frame.left && SendMessageA(Self, WM_NCHITTEST, 0, MAKELPARAM(Box.x, Box.y)) != HTCLOSE) --Box.x;
        EXPECT_GT(Box.x, Frame.left) << "no close box";
        Box.x -= 4;
        std::vector<INPUT> Mouse(3);
        const DWORD Flags[3] = {MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP};
        for (int I = 0; I < 3; ++I) {
            Mouse[I].type = INPUT_MOUSE;
            Mouse[I].mi.dx = Box.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
            Mouse[I].mi.dy = Box.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
            Mouse[I].mi.dwFlags = Flags[I];
            Mouse[I].mi.time = I < 2 ? Time : 0;  // let go now
        }
        return Mouse;
    };
    const struct {
        const char* Name;
        std::function<std::vector<INPUT>(DWORD)> Input;
        DWORD After;   // the stamp's distance from Made; 0: stamped as it is sent
        DWORD WaitMs;  // from the drop until it comes
        bool Stale;
    } Stamps[] = {{"Alt+F4 made before the drop, queued after it", AltF4, 0, 0, true},
                  {"Alt+F4 made a minute and more before the drop", AltF4, static_cast<DWORD>(-67000), 0, true},
                  {"a press on the close box made before the drop, let go after it", CloseBoxClick, 0, 0, true},
                  {"Alt+F4 made after the drop", AltF4, 0, 0, false},
                  {"a click on the close box made after the drop", CloseBoxClick, 0, 0, false},
                  {"Alt+F4 made weeks after the drop", AltF4, 0x80000100, 2100, false}};
    for (const auto& Stamp : Stamps) {
        SCOPED_TRACE(Stamp.Name);
        SetForegroundWindow(Self);
        ASSERT_TRUE(PumpUntil([&] { return Form->Active(); }));
        const DWORD Made = GetTickCount();
        Sleep(50);
        DropPendingInput(Self);
        Sleep(Stamp.WaitMs);
        Acted = 0;
        std::vector<INPUT> Input = Stamp.Input(Stamp.Stale || Stamp.After ? Made + Stamp.After : 0);
        SendInput(static_cast<UINT>(Input.size()), Input.data(), sizeof(INPUT));
        PumpFor(300);
        EXPECT_EQ(Stamp.Stale ? 0 : 1, Acted);
    }
    Form->OnCloseQuery = Other->OnCloseQuery = nullptr;
    delete Other;
    delete Form;
}
