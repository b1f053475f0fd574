// The main window: a menu of nine picture buttons, one per feature.
#pragma once

#include "ExtCtrls.h"
#include "Forms.h"
#include "NMHTTP.h"

// Screen cursor number of the program's hand cursor, registered by the main window.
constexpr TCursor kHandCursor = 5;
// The caption that tells a second start that Velmora already runs.
extern const char* const kMainWindowCaption;

class TfrmVelmora : public TForm {
public:
    explicit TfrmVelmora(TComponent* Owner);

    // Components: the normal pictures of the buttons, their lit twins above them, the cover.
    TImage *imgGet1, *imgSelect1, *imgTextColor1, *imgChange1, *imgSubmit1, *imgTell1, *imgRemove1, *imgHelp1,
        *imgExit1;
    TImage *imgGet2, *imgSelect2, *imgTextColor2, *imgChange2, *imgSubmit2, *imgTell2, *imgRemove2, *imgHelp2,
        *imgExit2;
    TShape* shpCover;
    TNMHTTP* http;

    // Event handlers
    void FormCreate(TObject* Sender);
    void FormActivate(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void FormMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void ImageMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void ImageClick(TObject* Sender);
    void httpSuccess(CmdType Cmd);

    // Fetches the application data into the gallery, submit and tell windows; false (and nothing
    // changed) when it was not received. Keeps the message loop turning meanwhile.
    bool LoadAppData();
    // Where the application data is fetched: the compiled-in web site.
    std::string AppDataAddress;

    // Operations
    void HideHoverImages();

protected:
    // Bits per pixel times colour planes of the window's device context.
    virtual int ScreenColorBits();

private:
    void RestartAfterInternetProblem();
    bool FActivatedBefore = false;
};

extern TfrmVelmora* frmVelmora;
// Set while the application-data download is the main window's request, and once it succeeded.
extern bool AppDataPending, AppDataReceived;
