#include "Submittermsform.h"

#include "Borderpictures.h"

TfrmSubmitTerms* frmSubmitTerms = nullptr;

namespace {
const TFormLayout kLayout{"Skin Submission Agreement", 357, 309, clBlack, bsNone, 0, poDesigned};
}  // namespace

TfrmSubmitTerms::TfrmSubmitTerms(TComponent* Owner) : TForm(Owner) {
    ApplyLayout(kLayout);
    AddBorderPictures(this, imgTopBorder, imgRightBorder, imgBottomBorder, imgLeftBorder);
}
