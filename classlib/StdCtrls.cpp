#include "StdCtrls.h"

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

void TLabel::AdjustBounds() {
    if (!AutoSize) return;
    HDC DC = GetDC(nullptr);
    HGDIOBJ Old = SelectObject(DC, Font.Handle());
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
    HGDIOBJ Old = SelectObject(DC, Font.Handle());
    SetBkMode(DC, TRANSPARENT);
    SetTextColor(DC, ColorToRGB(FEnabled ? Font.Color : clGray));
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
