// Pictures and shapes: windowless controls painted by their parent.
#pragma once

#include "Controls.h"

class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* AOwner);
    TPicture Picture;
    bool Stretch() const { return FStretch; }
    void SetStretch(bool Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    // With AutoSize the control takes the size of each picture it is given.
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    bool Center = false;
    // The canvas of the picture's bitmap; an empty picture first gets a 24-bit bitmap of the image's size.
    // Raises EInvalidOperation when the picture holds another kind of graphic.
    TCanvas* Canvas();
    void Paint(TCanvas& Canvas) override;

private:
    void PictureChanged();
    bool FStretch = false, FTransparent = false, FAutoSize = false;
};

// A filled rectangle with an outline.
class TShape : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    TBrush Brush;
    TPen Pen;
    void Paint(TCanvas& Canvas) override;
};
