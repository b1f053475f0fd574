#include "Removeform.h"

#include "Borderpictures.h"
#include "Velmoracolors.h"

TfrmRemove* frmRemove = nullptr;

namespace {
const TFormLayout kLayout{"Remove Skin", 281, 165, kPurple, bsNone, 0, poDesigned};
}  // namespace

TfrmRemove::TfrmRemove(TComponent* Owner) : TForm(Owner) {
    ApplyLayout(kLayout);
    AddBorderPictures(this, imgTopBorder, imgRightBorder, imgBottomBorder, imgLeftBorder);
}
