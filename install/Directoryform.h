// The folder picker of the custom setup page: a parent folder on a fixed drive, plus Velmora3\.
#pragma once

#include <string>

#include "FileCtrl.h"
#include "Forms.h"
#include "StdCtrls.h"

class TfrmDirectory : public TForm {
public:
    explicit TfrmDirectory(TComponent* Owner);
    // Components
    TEdit* txtPath;  // the folder OK hands over
    TDriveComboBox* cboDrive;
    TDirectoryListBox* lstDirectory;
    TButton *btnOK, *btnCancel;

    // Leaves only the fixed drives in the drive list, in their order.
    void RemoveNonFixedDrives();

    // Event handlers
    void FormShow(TObject* Sender);
    void lstDirectoryChange(TObject* Sender);
    void btnOKClick(TObject* Sender);
    void btnCancelClick(TObject* Sender);
};

// True when the drive the text names ("E", "E:", "E:\", "E:\Apps") is a fixed drive.
bool IsFixedDrive(const std::string& Drive);

extern TfrmDirectory* frmDirectory;
