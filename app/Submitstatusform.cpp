#include "Submitstatusform.h"

#include "Borderpictures.h"
#include "Velmoracolors.h"

TfrmSubmitStatus* frmSubmitStatus = nullptr;

namespace {
const TFormLayout kLayout{"Skin Submit Status", 357, 309, kPurple, bsNone, 0, poDesigned};
}  // namespace

TfrmSubmitStatus::TfrmSubmitStatus(TComponent* Owner) : TForm(Owner) {
    ApplyLayout(kLayout);
    AddBorderPictures(this, imgTopBorder, imgRightBorder, imgBottomBorder, imgLeftBorder);
}
