#include "Getstatusform.h"

#include "Borderpictures.h"

TfrmGetStatus* frmGetStatus = nullptr;

namespace {
const TFormLayout kLayout{"Get Skins Status", 315, 220, clBlack, bsNone, 0, poDesigned};
}  // namespace

TfrmGetStatus::TfrmGetStatus(TComponent* Owner) : TForm(Owner) {
    ApplyLayout(kLayout);
    AddBorderPictures(this, imgTopBorder, imgRightBorder, imgBottomBorder, imgLeftBorder);
}
