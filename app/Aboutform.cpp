#include "Aboutform.h"

#include "Borderpictures.h"
#include "Globalfunctions.h"
#include "Velmoracolors.h"
#include "Velmoraform.h"

TfrmAbout* frmAbout = nullptr;

namespace {
const TFormLayout kLayout{"Help/About", 337, 256, kPurple, bsNone, 0, poDesigned};
const char* const kHelpPagePath = "/programs/velmora3/application/help.html";
const char* const kHelpText = "Need help?  Click the Online Support button.";  // two blanks

TLabel* AddLabel(TForm* Form, const char* Name, const TRect& Bounds, const char* Caption, TColor Color, int Height) {
    TLabel* Label = CreateControl<TLabel>(Form, Form, Name, Bounds);
    Label->AutoSize = false;
    Label->Alignment = taCenter;
    Label->Font.Color = Color;
    Label->Font.Style = fsBold;
    Label->Font.Height = Height;
    Label->SetCaption(Caption);
    return Label;
}
}  // namespace

TfrmAbout::TfrmAbout(TComponent* Owner) : TForm(Owner) {
    ApplyLayout(kLayout);
    AddBorderPictures(this, imgTopBorder, imgRightBorder, imgBottomBorder, imgLeftBorder);
    imgIcon = CreateControl<TImage>(this, this, "imgIcon", Bounds(26, 26, 48, 48));
    imgIcon->Picture.LoadFromResourceName(Application->Instance(), "ABOUTFROG");
    imgIcon2 = CreateControl<TImage>(this, this, "imgIcon2", Bounds(263, 26, 48, 48));
    imgIcon2->Picture.LoadFromResourceName(Application->Instance(), "ABOUTLIZARD");
    for (TImage* Icon : {imgIcon, imgIcon2}) {
        Icon->SetAutoSize(true);
        Icon->SetTransparent(true);
    }
    lblAppTitle = AddLabel(this, "lblAppTitle", Bounds(84, 32, 169, 18), "Velmora!", clWhite, 15);
    lblVersion = AddLabel(this, "lblVersion", Bounds(84, 52, 169, 18), "Version 3.1", clWhite, 15);
    lblHelp = AddLabel(this, "lblHelp", Bounds(34, 104, 269, 48), kHelpText, clYellow, 16);
    lblHelp->WordWrap = true;
    btnOnlineSupport = CreateControl<TButton>(this, this, "btnOnlineSupport", Bounds(56, 196, 105, 25));
    btnOnlineSupport->SetCaption("Online &Support");
    btnOnlineSupport->ModalResult = mrOk;
    btnOk = CreateControl<TButton>(this, this, "btnOk", Bounds(176, 196, 105, 25));
    btnOk->SetCaption("&OK");
    btnOk->ModalResult = mrOk;

    OnCreate = [this](TObject* S) { FormCreate(S); };
    OnShow = [this](TObject* S) { FormShow(S); };
    btnOnlineSupport->OnClick = [this](TObject* S) { btnOnlineSupportClick(S); };
}

// The pictures' black backgrounds are not drawn.
void TfrmAbout::FormCreate(TObject*) {
    imgIcon->Picture.Bitmap()->SetTransparentColor(clBlack);
    imgIcon2->Picture.Bitmap()->SetTransparentColor(clBlack);
}

void TfrmAbout::FormShow(TObject*) {
    CentreOverClientArea(this, frmVelmora);
}

void TfrmAbout::btnOnlineSupportClick(TObject*) { OpenInBrowser(WebSiteAddress(kHelpPagePath)); }
