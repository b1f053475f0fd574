// Windowed standard controls on real forms, driven by real mouse and keyboard input; the open-file
// dialog answered in Wine's own dialog.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <fstream>
#include <iterator>
#include <memory>

#include "Dialogs.h"
#include "Graphics.h"
#include "StdCtrls.h"
#include "TestPictures.h"
#include "TestSupport.h"

namespace {
constexpr TColor kPurple = 16711824;  // red 144, green 0, blue 255

TForm* NewForm(int Width, int Height, TColor Color = clBtnFace) {
    auto* Form = new TForm(Application);
    Form->ApplyLayout(TFormLayout{"stdctrls test", Width, Height, Color, bsDialog, biSystemMenu, poDesigned});
    Form->SetLeft(100);
    Form->SetTop(100);
    return Form;
}

// Shows the form and waits until it has activation, so that keys reach it.
::testing::AssertionResult ShowActive(TForm* Form) {
    Form->Show();
    if (PumpUntil([&] { return Form->Active(); })) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the form did not become active";
}

std::string WindowText(HWND Window) {
    char Text[256] = "";
    GetWindowTextA(Window, Text, sizeof Text);
    return Text;
}

bool WindowChecked(TWinControl* Control) {
    return SendMessageA(Control->Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// An open-picture dialog of Form, set up as the programs set up theirs.
TOpenPictureDialog* NewPictureDialog(TForm* Form, const char* Title) {
    auto* Dialog = new TOpenPictureDialog(Form);
    Dialog->Title = Title;
    Dialog->Filter = "Pictures (*.bmp;*.jpg)|*.bmp;*.jpg|All files|*.*";
    Dialog->Options = ofHideReadOnly | ofPathMustExist | ofFileMustExist;
    return Dialog;
}

std::string NameOf(HWND Window) {
    TWinControl* Control = FindControl(Window);
    return Control ? Control->Name : "(none)";
}
}  // namespace

TEST(StdCtrls, ButtonClickFiresOnClickThenEndsShowModalButEnterAndEscapeDoNothing) {
    TForm* Form = NewForm(200, 130);
    auto* Edit = CreateControl<TEdit>(Form, Form, "txt", Bounds(10, 10, 100, 21));
    auto* Memo = CreateControl<TMemo>(Form, Form, "mem", Bounds(10, 75, 170, 45));
    auto* Other = CreateControl<TButton>(Form, Form, "btnOther", Bounds(10, 40, 80, 25));
    auto* Ok = CreateControl<TButton>(Form, Form, "btnOk", Bounds(100, 40, 80, 25));
    Ok->SetCaption("OK");
    Ok->ModalResult = mrOk;
    std::vector<std::string> Clicks;
    Other->OnClick = [&](TObject* Sender) { Clicks.push_back(static_cast<TButton*>(Sender)->Name); };
    Ok->OnClick = [&](TObject*) { Clicks.push_back("btnOk, form's result " + std::to_string(Form->ModalResult)); };

    RunLater(50, [&] {
        EXPECT_TRUE(PumpUntil([&] { return Form->Active(); }));
        EXPECT_EQ("OK", WindowText(Ok->Handle()));
        // Escape in a memo as anywhere else, where Enter starts a new line.
        for (TCustomEdit* Box : {static_cast<TCustomEdit*>(Edit), static_cast<TCustomEdit*>(Memo)}) {
            SCOPED_TRACE(Box->Name);
            Box->SetFocus();
            PressKey(VK_RETURN);
            PressKey(VK_ESCAPE);
            PumpFor(300);
            EXPECT_EQ(mrNone, Form->ModalResult);
            EXPECT_TRUE(Form->Visible());
            EXPECT_TRUE(Clicks.empty());
        }
        EXPECT_EQ("\r\n", Memo->Text());

        ClickCenter(Other->Handle());
        EXPECT_TRUE(PumpUntil([&] { return Clicks.size() == 1; }));
        EXPECT_EQ(mrNone, Form->ModalResult);
        ClickCenter(Ok->Handle());
        EXPECT_TRUE(PumpUntil([&] { return Form->ModalResult != mrNone; }));
        if (Form->ModalResult == mrNone) Form->ModalResult = mrAbort;  // a failure must not hang the run
    });
    EXPECT_EQ(mrOk, Form->ShowModal());
    EXPECT_EQ((std::vector<std::string>{"btnOther", "btnOk, form's result 0"}), Clicks);
    delete Form;
}

TEST(StdCtrls, EditFiltersTypedKeysKeepsItsLimitAndTakesNoInputWhileDisabled) {
    TForm* Form = NewForm(200, 50);
    auto* Edit = CreateControl<TEdit>(Form, Form, "txt", Bounds(10, 10, 150, 21));
    Edit->SetText("9");  // before the window exists
    Edit->SetMaxLength(4);
    std::string Seen;
    std::vector<std::string> Changes;
    Edit->OnKeyPress = [&](TObject*, char& Key) {
        Seen += Key;
        if (!std::isdigit(static_cast<unsigned char>(Key))) Key = 0;
    };
    // Wine also reports a change when a key meets the limit: the same text twice counts once.
    Edit->OnChange = [&](TObject*) {
        if (Changes.empty() || Changes.back() != Edit->Text()) Changes.push_back(Edit->Text());
    };
    ASSERT_TRUE(ShowActive(Form));
    EXPECT_EQ("9", WindowText(Edit->Handle()));

    Edit->SetFocus();
    PressKey(VK_END);
    TypeKeys("a1B2c34");
    ASSERT_TRUE(PumpUntil([&] { return Seen.size() == 7; }));
    PumpFor(100);
    EXPECT_EQ("a1B2c34", Seen);  // every character went through the filter first
    EXPECT_EQ("9123", Edit->Text());  // letters swallowed, "4" past the limit
    EXPECT_EQ((std::vector<std::string>{"91", "912", "9123"}), Changes);

    Edit->SetMaxLength(0);
    TypeKeys("5");
    EXPECT_TRUE(PumpUntil([&] { return Edit->Text() == "91235"; })) << Edit->Text();
    // Enter, pressed for real, reaches the filter instead of the dialog manager.
    PressKey(VK_RETURN);
    EXPECT_TRUE(PumpUntil([&] { return Seen == "a1B2c345\r"; })) << Seen;
    // Selected text is replaced by what is typed.
    Edit->SetSelStart(1);
    Edit->SetSelLength(2);
    EXPECT_EQ(1, Edit->SelStart());
    EXPECT_EQ(2, Edit->SelLength());
    TypeKeys("0");
    EXPECT_TRUE(PumpUntil([&] { return Edit->Text() == "9035"; })) << Edit->Text();
    Edit->SelectAll();
    EXPECT_EQ(4, Edit->SelLength());
    TypeKeys("5");
    EXPECT_TRUE(PumpUntil([&] { return Edit->Text() == "5"; })) << Edit->Text();
    Edit->SetText("91235");
    Seen.clear();

    Edit->SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(Edit->Handle()));
    ClickCenter(Edit->Handle());
    TypeKeys("6");
    PumpFor(300);
    EXPECT_EQ("91235", Edit->Text());
    EXPECT_EQ("", Seen);

    Edit->SetEnabled(true);
    ClickCenter(Edit->Handle());
    PressKey(VK_END);
    TypeKeys("7");
    EXPECT_TRUE(PumpUntil([&] { return Edit->Text() == "912357"; })) << Edit->Text();
    EXPECT_TRUE(Edit->Focused());
    delete Form;
}

TEST(StdCtrls, TabMovesThroughTheTabStopsAndFocusComesBackWithTheForm) {
    TForm* Form = NewForm(300, 100);
    auto* First = CreateControl<TEdit>(Form, Form, "txtFirst", Bounds(10, 10, 100, 21));
    CreateControl<TCheckBox>(Form, Form, "chk", Bounds(10, 40, 100, 20));
    auto* Unchecked = CreateControl<TRadioButton>(Form, Form, "optUnchecked", Bounds(120, 10, 100, 20));
    CreateControl<TRadioButton>(Form, Form, "optChecked", Bounds(120, 40, 100, 20))->SetChecked(true);
    CreateControl<TEdit>(Form, Form, "txtDisabled", Bounds(10, 70, 100, 21))->SetEnabled(false);
    auto* Hidden = CreateControl<TButton>(Form, Form, "btnHidden", Bounds(120, 70, 70, 25));
    Hidden->Hide();
    CreateControl<TButton>(Form, Form, "btn", Bounds(200, 70, 80, 25));
    ASSERT_TRUE(ShowActive(Form));
    EXPECT_TRUE(First->Focused());  // the first tab stop has the focus when the form opens

    EXPECT_FALSE(IsWindowVisible(Hidden->Handle()));
    // Only the checked radio button is a tab stop; disabled and hidden controls are skipped.
    std::vector<std::string> Order;
    for (int I = 0; I < 4; ++I) {
        PressKey(VK_TAB);
        PumpFor(100);
        Order.push_back(NameOf(GetFocus()));
    }
    PressKey(VK_TAB, true);
    PumpFor(100);
    Order.push_back(NameOf(GetFocus()));
    EXPECT_EQ((std::vector<std::string>{"chk", "optChecked", "btn", "txtFirst", "btn"}), Order);

    // The arrow keys move inside the radio group and check the one they reach.
    static_cast<TWinControl*>(Form->Controls(3))->SetFocus();
    PressKey(VK_UP);
    EXPECT_TRUE(PumpUntil([&] { return Unchecked->Checked(); }));

    // A control focused before its form shows gets the focus when it does; going to another form
    // and back leaves the focus where it was.
    TForm* Another = NewForm(200, 50);
    Another->SetLeft(450);
    CreateControl<TEdit>(Another, Another, "txtOne", Bounds(10, 10, 80, 21));
    auto* Two = CreateControl<TEdit>(Another, Another, "txtTwo", Bounds(100, 10, 80, 21));
    Another->OnShow = [&](TObject*) { Two->SetFocus(); };
    ASSERT_TRUE(ShowActive(Another));
    EXPECT_TRUE(Two->Focused());
    SetForegroundWindow(Form->Handle());
    EXPECT_TRUE(PumpUntil([&] { return Form->Active(); }));
    EXPECT_EQ("optUnchecked", NameOf(GetFocus()));
    delete Another;
    delete Form;
}

TEST(StdCtrls, RadioButtonsOfOneParentExcludeEachOther) {
    TForm* Form = NewForm(300, 100);
    std::vector<TRadioButton*> Group;
    for (int I = 0; I < 3; ++I)
        Group.push_back(CreateControl<TRadioButton>(Form, Form, "opt" + std::to_string(I), Bounds(10, 10 + 25 * I, 100, 20)));
    auto* Box = CreateControl<TWinControl>(Form, Form, "pnl", Bounds(150, 10, 120, 40));
    auto* Elsewhere = CreateControl<TRadioButton>(Form, Box, "optElsewhere", Bounds(5, 5, 100, 20));
    std::vector<std::string> Clicks;
    for (TRadioButton* R : Group) R->OnClick = [&](TObject* Sender) { Clicks.push_back(static_cast<TControl*>(Sender)->Name); };
    Elsewhere->SetChecked(true);
    Group[0]->SetChecked(true);
    Group[1]->SetChecked(true);  // before the windows exist
    auto State = [&] {
        std::string S;
        for (TRadioButton* R : Group) S += R->Checked() ? '1' : '0';
        return S + (Elsewhere->Checked() ? '1' : '0');
    };
    EXPECT_EQ("0101", State());
    ASSERT_TRUE(ShowActive(Form));
    EXPECT_EQ("0101", std::string() + "01"[WindowChecked(Group[0])] + "01"[WindowChecked(Group[1])] +
                          "01"[WindowChecked(Group[2])] + "01"[WindowChecked(Elsewhere)]);

    ClickCenter(Group[2]->Handle());
    EXPECT_TRUE(PumpUntil([&] { return Clicks.size() == 1; }));
    ClickCenter(Group[2]->Handle());  // already checked: no click
    PumpFor(300);
    EXPECT_EQ("0011", State());
    EXPECT_FALSE(WindowChecked(Group[1]));
    EXPECT_EQ((std::vector<std::string>{"opt2"}), Clicks);

    Group[0]->SetChecked(true);  // from code: no OnClick
    EXPECT_EQ("1001", State());
    EXPECT_FALSE(WindowChecked(Group[2]));
    EXPECT_EQ(1u, Clicks.size());
    delete Form;
}

TEST(StdCtrls, CheckBoxTogglesOnAClickAndIsWhiteBoldOnPurple) {
    TForm* Form = NewForm(200, 70, kPurple);
    auto* Check = CreateControl<TCheckBox>(Form, Form, "chk", Bounds(10, 10, 180, 20));
    Check->SetCaption("Stay on top");
    Check->Font.Color = clWhite;
    Check->Font.Style = fsBold;
    Check->SetChecked(true);
    auto* Button = CreateControl<TButton>(Form, Form, "btn", Bounds(10, 40, 80, 25));
    int Clicks = 0;
    Check->OnClick = [&](TObject*) { ++Clicks; };
    ASSERT_TRUE(ShowActive(Form));
    EXPECT_TRUE(WindowChecked(Check));

    ClickCenter(Check->Handle());
    EXPECT_TRUE(PumpUntil([&] { return Clicks == 1; }));
    EXPECT_FALSE(Check->Checked());
    ClickCenter(Check->Handle());
    EXPECT_TRUE(PumpUntil([&] { return Clicks == 2; }));
    EXPECT_TRUE(Check->Checked());

    // The caption is drawn in white on the form's purple; the push button keeps the system's face.
    RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    HDC DC = GetDC(Check->Handle());
    int White = 0;
    for (int X = 20; X < 120; ++X)
        for (int Y = 0; Y < 20; ++Y) White += GetPixel(DC, X, Y) == RGB(255, 255, 255);
    EXPECT_EQ(ColorToRGB(kPurple), GetPixel(DC, 175, 10));
    ReleaseDC(Check->Handle(), DC);
    EXPECT_GT(White, 20);
    DC = GetDC(Button->Handle());
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), GetPixel(DC, 10, 12));
    ReleaseDC(Button->Handle(), DC);
    delete Form;
}

TEST(OpenDialog, ExecuteAnswersTheFullPathOrKeepsFileNameOnCancel) {
    TScratchFolder Folder;
    const std::string Picture = Folder.Path() + "sky.bmp";
    std::ofstream(Picture) << "BM";
    TForm* Form = NewForm(100, 50);
    ASSERT_TRUE(ShowActive(Form));
    TOpenPictureDialog* Dialog = NewPictureDialog(Form, "Pick a picture");

    // The dialog belongs to the active form.
    HWND Owner = nullptr;
    std::function<void()> WatchOwner = [&] {
        if (HWND Shown = FindWindowA("#32770", "Pick a picture")) Owner = GetWindow(Shown, GW_OWNER);
        else RunLater(100, WatchOwner);
    };
    RunLater(100, WatchOwner);
    AnswerOpenDialog(Dialog->Title, Picture);
    EXPECT_TRUE(Dialog->Execute());
    EXPECT_EQ(Picture, Dialog->FileName);
    EXPECT_EQ(Form->Handle(), Owner);

    // A bare name is taken in InitialDir and comes back as a full path; so does one that gets
    // DefaultExt added (Wine checks that a file exists before it adds the extension).
    Dialog->FileName = "";
    Dialog->InitialDir = Folder.Path();
    AnswerOpenDialog(Dialog->Title, "sky.bmp");
    EXPECT_TRUE(Dialog->Execute());
    EXPECT_EQ(Picture, Dialog->FileName);
    Dialog->FileName = "";
    Dialog->DefaultExt = ".bmp";
    Dialog->Options = ofHideReadOnly;
    AnswerOpenDialog(Dialog->Title, "sky");
    EXPECT_TRUE(Dialog->Execute());
    EXPECT_EQ(Picture, Dialog->FileName);

    CancelOpenDialog(Dialog->Title);
    EXPECT_FALSE(Dialog->Execute());
    EXPECT_EQ(Picture, Dialog->FileName);
    delete Form;
}

namespace {
struct TClientDC {  // a window's client area to draw or read, released with it
    explicit TClientDC(HWND AWindow) : Window(AWindow), Handle(GetDC(AWindow)) {}
    ~TClientDC() { ReleaseDC(Window, Handle); }
    HWND Window;
    HDC Handle;
};

// What the open-picture dialog's preview shows, read from the screen: its size text, the colour at the
// centre of its frame, and how far the picture reaches across that centre (the pixels not of the
// frame's colour) in the room inside the frame's edge.
struct TPreview {
    std::string Size;
    COLORREF Centre = 0;
    TPoint Reach, Room;
};

TPreview ReadPreview(HWND Dialog) {
    const HWND Pane = FindWindowExA(Dialog, nullptr, "#32770", nullptr);
    const HWND Frame = GetDlgItem(Pane, TOpenPictureDialog::idPreviewFrame);
    RECT R;
    GetClientRect(Frame, &R);
    InflateRect(&R, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
    const int X0 = (R.left + R.right) / 2, Y0 = (R.top + R.bottom) / 2;
    const TClientDC DC(Frame);
    TPreview Shown{WindowText(GetDlgItem(Pane, TOpenPictureDialog::idPreviewSize)), GetPixel(DC.Handle, X0, Y0), {},
                   {R.right - R.left, R.bottom - R.top}};
    for (int X = R.left; X < R.right; ++X) Shown.Reach.X += GetPixel(DC.Handle, X, Y0) != GetSysColor(COLOR_BTNFACE);
    for (int Y = R.top; Y < R.bottom; ++Y) Shown.Reach.Y += GetPixel(DC.Handle, X0, Y) != GetSysColor(COLOR_BTNFACE);
    return Shown;
}

bool Near(COLORREF A, COLORREF B, int Tolerance) {
    return std::abs(GetRValue(A) - GetRValue(B)) <= Tolerance && std::abs(GetGValue(A) - GetGValue(B)) <= Tolerance &&
           std::abs(GetBValue(A) - GetBValue(B)) <= Tolerance;
}

// A JPEG whose columns take colours Even and Odd in turn, with noise of up to Noise either way in every
// sample. Decoded at 1/8 of its size, every pixel is the mean of the two; with noise it costs a
// decoder what a photograph does.
std::string JpegOf(int Width, int Height, COLORREF Even, COLORREF Odd, int Noise) {
    unsigned Seed = 1;
    const int Samples[2][3] = {{GetRValue(Even), GetGValue(Even), GetBValue(Even)},
                               {GetRValue(Odd), GetGValue(Odd), GetBValue(Odd)}};
    return EncodeJpeg(Width, Height, jsRgb, [&](int, std::vector<unsigned char>& Row) {
        for (size_t I = 0; I < Row.size(); ++I) {
            Seed = Seed * 1103515245u + 12345u;
            const int Offset = Noise ? static_cast<int>((Seed >> 16) % (2 * Noise + 1)) - Noise : 0;
            Row[I] = static_cast<unsigned char>(std::clamp(Samples[I / 3 % 2][I % 3] + Offset, 0, 255));
        }
    });
}

HWND FileList(HWND Dialog) {
    return FindWindowExA(FindWindowExA(Dialog, nullptr, "SHELLDLL_DefView", nullptr), nullptr, WC_LISTVIEWA, nullptr);
}
}  // namespace

// Chosen in the list, the first file by a click and the others with the Down key, each file shows in
// the preview within a quarter of a second: a picture scaled down to fit with its proportions (a small
// one at its own size) and its size; a file that is no picture shows the empty preview, and no message
// box. Open answers the file chosen last.
TEST(OpenPictureDialog, PreviewShowsTheChosenPictureOrNothingAndOpenAnswersIt) {
    constexpr int kPreviewBoundMs = 250, kGiveUpMs = 60000;
    constexpr int kColourTolerance = 16;  // a JPEG's colours are near those it was made of
    TScratchFolder Folder;
    WriteBmp24(Folder.Path() + "a-red.bmp", 64, 48, [](int, int) { return TRgb{255, 0, 0}; });
    // A picture that another program holds open without sharing cannot be read: nothing to show.
    WriteBmp24(Folder.Path() + "b-held.bmp", 64, 48, [](int, int) { return TRgb{0, 0, 255}; });
    const HANDLE Held = CreateFileA((Folder.Path() + "b-held.bmp").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                    nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, Held);
    WriteBytes(Folder.Path() + "b-text.jpg", "This is no picture.\r\n");
    WriteBytes(Folder.Path() + "c-blue.jpg", JpegOf(320, 240, RGB(30, 60, 200), RGB(30, 60, 200), 0));
    WriteBytes(Folder.Path() + "d-empty.bmp", "");
    // Decoded at full size and shrunk, the photo would show one of its stripes' colours, not their mean.
    WriteBytes(Folder.Path() + "e-photo.jpg", JpegOf(4000, 3000, RGB(20, 200, 40), RGB(60, 20, 80), 8));
    // Made to hold the decoder (a scan written a thousand times, arithmetic coding whose empty scans of
    // 8000 x 8000 took seconds each) and to take hundreds of megabytes.
    WriteBytes(Folder.Path() + "f-arithmetic.jpg",
               RepeatedFirstScan(EncodeJpeg(64, 64, jsRgb, [](int, std::vector<unsigned char>& Row) {
                   std::fill(Row.begin(), Row.end(), 128); }, 95, true, true), 8000, 8000, 99));
    WriteBytes(Folder.Path() + "f-scans.jpg", DcOnlyJpeg(400, 400, 1000));
    WriteBytes(Folder.Path() + "g-huge.bmp", EmptyRle8Bmp(16384, 8192));
    const struct {
        const char* Name;
        int Width, Height;  // 0: no picture
        COLORREF Colour;
    } Cases[] = {
        {"a-red.bmp", 64, 48, RGB(255, 0, 0)},
        {"b-held.bmp", 0, 0, 0},
        {"b-text.jpg", 0, 0, 0},
        {"c-blue.jpg", 320, 240, RGB(30, 60, 200)},
        {"d-empty.bmp", 0, 0, 0},
        {"e-photo.jpg", 4000, 3000, RGB(40, 110, 60)},
        {"f-arithmetic.jpg", 0, 0, 0},
        {"f-scans.jpg", 0, 0, 0},
        {"g-huge.bmp", 0, 0, 0},
    };
    TForm* Form = NewForm(100, 50);
    ASSERT_TRUE(ShowActive(Form));
    TOpenPictureDialog* Dialog = NewPictureDialog(Form, "Preview a picture");
    TBoxAnswerer Boxes;

    auto ChooseEach = [&](HWND Shown) {
        RECT First;
        ListView_GetItemRect(FileList(Shown), 0, &First, LVIR_LABEL);
        for (const auto& Case : Cases) {
            SCOPED_TRACE(Case.Name);
            const std::string Size = Case.Width ? IntToStr(Case.Width) + " x " + IntToStr(Case.Height) : "(None)";
            const COLORREF Colour = Case.Width ? Case.Colour : GetSysColor(COLOR_BTNFACE);
            const auto Start = std::chrono::steady_clock::now();
            if (&Case == Cases) ClickAt(FileList(Shown), (First.left + First.right) / 2, (First.top + First.bottom) / 2);
            else PressKey(VK_DOWN);
            TPreview Now;
            EXPECT_TRUE(PumpUntil([&] {
                Now = ReadPreview(Shown);
                return Now.Size == Size && Near(Now.Centre, Colour, kColourTolerance);
            })) << "shows " << Now.Size << " with the colour " << std::hex << Now.Centre << " at its centre";
            const auto Waited = std::chrono::steady_clock::now() - Start;
            EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(Waited).count(), kPreviewBoundMs);
            const bool Fits = Case.Width <= Now.Room.X && Case.Height <= Now.Room.Y;
            EXPECT_TRUE(Fits ? Now.Reach.X == Case.Width && Now.Reach.Y == Case.Height
                             : Now.Reach.X == Now.Room.X || Now.Reach.Y == Now.Room.Y)
                << Now.Reach.X << " x " << Now.Reach.Y << " shown in " << Now.Room.X << " x " << Now.Room.Y;
            EXPECT_NEAR(Now.Reach.X * Case.Height, Now.Reach.Y * Case.Width, std::max(Case.Width, Case.Height));
            EXPECT_EQ(nullptr, BoxOwnedBy(Shown));
        }
        ClickCenter(GetDlgItem(Shown, IDOK));
    };
    WhenOpenDialogShows(Dialog->Title, [&](HWND Shown) {
        RunLater(kGiveUpMs, [Shown] {
            if (IsWindow(Shown)) PostMessageA(Shown, WM_COMMAND, IDCANCEL, 0);
        });
        // The file name box has the focus. Enter opens the folder typed into it.
        EXPECT_EQ(Shown, GetActiveWindow());
        TypeKeys(Folder.Path());
        PressKey(VK_RETURN);
        RunWhen([=] { return ListView_GetItemCount(FileList(Shown)) == static_cast<int>(std::size(Cases)); },
                [=] { ChooseEach(Shown); });
    });
    EXPECT_TRUE(Dialog->Execute());
    EXPECT_EQ(Folder.Path() + "g-huge.bmp", Dialog->FileName);
    EXPECT_TRUE(Boxes.Asked.empty());
    CloseHandle(Held);
    delete Form;
}

// Asking a control for its window first must not give it a second one when its form's window
// is made on the way (which then makes the windows of all its children).
TEST(StdCtrls, EachControlGetsOneWindowWhicheverAsksFirst) {
    std::unique_ptr<TForm> Form(NewForm(200, 100));
    auto* Edit = CreateControl<TEdit>(Form.get(), Form.get(), "Edit", Bounds(8, 8, 80, 21));
    auto* First = CreateControl<TButton>(Form.get(), Form.get(), "First", Bounds(8, 40, 80, 25));
    CreateControl<TButton>(Form.get(), Form.get(), "Second", Bounds(100, 40, 80, 25));
    ASSERT_FALSE(Form->HandleAllocated());
    const HWND Button = First->Handle();
    EXPECT_EQ(Form->Handle(), GetParent(Button));
    struct TCounter {
        static BOOL CALLBACK Count(HWND, LPARAM Children) {
            ++*reinterpret_cast<int*>(Children);
            return TRUE;
        }
    };
    int Children = 0;
    EnumChildWindows(Form->Handle(), &TCounter::Count, reinterpret_cast<LPARAM>(&Children));
    EXPECT_EQ(3, Children);
    EXPECT_TRUE(IsWindow(Edit->Handle()));
}

TEST(ColorDialog, OpensOnTheColourLastConfirmedBlackAtFirst) {
    TForm* Form = NewForm(200, 50);
    ASSERT_TRUE(ShowActive(Form));
    TColorDialog Dialog(Form);
    std::string Shown;
    AnswerColorDialog(RGB(255, 0, 128), &Shown);
    EXPECT_TRUE(Dialog.Execute());
    EXPECT_EQ("0 0 0", Shown);
    EXPECT_EQ(RGB(255, 0, 128), ColorToRGB(Dialog.Color));

    AnswerColorDialog(RGB(1, 2, 3), &Shown, true);
    EXPECT_FALSE(Dialog.Execute());
    EXPECT_EQ("255 0 128", Shown);
    EXPECT_EQ(RGB(255, 0, 128), ColorToRGB(Dialog.Color));  // a cancelled choice changes nothing
    AnswerColorDialog(RGB(0, 128, 255), &Shown);
    EXPECT_TRUE(Dialog.Execute());
    EXPECT_EQ("255 0 128", Shown);
    EXPECT_EQ(RGB(0, 128, 255), ColorToRGB(Dialog.Color));
    delete Form;
}

TEST(StdCtrls, MemoLinesAreTheDisplayedRowsAndReadOnlyKeepsItsColours) {
    TForm* Form = NewForm(300, 150, clBlack);
    auto* Memo = CreateControl<TMemo>(Form, Form, "mem", Bounds(10, 10, 120, 100));
    Memo->SetMaxLength(20);
    auto* Terms = CreateControl<TMemo>(Form, Form, "memTerms", Bounds(140, 10, 150, 100));
    Terms->SetReadOnly(true);
    Terms->TabStop = false;
    Terms->ScrollBars = ssVertical;
    Terms->Color = clBlack;
    Terms->Font.Color = clWhite;
    Terms->SetText("WWWW WWWW WWWW WWWW WWWW WWWW\r\n\r\nend");
    EXPECT_EQ((std::vector<std::string>{"WWWW WWWW WWWW WWWW WWWW WWWW", "", "end"}), Terms->Lines());  // no window yet
    ASSERT_TRUE(ShowActive(Form));
    const std::vector<std::string> Rows = Terms->Lines();
    ASSERT_GT(Rows.size(), 3u);  // the long paragraph wraps at the box's width
    EXPECT_EQ("end", Rows.back());
    EXPECT_EQ("", Rows[Rows.size() - 2]);
    EXPECT_TRUE(GetWindowLongA(Terms->Handle(), GWL_STYLE) & WS_VSCROLL);
    RedrawWindow(Terms->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    HDC DC = GetDC(Terms->Handle());
    EXPECT_EQ(RGB(0, 0, 0), GetPixel(DC, 3, 60));  // not the system's grey of a read-only box
    ReleaseDC(Terms->Handle(), DC);

    Memo->SetFocus();
    TypeKeys("one");
    PressKey(VK_RETURN);  // a new line, not the dialog manager's default button
    TypeKeys("two three four five six");
    EXPECT_TRUE(PumpUntil([&] { return Memo->Text().size() == 20; })) << Memo->Text();
    EXPECT_EQ("one\r\ntwo three four ", Memo->Text());  // the line break counts two
    EXPECT_EQ("one", Memo->Lines().front());
    Memo->Clear();
    EXPECT_TRUE(Memo->Lines().empty());

    // Tab skips the read-only memo; the progress bar takes a range past 16 bits.
    auto* Bar = CreateControl<TProgressBar>(Form, Form, "prg", Bounds(10, 120, 280, 17));
    Bar->SetMax(200000);
    Bar->SetPosition(150000);
    EXPECT_EQ(200000, static_cast<int>(SendMessageA(Bar->Handle(), PBM_GETRANGE, FALSE, 0)));
    EXPECT_EQ(150000, static_cast<int>(SendMessageA(Bar->Handle(), PBM_GETPOS, 0, 0)));
    Bar->SetPosition(300000);
    EXPECT_EQ(200000, Bar->Position());
    delete Form;
}

TEST(StdCtrls, LowerCaseEditTypesSmallLettersAndEnterFiresWithTheFocus) {
    TForm* Form = NewForm(200, 80);
    auto* First = CreateControl<TEdit>(Form, Form, "txtFirst", Bounds(10, 10, 150, 21));
    auto* Email = CreateControl<TEdit>(Form, Form, "txtEmail", Bounds(10, 40, 150, 21));
    Email->CharCase = ecLowerCase;
    int Entered = 0, Left = 0;
    Email->OnEnter = [&](TObject*) { ++Entered; };
    First->OnExit = [&](TObject*) { ++Left; };
    ASSERT_TRUE(ShowActive(Form));
    EXPECT_TRUE(First->Focused());
    EXPECT_EQ(0, Entered);
    PressKey(VK_TAB);
    EXPECT_TRUE(PumpUntil([&] { return Entered == 1; }));
    EXPECT_EQ(1, Left);  // the focus left the first box for the second
    TypeKeys("Me@Example.COM");
    EXPECT_TRUE(PumpUntil([&] { return Email->Text() == "me@example.com"; })) << Email->Text();
    Email->SetReadOnly(true);
    TypeKeys("x");
    PumpFor(200);
    EXPECT_EQ("me@example.com", Email->Text());
    delete Form;
}
