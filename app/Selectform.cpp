#include "Selectform.h"

#include <memory>

#include "Borderpictures.h"
#include "Getform.h"
#include "Globalfunctions.h"
#include "Velmoracolors.h"
#include "Velmoraform.h"

TfrmSelect* frmSelect = nullptr;

namespace {
const TFormLayout kLayout{"Select your own skin", 436, 195, kPurple, bsNone, 0, poDesigned};
const char* const kApplyQuestion = "Do you want to apply this skin?";
const char* const kApplied = "Your new skin has been applied.";
const char* const kApplyFailed = "Error! Skin could not be applied.";
constexpr int kFrameTop = 24;
constexpr int kRaise = 25;  // the dialog sits this much above the main window's centre

}  // namespace

TfrmSelect::TfrmSelect(TComponent* Owner) : TForm(Owner) {
    ApplyLayout(kLayout);
    AddBorderPictures(this, imgTopBorder, imgRightBorder, imgBottomBorder, imgLeftBorder);
    imgSkin = CreateControl<TImage>(this, this, "imgSkin", Bounds(19, 26, 398, 58));
    imgSkin->SetStretch(true);
    imgSkin->SetVisible(false);
    imgTiledSkin = CreateControl<TImage>(this, this, "imgTiledSkin", Bounds(19, 26, 398, 58));
    imgTiledSkin->SetVisible(false);
    imgIE = CreateControl<TImage>(this, this, "imgIE", Bounds(17, kFrameTop, 402, 62));
    imgIE->SetAutoSize(true);
    imgIE->SetTransparent(true);
    imgIE->Hint = "Select a skin";
    imgIE->ShowHint = true;
    lblHeight = CreateControl<TLabel>(this, this, "lblHeight", Bounds(24, 102, 70, 13));
    WhiteBold(lblHeight->Font);
    lblHeight->SetCaption("Skin Height:");
    txtHeight = CreateControl<TEdit>(this, this, "txtHeight", Bounds(104, 98, 36, 21));
    txtHeight->SetText("116");
    txtHeight->SetMaxLength(3);
    optStretched = CreateControl<TRadioButton>(this, this, "optStretched", Bounds(160, 100, 85, 17));
    optStretched->SetCaption("Stretched");
    optStretched->SetChecked(true);
    optTiled = CreateControl<TRadioButton>(this, this, "optTiled", Bounds(255, 100, 70, 17));
    optTiled->SetCaption("Tiled");
    chkCloseExplorerWindows = CreateControl<TCheckBox>(this, this, "chkCloseExplorerWindows", Bounds(24, 126, 220, 17));
    chkCloseExplorerWindows->SetCaption("Close All Explorer Windows");
    chkCloseExplorerWindows->SetChecked(true);
    for (TWinControl* Choice : {static_cast<TWinControl*>(optStretched), static_cast<TWinControl*>(optTiled),
                                static_cast<TWinControl*>(chkCloseExplorerWindows)}) {
        WhiteBold(Choice->Font);
        Choice->Color = kPurple;
    }
    btnSelect = CreateControl<TButton>(this, this, "btnSelect", Bounds(24, 152, 121, 25));
    btnSelect->SetCaption("&Select Skin");
    btnApply = CreateControl<TButton>(this, this, "btnApply", Bounds(158, 152, 121, 25));
    btnApply->SetCaption("&Apply Skin");
    btnCancel = CreateControl<TButton>(this, this, "btnCancel", Bounds(292, 152, 121, 25));
    btnCancel->SetCaption("&Cancel");
    btnCancel->ModalResult = mrCancel;
    dlgSelect = NewSkinPictureDialog(this, "dlgSelect");

    OnCreate = [this](TObject* S) { FormCreate(S); };
    OnShow = [this](TObject* S) { FormShow(S); };
    OnHide = [this](TObject* S) { FormHide(S); };
    btnSelect->OnClick = [this](TObject* S) { btnSelectClick(S); };
    imgIE->OnClick = [this](TObject* S) { imgIEClick(S); };
    optTiled->OnClick = [this](TObject* S) { optTiledClick(S); };
    optStretched->OnClick = [this](TObject* S) { optStretchedClick(S); };
    txtHeight->OnKeyPress = [this](TObject* S, char& Key) { txtHeightKeyPress(S, Key); };
    btnApply->OnClick = [this](TObject* S) { btnApplyClick(S); };
}

void TfrmSelect::FormCreate(TObject*) {
    imgIE->Picture.Assign(&frmGet->imgIE->Picture);
    imgIE->Cursor = kHandCursor;
    imgIE->Picture.Bitmap()->SetTransparentColor(clRed);
    imgSkin->SetBounds(imgSkin->Left(), imgSkin->Top(), imgIE->Width() - 4, imgIE->Height() - 4);
    imgIE->SetLeft(ClientWidth() / 2 - imgIE->Width() / 2);
    imgSkin->SetBounds(imgIE->Left() + 2, imgIE->Top() + 2, imgSkin->Width(), imgSkin->Height());
    imgTiledSkin->SetBounds(imgSkin->Left(), imgSkin->Top(), imgTiledSkin->Width(), imgTiledSkin->Height());
}

void TfrmSelect::FormShow(TObject*) {
    CentreOverClientArea(this, frmVelmora, kRaise);
    dlgSelect->FileName = "";
    for (TImage* Preview : {imgSkin, imgTiledSkin}) {
        Preview->Picture.SetGraphic(nullptr);
        Preview->Hide();
    }
    btnApply->SetEnabled(false);
    btnSelect->SetFocus();
}

// A chosen bitmap may take a few hundred megabytes: it is not kept while the dialog is closed.
void TfrmSelect::FormHide(TObject*) {
    for (TImage* Preview : {imgSkin, imgTiledSkin}) Preview->Picture.SetGraphic(nullptr);
}

void TfrmSelect::btnSelectClick(TObject*) { SelectSkin(); }

void TfrmSelect::imgIEClick(TObject*) { SelectSkin(); }

void TfrmSelect::optTiledClick(TObject*) { ShowTiledPreview(); }

void TfrmSelect::optStretchedClick(TObject*) {
    txtHeight->SetEnabled(true);
    if (imgSkin->Picture.Graphic()) {
        imgTiledSkin->Hide();
        imgSkin->Show();
    }
}

void TfrmSelect::txtHeightKeyPress(TObject*, char& Key) {
    if (!(Key >= '0' && Key <= '9') && Key != '\b') Key = 0;
}

void TfrmSelect::btnApplyClick(TObject*) {
    if (Application->MessageBox(kApplyQuestion, Application->Title, MB_YESNO | MB_ICONQUESTION, Handle()) == IDYES)
        ApplySkin();
}

void TfrmSelect::SelectSkin() {
    if (!dlgSelect->Execute()) return;
    try {
        // Loaded and drawn once aside, so that a damaged picture is refused here and the preview
        // keeps the picture it had.
        TPicture Chosen;
        Chosen.LoadFromFile(dlgSelect->FileName);
        TBitmap Trial;
        Trial.SetSize(imgSkin->Width(), imgSkin->Height());
        Trial.Canvas()->StretchDraw(Rect(0, 0, imgSkin->Width(), imgSkin->Height()), Chosen.Graphic());
        // Handed over with what the drawing decoded, not copied: a copy would take the picture's memory
        // twice, and a JPEG's would be decoded again.
        imgSkin->Picture.SetGraphic(Chosen.ReleaseGraphic());
        if (optTiled->Checked())
            ShowTiledPreview();
        else
            imgSkin->Show();
        LastSkinFile = dlgSelect->FileName;
        btnApply->SetEnabled(true);
    } catch (const Exception& E) {
        Application->MessageBox(E.Message, Application->Title, MB_ICONWARNING, Handle());
        dlgSelect->FileName = LastSkinFile;
    }
}

// The tiles are drawn on a canvas twice the preview's size and shown squeezed into the preview, so
// they appear at half scale: 116 pixels high, the default skin height, fit the frame.
void TfrmSelect::ShowTiledPreview() {
    txtHeight->SetEnabled(false);
    if (!imgSkin->Picture.Graphic()) return;
    imgSkin->Hide();
    const std::unique_ptr<TGraphic> Tile = imgSkin->Picture.Graphic()->Clone();
    imgTiledSkin->Hide();
    if (Tile->Width() < 4 || Tile->Height() < 4) return;
    imgTiledSkin->SetStretch(false);
    imgTiledSkin->SetBounds(imgTiledSkin->Left(), imgTiledSkin->Top(), imgSkin->Width() * 2, imgSkin->Height() * 2);
    TCanvas* Canvas = imgTiledSkin->Canvas();
    for (int Y = 0; Y < imgTiledSkin->Height(); Y += Tile->Height())
        for (int X = 0; X < imgTiledSkin->Width(); X += Tile->Width()) Canvas->Draw(X, Y, Tile.get());
    imgTiledSkin->SetBounds(imgTiledSkin->Left(), imgTiledSkin->Top(), imgSkin->Width(), imgSkin->Height());
    imgTiledSkin->SetStretch(true);
    imgTiledSkin->Show();
}

void TfrmSelect::ApplySkin() {
    const std::string SkinFile = NewSkinFileName();
    const int SkinHeight = StrToInt(txtHeight->Text());
    const bool Stretched = optStretched->Checked();
    if (ConvertAndSetSkin(this, dlgSelect->FileName, SkinFile, Stretched, SkinHeight, TPictureOrigin::UsersOwn)) {
        if (chkCloseExplorerWindows->Checked()) CloseExplorerWindows();
        DropPendingInput(Handle());  // made while the apply blocked: it would answer the box unread
        Application->MessageBox(kApplied, Application->Title, MB_ICONINFORMATION, Handle());
        OpenInBrowser(WebSiteAddress(kApplyPagePath));
        Close();
    } else {
        DropPendingInput(Handle());
        Application->MessageBox(kApplyFailed, Application->Title, MB_ICONWARNING, Handle());
    }
}
