// Runs a skin submission: the application data, the upload by FTP and the details by HTTP.
#pragma once

#include "Statusdialog.h"

class TfrmSubmitStatus : public TStatusDialog {
public:
    explicit TfrmSubmitStatus(TComponent* Owner);
    // Components besides the status dialog's
    TProgressBar* prgUpload;  // the bytes of the picture sent so far

protected:
    void PrepareRun() override;
    void Run() override;
    void AbortTransfers() override;
};

extern TfrmSubmitStatus* frmSubmitStatus;
