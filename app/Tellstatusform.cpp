#include "Tellstatusform.h"

#include "Borderpictures.h"
#include "Velmoracolors.h"

TfrmTellStatus* frmTellStatus = nullptr;

namespace {
const TFormLayout kLayout{"Tell A Friend", 356, 275, kPurple, bsNone, 0, poDesigned};
}  // namespace

TfrmTellStatus::TfrmTellStatus(TComponent* Owner) : TForm(Owner) {
    ApplyLayout(kLayout);
    AddBorderPictures(this, imgTopBorder, imgRightBorder, imgBottomBorder, imgLeftBorder);
}
