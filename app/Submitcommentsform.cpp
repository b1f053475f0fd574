#include "Submitcommentsform.h"

#include "Borderpictures.h"
#include "Submitform.h"

TfrmSubmitComments* frmSubmitComments = nullptr;

namespace {
const TFormLayout kLayout{"Submit Comments", 249, 170, clBlack, bsNone, 0, poDesigned};
constexpr int kMaxComments = 1000;
}  // namespace

TfrmSubmitComments::TfrmSubmitComments(TComponent* Owner) : TForm(Owner) {
    ApplyLayout(kLayout);
    AddBorderPictures(this, imgTopBorder, imgRightBorder, imgBottomBorder, imgLeftBorder);
    lblAdditionalComments = CreateControl<TLabel>(this, this, "lblAdditionalComments", Bounds(20, 20, 209, 16));
    lblAdditionalComments->AutoSize = false;
    lblAdditionalComments->Alignment = taCenter;
    lblAdditionalComments->Font.Color = clYellow;
    lblAdditionalComments->Font.Style = fsBold;
    lblAdditionalComments->SetCaption("Additional Comments");
    memComments = CreateControl<TMemo>(this, this, "memComments", Bounds(22, 40, 205, 84));
    memComments->SetMaxLength(kMaxComments);
    btnOk = CreateControl<TButton>(this, this, "btnOk", Bounds(87, 130, 75, 25));
    btnOk->SetCaption("&OK");
    btnOk->ModalResult = mrOk;

    OnShow = [this](TObject* S) { FormShow(S); };
}

// Centred over the submit form's outer bounds, the comments selected.
void TfrmSubmitComments::FormShow(TObject*) {
    SetTop(frmSubmit->Top() + frmSubmit->Height() / 2 - Height() / 2);
    SetLeft(frmSubmit->Left() + frmSubmit->Width() / 2 - Width() / 2);
    memComments->SetSelStart(0);
    memComments->SetSelLength(memComments->MaxLength());
    memComments->SetFocus();
}
