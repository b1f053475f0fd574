// Runs the tell-a-friend request and shows the server's reply.
#pragma once

#include "Statusdialog.h"

class TfrmTellStatus : public TStatusDialog {
public:
    explicit TfrmTellStatus(TComponent* Owner);

protected:
    void PrepareRun() override;
    void Run() override;
    void AbortTransfers() override;
};

extern TfrmTellStatus* frmTellStatus;
