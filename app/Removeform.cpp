#include "Removeform.h"

#include "Borderpictures.h"
#include "Globalfunctions.h"
#include "Velmoracolors.h"
#include "Velmoraform.h"

TfrmRemove* frmRemove = nullptr;

namespace {
const TFormLayout kLayout{"Remove Skin", 281, 165, kPurple, bsNone, 0, poDesigned};
// Two blanks after the first full stop.
const char* const kRemoved =
    "Your current skin has been removed.  You may have to restart your computer for this change to take effect.";
const char* const kNotRemoved = "Your skin could not be removed!";
}  // namespace

TfrmRemove::TfrmRemove(TComponent* Owner) : TForm(Owner) {
    ApplyLayout(kLayout);
    AddBorderPictures(this, imgTopBorder, imgRightBorder, imgBottomBorder, imgLeftBorder);
    lblRemove = CreateControl<TLabel>(this, this, "lblRemove", Bounds(23, 22, 235, 90));
    lblRemove->AutoSize = false;
    lblRemove->WordWrap = true;
    lblRemove->Alignment = taCenter;
    lblRemove->Layout = tlCenter;
    lblRemove->Font.Color = clYellow;
    lblRemove->Font.Style = fsBold;
    lblRemove->Font.Height = 16;
    btnOK = CreateControl<TButton>(this, this, "btnOK", Bounds(103, 122, 75, 25));
    btnOK->SetCaption("&OK");
    btnOK->ModalResult = mrOk;

    OnShow = [this](TObject* S) { FormShow(S); };
}

// The registry values go first; the Skin files only once the toolbars no longer name them.
void TfrmRemove::FormShow(TObject*) {
    SetTop(frmVelmora->Top() + frmVelmora->Height() / 2 - Height() / 2);
    SetLeft(frmVelmora->Left() + frmVelmora->Width() / 2 - Width() / 2);
    if (SetToolbarBitmap("")) {
        lblRemove->SetCaption(kRemoved);
        DeleteSkinFiles();
    } else {
        lblRemove->SetCaption(kNotRemoved);
    }
    DropPendingInput(Handle());  // made during the removal: it would close the dialog unread
}
