#include "Telltermsform.h"

#include "Borderpictures.h"

TfrmTellTerms* frmTellTerms = nullptr;

namespace {
const TFormLayout kLayout{"Tell A Friend Agreement", 356, 275, clBlack, bsNone, 0, poDesigned};
}  // namespace

TfrmTellTerms::TfrmTellTerms(TComponent* Owner) : TForm(Owner) {
    ApplyLayout(kLayout);
    AddBorderPictures(this, imgTopBorder, imgRightBorder, imgBottomBorder, imgLeftBorder);
}
