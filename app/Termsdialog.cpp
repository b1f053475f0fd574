#include "Termsdialog.h"

#include "Borderpictures.h"

namespace {
const char* const kBottomMessage = "By clicking 'OK', you agree to all of the above terms.";
constexpr int kMargin = 20, kButtonWidth = 80, kButtonHeight = 25, kButtonGap = 20;
}  // namespace

TTermsDialog::TTermsDialog(TComponent* Owner, const TTermsLayout& Layout) : TForm(Owner) {
    ApplyLayout(Layout.Form);
    AddBorderPictures(this, imgTopBorder, imgRightBorder, imgBottomBorder, imgLeftBorder);
    const int W = ClientWidth(), H = ClientHeight();
    lblTopMessage = CreateControl<TLabel>(this, this, "lblTopMessage", Bounds(kMargin, 18, W - 2 * kMargin, 28));
    lblTopMessage->WordWrap = true;
    memTerms = CreateControl<TMemo>(this, this, "memTerms", Bounds(kMargin, 50, W - 2 * kMargin, H - 133));
    lblBottomMessage = CreateControl<TLabel>(this, this, "lblBottomMessage", Bounds(kMargin, H - 78, W - 2 * kMargin, 16));
    for (TLabel* Label : {lblTopMessage, lblBottomMessage}) {
        Label->AutoSize = false;
        Label->Alignment = taCenter;
        Label->Font.Color = clYellow;
    }
    lblTopMessage->Font.Style = fsBold;
    lblTopMessage->SetCaption(Layout.TopMessage);
    lblBottomMessage->SetCaption(kBottomMessage);
    memTerms->SetReadOnly(true);
    memTerms->TabStop = false;
    memTerms->ScrollBars = ssVertical;
    memTerms->Color = Color;
    memTerms->Font.Color = clWhite;
    memTerms->SetText(Layout.Terms);

    const int Left = (W - 2 * kButtonWidth - kButtonGap) / 2, Top = H - 52;
    auto AddButton = [&](const char* Name, const char* Caption, TModalResult Result, int X) {
        TButton* Button = CreateControl<TButton>(this, this, Name, Bounds(X, Top, kButtonWidth, kButtonHeight));
        Button->SetCaption(Caption);
        Button->ModalResult = Result;
        return Button;
    };
    // The buttons are made in tab order; "&OK" stays on the left.
    const int OkLeft = Left, CancelLeft = Left + kButtonWidth + kButtonGap;
    if (Layout.CancelFirst) {
        btnCancel = AddButton("btnCancel", "&Cancel", mrCancel, CancelLeft);
        btnOk = AddButton("btnOk", "&OK", mrOk, OkLeft);
    } else {
        btnOk = AddButton("btnOk", "&OK", mrOk, OkLeft);
        btnCancel = AddButton("btnCancel", "&Cancel", mrCancel, CancelLeft);
    }

    OnShow = [this](TObject* S) { FormShow(S); };
}

// Every showing opens with the focus on "&Cancel", so that Enter never accepts the terms unseen.
void TTermsDialog::FormShow(TObject*) {
    SetLeft(Covered()->Left());
    SetTop(Covered()->Top());
    FocusControl(btnCancel);
}
