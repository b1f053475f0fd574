// Timers, and the containers of our own window class: scroll box, panel, group box, on real
// windows with real mouse input.
#include <gtest/gtest.h>

#include <algorithm>

#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "TestSupport.h"

namespace {
TForm* NewForm(int Width, int Height) {
    auto* Form = new TForm(Application);
    Form->ApplyLayout(TFormLayout{"containers test", Width, Height, clBtnFace, bsDialog, biSystemMenu, poDesigned});
    Form->SetLeft(100);
    Form->SetTop(100);
    return Form;
}

COLORREF PixelOf(TWinControl* Control, int X, int Y) {
    RedrawWindow(Control->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    HDC DC = GetDC(Control->Handle());
    const COLORREF Color = GetPixel(DC, X, Y);
    ReleaseDC(Control->Handle(), DC);
    return Color;
}

int CountPixels(TWinControl* Control, const TRect& Area, COLORREF Wanted) {
    RedrawWindow(Control->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    HDC DC = GetDC(Control->Handle());
    int Count = 0;
    for (int Y = Area.Top; Y < Area.Bottom; ++Y)
        for (int X = Area.Left; X < Area.Right; ++X) Count += GetPixel(DC, X, Y) == Wanted;
    ReleaseDC(Control->Handle(), DC);
    return Count;
}

::testing::AssertionResult ShowActive(TForm* Form) {
    Form->Show();
    if (PumpUntil([&] { return Form->Active(); })) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the form did not become active";
}
}  // namespace

// ---- TTimer ----

TEST(Timer, TicksAtItsIntervalOnlyWhileEnabledAndNotAfterItIsFreed) {
    auto* Timer = new TTimer(nullptr);
    Timer->SetEnabled(false);
    Timer->SetInterval(100);
    std::vector<DWORD> Ticks;
    Timer->OnTimer = [&](TObject* Sender) {
        EXPECT_EQ(Timer, Sender);
        Ticks.push_back(GetTickCount());
    };
    PumpFor(300);
    EXPECT_TRUE(Ticks.empty()) << "ticked while disabled";

    const DWORD Start = GetTickCount();
    Timer->SetEnabled(true);
    ASSERT_TRUE(PumpUntil([&] { return Ticks.size() >= 5; }));
    EXPECT_GE(Ticks[0] - Start, 80u);
    EXPECT_GE(Ticks[4] - Start, 450u);
    EXPECT_LT(Ticks[4] - Start, 1500u);

    Timer->SetEnabled(false);
    size_t Count = Ticks.size();
    PumpFor(300);
    EXPECT_EQ(Count, Ticks.size()) << "ticked after it was disabled";

    Timer->SetEnabled(true);
    ASSERT_TRUE(PumpUntil([&] { return Ticks.size() > Count; }));
    Count = Ticks.size();
    delete Timer;
    PumpFor(300);
    EXPECT_EQ(Count, Ticks.size()) << "ticked after it was freed";
}

TEST(Timer, AHandlerThatTurnsTheMessageLoopIsNeverEnteredAgain) {
    TTimer Timer(nullptr);
    Timer.SetInterval(20);
    int Depth = 0, Deepest = 0, Runs = 0;
    Timer.OnTimer = [&](TObject*) {
        Deepest = std::max(Deepest, ++Depth);
        ++Runs;
        PumpFor(100);  // several intervals
        --Depth;
    };
    EXPECT_TRUE(PumpUntil([&] { return Runs >= 3; }));
    Timer.SetEnabled(false);
    EXPECT_EQ(1, Deepest);
}

TEST(Timer, DisabledInItsHandlerTicksOnceAndTicksInsideAModalLoop) {
    TTimer Once(nullptr);
    Once.SetInterval(30);
    int OnceCount = 0;
    Once.OnTimer = [&](TObject*) {
        ++OnceCount;
        Once.SetEnabled(false);
    };

    TForm* Form = NewForm(100, 50);
    TTimer Modal(nullptr);
    Modal.SetInterval(50);
    int ModalCount = 0;
    Modal.OnTimer = [&](TObject*) {
        if (++ModalCount == 3 && Form->Modal()) Form->ModalResult = mrOk;
    };
    RunLater(5000, [&] {
        if (Form->ModalResult == mrNone) Form->ModalResult = mrAbort;  // a failure must not hang the run
    });
    EXPECT_EQ(mrOk, Form->ShowModal());
    PumpFor(200);
    EXPECT_EQ(1, OnceCount);
    delete Form;
}

// ---- TScrollBox ----

namespace {
constexpr int kRows = 34, kColumns = 3, kRowHeight = 13, kColumnWidth = 38;

struct TLabelGrid {
    TForm* Form;
    TScrollBox* Box;
    TLabel* Labels[kRows][kColumns];
    std::vector<std::string> Clicks;
};

TColor CellColor(int Row, int Column) { return static_cast<TColor>(RGB(Row * 7, 60 + Column * 80, 200)); }

// 102 labels filled with colours of their own, four rows visible at a time.
void MakeGrid(TLabelGrid& Grid) {
    Grid.Form = NewForm(200, 100);
    Grid.Box = CreateControl<TScrollBox>(Grid.Form, Grid.Form, "scb", Bounds(10, 10, 150, 4 * kRowHeight));
    Grid.Box->BorderStyleNone = true;
    for (int Row = 0; Row < kRows; ++Row)
        for (int Column = 0; Column < kColumns; ++Column) {
            const std::string Name = "lbl" + std::to_string(Row) + "_" + std::to_string(Column);
            auto* Label = new TLabel(Grid.Form);
            Label->Name = Name;
            Label->AutoSize = false;
            Label->ParentColor = false;
            Label->Color = CellColor(Row, Column);
            Label->SetBounds(Column * kColumnWidth, Row * kRowHeight, kColumnWidth - 2, kRowHeight);
            Label->SetParent(Grid.Box);
            Label->OnClick = [&Grid, Name](TObject*) { Grid.Clicks.push_back(Name); };
            Grid.Labels[Row][Column] = Label;
        }
}
}  // namespace

TEST(ScrollBox, RangeIsTheLowestChildAndPositionStaysInside) {
    TLabelGrid Grid;
    MakeGrid(Grid);
    ASSERT_TRUE(ShowActive(Grid.Form));
    TScrollBox* Box = Grid.Box;
    EXPECT_EQ(4 * kRowHeight, Box->ClientHeight());
    SCROLLINFO Info{sizeof Info, SIF_ALL};
    GetScrollInfo(Box->Handle(), SB_VERT, &Info);
    EXPECT_EQ(kRows * kRowHeight - 1, Info.nMax);
    EXPECT_EQ(static_cast<UINT>(Box->ClientHeight()), Info.nPage);

    const int Last = kRows * kRowHeight - Box->ClientHeight();
    const struct {
        int Set, Expected;
    } Cases[] = {{100, 100}, {100000, Last}, {-5, 0}};
    for (const auto& Case : Cases) {
        Box->SetVertPosition(Case.Set);
        EXPECT_EQ(Case.Expected, Box->VertScrollBar.Position) << Case.Set;
        EXPECT_EQ(Case.Expected, GetScrollPos(Box->Handle(), SB_VERT)) << Case.Set;
    }
    Box->ScrollBy(30);
    Box->ScrollBy(-10);
    EXPECT_EQ(20, Box->VertScrollBar.Position);

    // The lowest row hidden: the range shrinks and the position follows it.
    Box->SetVertPosition(Last);
    for (TLabel* Label : Grid.Labels[kRows - 1]) Label->Hide();
    EXPECT_EQ(Last - kRowHeight, Box->VertScrollBar.Position);
    delete Grid.Form;
}

TEST(ScrollBox, LabelsBelowArePaintedAndClickedAtTheirScrolledPlace) {
    TLabelGrid Grid;
    MakeGrid(Grid);
    ASSERT_TRUE(ShowActive(Grid.Form));
    TScrollBox* Box = Grid.Box;
    Box->SetVertPosition(20 * kRowHeight);
    for (int Shown = 0; Shown < 4; ++Shown)
        for (int Column = 0; Column < kColumns; ++Column) {
            EXPECT_EQ(ColorToRGB(CellColor(20 + Shown, Column)),
                      PixelOf(Box, Column * kColumnWidth + 5, Shown * kRowHeight + 6))
                << "row " << 20 + Shown << " column " << Column;
        }

    ClickAt(Box->Handle(), kColumnWidth + 5, kRowHeight + 6);
    EXPECT_TRUE(PumpUntil([&] { return !Grid.Clicks.empty(); }));
    PumpFor(100);
    EXPECT_EQ(std::vector<std::string>{"lbl21_1"}, Grid.Clicks);

    // The same point after scrolling back to the top reaches the label designed there.
    Box->SetVertPosition(0);
    ClickAt(Box->Handle(), kColumnWidth + 5, kRowHeight + 6);
    EXPECT_TRUE(PumpUntil([&] { return Grid.Clicks.size() == 2; }));
    EXPECT_EQ((std::vector<std::string>{"lbl21_1", "lbl1_1"}), Grid.Clicks);
    EXPECT_EQ(ColorToRGB(CellColor(1, 1)), PixelOf(Box, kColumnWidth + 5, kRowHeight + 6));
    delete Grid.Form;
}

TEST(ScrollBox, ArrowPageAndWheelScroll) {
    TLabelGrid Grid;
    MakeGrid(Grid);
    Grid.Box->VertScrollBar.Increment = 5;
    ASSERT_TRUE(ShowActive(Grid.Form));
    TScrollBox* Box = Grid.Box;
    const int BarX = Box->ClientWidth() + GetSystemMetrics(SM_CXVSCROLL) / 2;

    // A click on the bar's bottom arrow, then one on the bar's track below the thumb.
    ClickAt(Box->Handle(), BarX, Box->ClientHeight() - 3);
    EXPECT_TRUE(PumpUntil([&] { return Box->VertScrollBar.Position != 0; }));
    EXPECT_EQ(5, Box->VertScrollBar.Position);
    ClickAt(Box->Handle(), BarX, Box->ClientHeight() - GetSystemMetrics(SM_CYVSCROLL) - 3);
    EXPECT_TRUE(PumpUntil([&] { return Box->VertScrollBar.Position != 5; }));
    EXPECT_EQ(5 + Box->ClientHeight(), Box->VertScrollBar.Position);

    UINT Lines = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &Lines, 0);
    const int Before = Box->VertScrollBar.Position;
    MoveMouseTo(Box->Handle(), 10, 10);
    TurnWheel(-1);
    EXPECT_TRUE(PumpUntil([&] { return Box->VertScrollBar.Position != Before; }));
    EXPECT_EQ(Before + static_cast<int>(Lines) * 5, Box->VertScrollBar.Position);
    delete Grid.Form;
}

// ---- TLabel::ParentFont ----

TEST(Label, ParentFontPaintsAndSizesWithTheParentsFont) {
    TForm* Form = NewForm(200, 60);
    Form->Font.Color = clRed;
    Form->Font.Style = fsBold | fsUnderline;
    auto* Own = CreateControl<TLabel>(Form, Form, "lblOwn", Bounds(10, 10, 0, 0));
    auto* Inherits = CreateControl<TLabel>(Form, Form, "lblParent", Bounds(10, 30, 0, 0));
    Inherits->ParentFont = true;
    Own->SetCaption("Categories");
    Inherits->SetCaption("Categories");
    EXPECT_GT(Inherits->Width(), Own->Width());
    ASSERT_TRUE(ShowActive(Form));
    EXPECT_EQ(0, CountPixels(Form, Own->BoundsRect(), RGB(255, 0, 0)));
    EXPECT_GT(CountPixels(Form, Inherits->BoundsRect(), RGB(255, 0, 0)), 20);
    delete Form;
}

// ---- TPanel and TGroupBox ----

TEST(Containers, GroupBoxCaptionInItsFontAndMouseMovesReachPanelAndGroupBox) {
    TForm* Form = NewForm(260, 100);
    auto* Panel = CreateControl<TPanel>(Form, Form, "pnl", Bounds(10, 10, 100, 80));
    auto* Group = CreateControl<TGroupBox>(Form, Form, "grp", Bounds(120, 10, 130, 80));
    Group->SetCaption("Options");
    Group->Font.Color = clRed;
    Group->Font.Style = fsBold;
    std::vector<std::string> Moves;
    for (TWinControl* Control : {static_cast<TWinControl*>(Panel), static_cast<TWinControl*>(Group)})
        Control->OnMouseMove = [&Moves](TObject* Sender, TShiftState, int X, int Y) {
            Moves.push_back(static_cast<TControl*>(Sender)->Name + " " + std::to_string(X) + "," + std::to_string(Y));
        };
    ASSERT_TRUE(ShowActive(Form));

    EXPECT_GT(CountPixels(Group, Rect(0, 0, 80, 16), RGB(255, 0, 0)), 20);
    EXPECT_EQ(0, CountPixels(Group, Rect(0, 20, 130, 80), RGB(255, 0, 0)));

    auto Moved = [&](const std::string& Move) { return std::find(Moves.begin(), Moves.end(), Move) != Moves.end(); };
    MoveMouseTo(Panel->Handle(), 30, 40);
    EXPECT_TRUE(PumpUntil([&] { return Moved("pnl 30,40"); }));
    MoveMouseTo(Group->Handle(), 50, 60);
    EXPECT_TRUE(PumpUntil([&] { return Moved("grp 50,60"); }));
    delete Form;
}
