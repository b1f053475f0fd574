// The uninstaller proper, run as the temporary copy vlmuntmp0.exe: after a count it may still be
// cancelled, it removes the shortcuts, the uninstall entry and the installed files.
#pragma once

#include <string>

#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"

class TfrmUninstall : public TForm {
public:
    explicit TfrmUninstall(TComponent* Owner);
    // Components
    TLabel* lblMessage;
    TButton *btnCancel, *btnOK;
    TPanel* pnlProgress;
    TImage* imgProgress;
    TShape* shpProgressBorder;
    TLabel* lblProgress;
    TTimer* timProgress;
    bool AllowClose = false;
    bool Cancelled = false;  // the bar runs back

    // Event handlers
    void FormCreate(TObject* Sender);
    void FormActivate(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void timProgressTimer(TObject* Sender);
    void btnCancelClick(TObject* Sender);
    void btnOKClick(TObject* Sender);

private:
    void RemoveInstallation();
    bool FStarted = false;
};

// Deletes the shortcut files (".lnk") the uninstall list names, and the program group folder when
// it is empty.
void RemoveShortcuts(const std::string& ListFile);
// Deletes every ".skin" file directly in Folder; stops at the first that cannot be deleted.
void DeleteSkinFilesIn(const std::string& Folder);
// Deletes Folder with all it holds; false when it is missing or not all could go.
bool DeleteDirectoryTree(const std::string& Folder);
// Deletes the installed files and gives the completion message. The folder goes as a whole only
// when it is named Velmora3 and holds nothing but what setup and Velmora put there.
std::string RemoveProgramFiles(const std::string& Folder);

extern TfrmUninstall* frmUninstall;
