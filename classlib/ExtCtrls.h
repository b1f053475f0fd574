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

// Calls OnTimer every Interval milliseconds from whichever message loop turns (a modal form's, a
// message box's), through a thread timer.
class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;
    unsigned Interval() const { return FInterval; }
    void SetInterval(unsigned Ms);  // 0: no ticks
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    TNotifyEvent OnTimer;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR Id, DWORD);
    void UpdateTimer();
    unsigned FInterval = 1000;
    bool FEnabled = true;
    UINT_PTR FId = 0;
};

// A container of our own window class with a bevel and a centred caption.
class TPanel : public TWinControl {
public:
    explicit TPanel(TComponent* AOwner);
    std::string Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    enum TBevel { bvNone, bvLowered, bvRaised };
    TBevel BevelOuter = bvRaised;  // bvNone: flat
    bool ParentColor = false;      // Color follows the parent's Color when painted

protected:
    void PaintBackground(TCanvas& Canvas) override;

private:
    std::string FCaption;
};

// A filled rectangle with an outline.
class TShape : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    TBrush Brush;
    TPen Pen;
    void Paint(TCanvas& Canvas) override;
};
