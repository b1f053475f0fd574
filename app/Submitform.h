// Sends a skin of the user's to the gallery: the picture by FTP, its details by HTTP.
#pragma once

#include <string>

#include "Dialogs.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "NMFTP.h"
#include "NMHTTP.h"
#include "StdCtrls.h"

class TfrmSubmit : public TForm {
public:
    explicit TfrmSubmit(TComponent* Owner);
    // Components
    TLabel *lblTitle, *lblName, *lblEmail, *lblWebsite, *lblSkin;
    TEdit *txtName, *txtEmail, *txtWebsite, *txtSkin;
    TButton* btnBrowse;
    TRadioButton *optEmail, *optWebsite, *optNeither;
    TButton *btnSubmit, *btnComments, *btnCancel;
    TOpenPictureDialog* dlgSkin;
    TNMHTTP* http;
    TNMFTP* ftp;
    TImage *imgTopBorder, *imgRightBorder, *imgBottomBorder, *imgLeftBorder;
    // From the application data: a closed-message and where a submission goes.
    std::string SubmitClosedMsg, SubmitUrl, FtpHost, FtpUserId, FtpPassword, FtpPort, FtpDirectory;

    // The transfer steps the status dialog runs; each blocks while keeping the message loop turning.
    void ResetTransfer();
    bool ConnectToServer();
    bool UploadSkin();
    bool SendSkinInfo();

    // Event handlers
    void FormShow(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void btnBrowseClick(TObject* Sender);
    void btnCommentsClick(TObject* Sender);
    void txtWebsiteChange(TObject* Sender);
    void btnSubmitClick(TObject* Sender);
    void ftpConnect(TObject* Sender);
    void ftpSuccess(TCmdType Trans_Type);
    void ftpPacketSent(TObject* Sender);
    void httpSuccess(CmdType Cmd);

private:
    // Runs a transfer step; an exception becomes an internet problem unless the user aborted.
    void Guarded(const std::function<void()>& Step, bool Disconnect);
    void DisconnectQuietly();
};

extern TfrmSubmit* frmSubmit;
// The request body of the last accepted submission.
extern std::string SubmitData;
// What the clients reported since the last ResetTransfer.
extern bool HttpDone, FtpConnected, FtpDirChanged, FtpUploaded;
// The largest picture the gallery takes, in bytes.
constexpr long long kMaxSkinBytes = 200000;
