#include "Windowtitleform.h"

#include "Borderpictures.h"
#include "Velmoracolors.h"

TfrmWindowTitle* frmWindowTitle = nullptr;

namespace {
const TFormLayout kLayout{"Change Window Title", 244, 143, kPurple, bsNone, 0, poDesigned};
}  // namespace

TfrmWindowTitle::TfrmWindowTitle(TComponent* Owner) : TForm(Owner) {
    ApplyLayout(kLayout);
    AddBorderPictures(this, imgTopBorder, imgRightBorder, imgBottomBorder, imgLeftBorder);
}
