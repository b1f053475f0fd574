#include "Getform.h"

#include "Velmoracolors.h"

TfrmGet* frmGet = nullptr;

namespace {
const TFormLayout kLayout{"Get Skins!", 472, 393, kPurple, bsSingle, biSystemMenu | biMinimize, poScreenCenter};
}  // namespace

TfrmGet::TfrmGet(TComponent* Owner) : TForm(Owner) {
    ApplyLayout(kLayout);
}
