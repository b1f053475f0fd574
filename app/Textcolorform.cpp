#include "Textcolorform.h"

#include "Borderpictures.h"
#include "Velmoracolors.h"

TfrmTextColor* frmTextColor = nullptr;

namespace {
const TFormLayout kLayout{"Change Text Color", 362, 318, kPurple, bsNone, 0, poDesigned};
}  // namespace

TfrmTextColor::TfrmTextColor(TComponent* Owner) : TForm(Owner) {
    ApplyLayout(kLayout);
    AddBorderPictures(this, imgTopBorder, imgRightBorder, imgBottomBorder, imgLeftBorder);
}
