#include "ExtCtrls.h"

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner) {
    Picture.OnChange = [this]() { PictureChanged(); };
}

void TImage::PictureChanged() {
    if (FAutoSize && Picture.Width() > 0 && Picture.Height() > 0)
        SetBounds(FLeft, FTop, Picture.Width(), Picture.Height());
    Invalidate();
}

void TImage::SetStretch(bool Value) {
    FStretch = Value;
    Invalidate();
}

void TImage::SetTransparent(bool Value) {
    FTransparent = Value;
    Invalidate();
}

void TImage::SetAutoSize(bool Value) {
    FAutoSize = Value;
    PictureChanged();
}

TCanvas* TImage::Canvas() {
    if (!Picture.Graphic()) {
        auto Bitmap = std::make_unique<TBitmap>();
        Bitmap->SetPixelFormat(pf24bit);
        Bitmap->SetSize(FWidth, FHeight);
        Picture.SetGraphic(std::move(Bitmap));
    }
    auto* Bitmap = dynamic_cast<TBitmap*>(Picture.Graphic());
    if (!Bitmap) throw EInvalidOperation("Can only modify an image if it contains a bitmap");
    return Bitmap->Canvas();
}

void TImage::Paint(TCanvas& Canvas) {
    TGraphic* Graphic = Picture.Graphic();
    if (!Graphic || Graphic->Empty()) return;
    Graphic->Transparent = FTransparent;
    TRect Target;
    if (FStretch) {
        Target = Rect(0, 0, FWidth, FHeight);
    } else if (Center) {
        Target = Bounds((FWidth - Graphic->Width()) / 2, (FHeight - Graphic->Height()) / 2, Graphic->Width(),
                        Graphic->Height());
    } else {
        Target = Bounds(0, 0, Graphic->Width(), Graphic->Height());
    }
    // A picture that cannot be drawn (a damaged JPEG decodes only now) shows nothing, rather than an
    // error box at every repaint.
    try {
        Canvas.StretchDraw(Target, Graphic);
    } catch (const EInvalidGraphic&) {
    }
}

void TShape::Paint(TCanvas& Canvas) {
    Canvas.Brush = Brush;
    Canvas.Pen = Pen;
    // The pen's width lies inside the bounds, as it is drawn centred on the outline.
    const int Inset = Pen.Style == psClear ? 0 : Pen.Width / 2;
    int W = FWidth - (Pen.Style == psClear ? 0 : Pen.Width) + 1;
    int H = FHeight - (Pen.Style == psClear ? 0 : Pen.Width) + 1;
    if (Pen.Style == psClear || Pen.Width == 0) {
        --W;
        --H;
    }
    Canvas.Rectangle(Bounds(Inset, Inset, W, H));
}
