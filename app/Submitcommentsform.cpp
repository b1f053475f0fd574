#include "Submitcommentsform.h"

#include "Borderpictures.h"

TfrmSubmitComments* frmSubmitComments = nullptr;

namespace {
const TFormLayout kLayout{"Submit Comments", 249, 170, clBlack, bsNone, 0, poDesigned};
}  // namespace

TfrmSubmitComments::TfrmSubmitComments(TComponent* Owner) : TForm(Owner) {
    ApplyLayout(kLayout);
    AddBorderPictures(this, imgTopBorder, imgRightBorder, imgBottomBorder, imgLeftBorder);
}
