#include "Tellform.h"

#include "Borderpictures.h"
#include "Velmoracolors.h"

TfrmTell* frmTell = nullptr;

namespace {
const TFormLayout kLayout{"Tell A Friend", 356, 275, kPurple, bsNone, 0, poDesigned};
}  // namespace

TfrmTell::TfrmTell(TComponent* Owner) : TForm(Owner) {
    ApplyLayout(kLayout);
    AddBorderPictures(this, imgTopBorder, imgRightBorder, imgBottomBorder, imgLeftBorder);
}
