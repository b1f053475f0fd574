#include "Submitform.h"

#include "Borderpictures.h"
#include "Velmoracolors.h"

TfrmSubmit* frmSubmit = nullptr;

namespace {
const TFormLayout kLayout{"Submit A Skin", 357, 309, kPurple, bsNone, 0, poDesigned};
}  // namespace

TfrmSubmit::TfrmSubmit(TComponent* Owner) : TForm(Owner) {
    ApplyLayout(kLayout);
    AddBorderPictures(this, imgTopBorder, imgRightBorder, imgBottomBorder, imgLeftBorder);
}
