#include "Getform.h"

#include "Velmoracolors.h"

TfrmGet* frmGet = nullptr;

namespace {
const TFormLayout kLayout{"Get Skins!", 472, 393, kPurple, bsSingle, biSystemMenu | biMinimize, poScreenCenter};
}  // namespace

TfrmGet::TfrmGet(TComponent* Owner) : TForm(Owner) {
    ApplyLayout(kLayout);
    imgIE = CreateControl<TImage>(this, this, "imgIE", Bounds(35, 8, 402, 62));
    imgIE->SetAutoSize(true);
    imgIE->SetTransparent(true);
    imgIE->SetVisible(false);
    imgIE->Hint = "Apply This Skin";
    imgIE->ShowHint = true;
    imgIE->Picture.LoadFromResourceName(Application->Instance(), "IEFRAME");
}
