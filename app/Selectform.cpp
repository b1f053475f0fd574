#include "Selectform.h"

#include "Borderpictures.h"
#include "Velmoracolors.h"

TfrmSelect* frmSelect = nullptr;

namespace {
const TFormLayout kLayout{"Select your own skin", 436, 195, kPurple, bsNone, 0, poDesigned};
}  // namespace

TfrmSelect::TfrmSelect(TComponent* Owner) : TForm(Owner) {
    ApplyLayout(kLayout);
    AddBorderPictures(this, imgTopBorder, imgRightBorder, imgBottomBorder, imgLeftBorder);
}
