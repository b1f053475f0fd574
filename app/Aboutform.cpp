#include "Aboutform.h"

#include "Borderpictures.h"
#include "Velmoracolors.h"

TfrmAbout* frmAbout = nullptr;

namespace {
const TFormLayout kLayout{"Help/About", 337, 256, kPurple, bsNone, 0, poDesigned};
}  // namespace

TfrmAbout::TfrmAbout(TComponent* Owner) : TForm(Owner) {
    ApplyLayout(kLayout);
    AddBorderPictures(this, imgTopBorder, imgRightBorder, imgBottomBorder, imgLeftBorder);
}
