// The setup wizard, and the install engine it runs: the engine writes the carried application, the
// uninstaller and the uninstall list into the installation folder, makes the shortcuts and registers
// the uninstall entry. Its results are full paths, "SUCCESS", a message to show unchanged, or "FAILED".
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
// A program group that stays inside the Start menu's Programs folder: nothing the group field's key
// filter would swallow, and something left once trailing dots and blanks are gone.
bool IsAcceptableGroup(const std::string& Group);
// The caption that tells other starts a wizard runs.
extern const char* const kWizardCaption;

// Installs into Folder with the program group Group (and a desktop link when Desktop); returns the
// path of the installed Velmora3.exe, or "FAILED" after showing what went wrong.
std::string PerformInstallation(std::string Folder, const std::string& Group, bool Desktop);
// Writes the RCDATA resource ResourceId of the running program to FileName.
std::string ExtractResourceToFile(int ResourceId, const std::string& FileName);
// Saves a link to Target named LinkName in the program group Location, or on the desktop when
// Location is empty; the path of the link file saved, or "FAILED".
std::string CreateShortcut(const std::string& Location, const std::string& LinkName, const std::string& Target);
// The path of a special folder of the shell, trimmed; empty when the shell cannot give it.
std::string GetSpecialFolderPath(int Csidl);
// Writes one value to the uninstall list; a failure is shown, never passed on.
void WriteUninstallIni(const std::string& IniFile, const std::string& Section, const std::string& Key,
                       const std::string& Value);

extern const char* const kUninstallKey;  // below HKEY_LOCAL_MACHINE
extern const char* const kInstalledResult;  // "SUCCESS"
extern const char* const kFailedResult;     // "FAILED"
