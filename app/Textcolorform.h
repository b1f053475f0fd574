// Changes the system colours of button and menu text and faces.
#pragma once

#include <exception>

#include <windows.h>

#include "Dialogs.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"

class TfrmTextColor : public TForm {
public:
    explicit TfrmTextColor(TComponent* Owner);
    // Components
    TLabel *lblMessage1, *lblMessage2;
    TButton *btnTextColor, *btnBackgroundColor;
    TShape *shpTextColor, *shpBackgroundColor;
    TRadioButton *optChange3D, *optChangeMenu, *optChangeBoth;
    TButton *btnPreview, *btnOK, *btnCancel;
    TColorDialog* dlgColor;
    TImage *imgTopBorder, *imgRightBorder, *imgBottomBorder, *imgLeftBorder;

    // The system colours the dialog changes, as (text, background) pairs: button text and face,
    // then menu text and menu.
    int ColorElements[4] = {COLOR_BTNTEXT, COLOR_BTNFACE, COLOR_MENUTEXT, COLOR_MENU};
    // Those colours as they were when the dialog was shown.
    COLORREF SavedColors[4] = {};
    bool ColorsChanged = false;    // a colour dialog changed a sample shape
    bool ColorsPreviewed = false;  // Preview put the chosen colours in force

    void SaveCurrentColors();
    // Puts the two chosen colours in force for the pairs the options name.
    void ApplyColors();
    // Keeps the chosen colours in win.ini's existing colors section and in the user's registry. A
    // failed win.ini write is returned, not raised, once the registry steps have run.
    std::exception_ptr StoreColors();

    // Event handlers
    void FormShow(TObject* Sender);
    void FormHide(TObject* Sender);
    void btnTextColorClick(TObject* Sender);
    void btnBackgroundColorClick(TObject* Sender);
    void btnPreviewClick(TObject* Sender);
    void btnOKClick(TObject* Sender);
    void btnCancelClick(TObject* Sender);

private:
    // Lets the user pick a colour for Shape; true when it changed.
    bool PickColor(TShape* Shape);
    void RestoreSavedColors();
};

extern TfrmTextColor* frmTextColor;
