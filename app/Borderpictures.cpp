#include "Borderpictures.h"

namespace {
constexpr int kStrip = 15;  // thickness of each strip

TImage* AddStrip(TForm* Form, const char* Name, const char* Resource, const TRect& Bounds) {
    TImage* Strip = CreateControl<TImage>(Form, Form, Name, Bounds);
    Strip->SetStretch(true);
    Strip->Picture.LoadFromResourceName(Application->Instance(), Resource);
    return Strip;
}
}  // namespace

void AddBorderPictures(TForm* Form, TImage*& imgTopBorder, TImage*& imgRightBorder, TImage*& imgBottomBorder,
                       TImage*& imgLeftBorder) {
    const int W = Form->ClientWidth(), H = Form->ClientHeight();
    imgTopBorder = AddStrip(Form, "imgTopBorder", "BORDERTOP", Bounds(0, 0, W, kStrip));
    imgRightBorder = AddStrip(Form, "imgRightBorder", "BORDERRIGHT", Bounds(W - kStrip, 0, kStrip, H));
    imgBottomBorder = AddStrip(Form, "imgBottomBorder", "BORDERBOTTOM", Bounds(0, H - kStrip, W, kStrip));
    imgLeftBorder = AddStrip(Form, "imgLeftBorder", "BORDERLEFT", Bounds(0, 0, kStrip, H));
}

void CentreOverClientArea(TForm* Dialog, TForm* Opener, int Raise) {
    const TPoint Origin = Opener->ClientOrigin();
    Dialog->SetTop(Origin.Y + Opener->ClientHeight() / 2 - Dialog->ClientHeight() / 2 - Raise);
    Dialog->SetLeft(Origin.X + Opener->ClientWidth() / 2 - Dialog->ClientWidth() / 2);
}

void WhiteBold(TFont& Font) {
    Font.Color = clWhite;
    Font.Style = fsBold;
}

TLabel* AddYellowLabel(TForm* Form, const char* Name, const TRect& Bounds, const char* Caption, TAlignment Alignment) {
    TLabel* Label = CreateControl<TLabel>(Form, Form, Name, Bounds);
    Label->AutoSize = false;
    Label->Alignment = Alignment;
    Label->Font.Color = clYellow;
    Label->Font.Style = fsBold;
    Label->SetCaption(Caption);
    return Label;
}

TOpenPictureDialog* NewSkinPictureDialog(TForm* Owner, const char* Name) {
    auto* Dialog = new TOpenPictureDialog(Owner);
    Dialog->Name = Name;
    Dialog->Title = "Select A Skin";
    Dialog->Filter = "Jpeg & Bitmap Skins (*.jpg, *.bmp)|*.jpg;*.bmp";
    Dialog->Options = ofHideReadOnly | ofPathMustExist | ofFileMustExist;
    return Dialog;
}
