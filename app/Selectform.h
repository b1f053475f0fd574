// "Select your own skin": a picture from the user's own disk, previewed inside the toolbar frame
// stretched or tiled, applied as the skin.
#pragma once

#include <string>

#include "Dialogs.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"

class TfrmSelect : public TForm {
public:
    explicit TfrmSelect(TComponent* Owner);
    // Components
    TImage *imgSkin, *imgTiledSkin, *imgIE;
    TLabel* lblHeight;
    TEdit* txtHeight;
    TRadioButton *optStretched, *optTiled;
    TCheckBox* chkCloseExplorerWindows;
    TButton *btnSelect, *btnApply, *btnCancel;
    TOpenPictureDialog* dlgSelect;
    TImage *imgTopBorder, *imgRightBorder, *imgBottomBorder, *imgLeftBorder;
    // The last file that loaded into the preview, kept for the whole run.
    std::string LastSkinFile;

    // Event handlers
    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormHide(TObject* Sender);
    void btnSelectClick(TObject* Sender);
    void imgIEClick(TObject* Sender);
    void optTiledClick(TObject* Sender);
    void optStretchedClick(TObject* Sender);
    void txtHeightKeyPress(TObject* Sender, char& Key);
    void btnApplyClick(TObject* Sender);

private:
    void SelectSkin();
    void ShowTiledPreview();
    void ApplySkin();
};

extern TfrmSelect* frmSelect;
