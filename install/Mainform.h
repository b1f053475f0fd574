// The setup wizard: express or custom setup, the custom page's folder, group and desktop choice, and
// the finish page that can start the installed program.
#pragma once

#include <string>

#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"

class TfrmMain : public TForm {
public:
    explicit TfrmMain(TComponent* Owner);
    // Components
    TImage *imgBG, *imgMain1, *imgMain2, *imgCustom1, *imgCustom2, *imgComplete1;
    TRadioButton *optExpressSetup, *optCustomSetup;
    TEdit *txtPath, *txtProgramGroup;
    TButton* btnBrowse;
    TCheckBox *chkDesktopShortcut, *chkLaunchVelmora;
    TButton *btnBack, *btnNext, *btnExit, *btnFinish;  // btnNext's Tag: 0 on the welcome page, 1 on the custom one
    // The result of the last installation: the installed Velmora3.exe, or "FAILED"; empty before one.
    std::string InstalledExePath;

    // Event handlers
    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void btnNextClick(TObject* Sender);
    void btnBackClick(TObject* Sender);
    void btnBrowseClick(TObject* Sender);
    void btnExitClick(TObject* Sender);
    void btnFinishClick(TObject* Sender);
    void txtProgramGroupKeyPress(TObject* Sender, char& Key);

private:
    void ShowFinishPage();
};

extern TfrmMain* frmMain;
// A program group that names a folder of its own inside the Start menu's Programs folder: not empty,
// nothing the group field's key filter would swallow, no trailing dot or blank, no device name, not
// a link, and short enough for the uninstaller to reach its links.
bool IsAcceptableGroup(const std::string& Group);
