#include "ExtCtrls.h"

#include <map>
#include <set>

#include "Forms.h"

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

// ---- TTimer ----

namespace {
// The live timers by the identifier of their thread timer. A tick whose timer was freed or
// disabled meanwhile (its message already queued) finds nobody.
std::map<UINT_PTR, TTimer*>& LiveTimers() {
    static std::map<UINT_PTR, TTimer*> Timers;
    return Timers;
}

// The timers whose handler is running.
std::set<TTimer*>& RunningTimers() {
    static std::set<TTimer*> Timers;
    return Timers;
}
}  // namespace

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) { UpdateTimer(); }

TTimer::~TTimer() {
    FEnabled = false;
    UpdateTimer();
}

void TTimer::SetInterval(unsigned Ms) {
    if (Ms == FInterval) return;
    FInterval = Ms;
    if (FId) {  // the count starts again
        KillTimer(nullptr, FId);
        LiveTimers().erase(FId);
        FId = 0;
    }
    UpdateTimer();
}

void TTimer::SetEnabled(bool Value) {
    if (Value == FEnabled) return;
    FEnabled = Value;
    UpdateTimer();
}

void TTimer::UpdateTimer() {
    const bool Wanted = FEnabled && FInterval > 0;
    if (Wanted && !FId) {
        FId = SetTimer(nullptr, 0, FInterval, &TTimer::Tick);
        if (!FId) throw Exception("Not enough timers available");
        LiveTimers()[FId] = this;
    } else if (!Wanted && FId) {
        KillTimer(nullptr, FId);
        LiveTimers().erase(FId);
        FId = 0;
    }
}

// A handler that turns the message loop meets its own next ticks: they are dropped, so the handler
// never runs inside itself (a count that skipped its end would run for ever).
void CALLBACK TTimer::Tick(HWND, UINT, UINT_PTR Id, DWORD) {
    auto Found = LiveTimers().find(Id);
    if (Found == LiveTimers().end()) return;
    TTimer* Timer = Found->second;
    if (!Timer->OnTimer || RunningTimers().count(Timer)) return;
    RunningTimers().insert(Timer);
    try {
        Timer->OnTimer(Timer);  // may disable or free the timer
    } catch (...) {
        // No exception may unwind through the dispatcher.
        Application->HandleException();
    }
    RunningTimers().erase(Timer);  // only the address: the timer may be gone
}

// ---- TPanel ----

TPanel::TPanel(TComponent* AOwner) : TWinControl(AOwner) {}

void TPanel::SetCaption(const std::string& Value) {
    FCaption = Value;
    Invalidate();
}

void TPanel::PaintBackground(TCanvas& Canvas) {
    // Kept in Color, so that the labels on the panel that take their parent's colour match it.
    if (ParentColor && FParent) Color = FParent->Color;
    TWinControl::PaintBackground(Canvas);
    RECT R{0, 0, ClientWidth(), ClientHeight()};
    if (BevelOuter != bvNone) {
        DrawEdge(Canvas.Handle, &R, BevelOuter == bvRaised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    }
    if (FCaption.empty()) return;
    HGDIOBJ Old = SelectObject(Canvas.Handle, Font.Handle());
    SetBkMode(Canvas.Handle, TRANSPARENT);
    SetTextColor(Canvas.Handle, ColorToRGB(Font.Color));
    DrawTextA(Canvas.Handle, FCaption.c_str(), static_cast<int>(FCaption.size()), &R,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(Canvas.Handle, Old);
}
