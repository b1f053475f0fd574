#include "Getstatusform.h"

#include "Borderpictures.h"

TfrmGetStatus* frmGetStatus = nullptr;

namespace {
const TFormLayout kLayout{"Get Skins Status", 315, 220, clBlack, bsNone, 0, poDesigned};
const TRect kProgressBounds = Bounds(26, 142, 263, 17);
}  // namespace

TfrmGetStatus::TfrmGetStatus(TComponent* Owner) : TForm(Owner) {
    ApplyLayout(kLayout);
    AddBorderPictures(this, imgTopBorder, imgRightBorder, imgBottomBorder, imgLeftBorder);
    pnlProgress = CreateControl<TPanel>(this, this, "pnlProgress", kProgressBounds);
    pnlProgress->BevelOuter = TPanel::bvNone;
    pnlProgress->Color = clBlack;
    pnlProgress->SetVisible(false);
    imgProgress = CreateControl<TImage>(this, pnlProgress, "imgProgress", Bounds(0, 0, 0, kProgressBounds.Height()));
    imgProgress->SetStretch(true);
    lblProgress = CreateControl<TLabel>(this, pnlProgress, "lblProgress",
                                        Bounds(0, 0, kProgressBounds.Width(), kProgressBounds.Height()));
    lblProgress->AutoSize = false;
    lblProgress->Transparent = true;
    lblProgress->Alignment = taCenter;
    lblProgress->Layout = tlCenter;
    lblProgress->Font.Name = "Arial";
    lblProgress->Font.Height = 13;
    lblProgress->Font.Style = fsBold;
    lblProgress->Font.Color = clWhite;
    lblProgress->SetCaption("0%");
}
