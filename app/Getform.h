// The online gallery: categories and pages of three skins to apply.
#pragma once

#include <string>

#include "ExtCtrls.h"
#include "Forms.h"
#include "NMHTTP.h"
#include "StdCtrls.h"

constexpr int kCategoryCount = 102;  // category labels, and the most categories a list may give
constexpr int kPageCount = 10;       // page labels
constexpr int kSlotCount = 3;        // previews on a page
constexpr int kEntryCount = kPageCount * kSlotCount;

// One skin of the current category, from its gallery list.
struct GalleryEntry {
    std::string ThumbUrl, SkinUrl, CourtesyMessage, CourtesyLinkMessage, CourtesyLinkUrl, ApplyUrl;
};

// Element n: the address of the gallery list of category n, whose name is category label n's caption.
extern std::string CategoryUrls[kCategoryCount];
// Entry e of the current category shows on page e / 3 + 1 in slot e mod 3.
extern GalleryEntry GalleryEntries[kEntryCount];
// Success of the running request, set by the HTTP client's success event.
extern bool ConnectDone, CategoryDone, PreviewDone, SkinDone;

class TfrmGet : public TForm {
public:
    explicit TfrmGet(TComponent* Owner);
    // Components
    TImage *imgSkin0, *imgSkin1, *imgSkin2;
    TLabel *lblNote0, *lblNote1, *lblNote2;
    TLabel *lblLink0, *lblLink1, *lblLink2;
    TImage* imgIE;  // the apply frame, laid over the preview under the pointer
    TPanel* pnlControls;
    TGroupBox* grpCategory;
    TScrollBox* scrCategory;
    TGroupBox* grpGallery;
    TLabel *lblGalleryNumber0, *lblGalleryNumber1, *lblGalleryNumber2, *lblGalleryNumber3, *lblGalleryNumber4,
        *lblGalleryNumber5, *lblGalleryNumber6, *lblGalleryNumber7, *lblGalleryNumber8, *lblGalleryNumber9;
    TCheckBox* chkCloseExplorerWindows;
    TLabel* lblHeight;
    TEdit* txtHeight;
    TButton* btnClose;
    TNMHTTP* http;
    TTimer* timClose;

    // Made at creation: element i of PageLabels is page i + 1; slot i of a page is element i of the others.
    TLabel* CategoryLabels[kCategoryCount] = {};
    TLabel* PageLabels[kPageCount] = {};
    TLabel* LinkLabels[kSlotCount] = {};
    TLabel* NoteLabels[kSlotCount] = {};
    TImage* PreviewImages[kSlotCount] = {};

    // The request that the status dialog runs next, and its parameters.
    bool ReqConnect = false, ReqCategory = false, ReqPage = false, ReqPreview = false, ReqSkin = false;
    int CategoryIndex = 0, PrevCategoryIndex = 0, PageNumber = 0, SkinIndex = 0;
    // Set when an error ended a download of the running request.
    bool RequestError = false;
    std::string RequestErrorText;
    // From the application data: a closed-message and the address of the category list.
    std::string GetClosedMsg, CatListUrl;

    // Event handlers
    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormActivate(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void FormHide(TObject* Sender);
    void FormDestroy(TObject* Sender);
    void MouseMoveHide2(TObject* Sender, TShiftState Shift, int X, int Y);
    void imgSkinMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void lblCategoryMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void lblGalleryNumberMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void lblLinkMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void lblCategoryClick(TObject* Sender);
    void lblGalleryNumberClick(TObject* Sender);
    void imgIEClick(TObject* Sender);
    void lblLinkClick(TObject* Sender);
    void txtHeightKeyPress(TObject* Sender, char& Key);
    void timCloseTimer(TObject* Sender);
    void httpSuccess(CmdType Cmd);
    void httpPacketRecvd(TObject* Sender);

    // Operations
    void ResetRequests();  // clears every request kind and success flag
    void ResetHighlights();
    void ClearCourtesyLabels();
    void ClearGallery();
    void ClearPreviews();  // empties and hides the three previews
    // Downloads, caches and applying, run by the status dialog.
    bool LoadCategoryList();
    bool LoadCategory(int Index);
    void ShowGalleryPage(int Page);
    bool DownloadPreview(const std::string& Url, int Slot);
    bool DownloadSkinFile(const std::string& Url);
    bool DownloadAndApplySkin(int Index);
    void ShowCourtesy(int Index, int Slot);
    void OpenApplyUrl(int Index);

private:
    void CreateCategoryLabels();
    void BindControlArrays();
    void SetupCursors();
    // Shows the status dialog for the request just set, then lets the closing timer decide.
    void RunRequest();
    void Highlight(TLabel* Label);
    // Index of the current page (its label is disabled), or -1 while there is none.
    int CurrentPageIndex() const;
    // The caption of the category label at CategoryIndex: names the category's cache folders.
    std::string CurrentCategoryName() const;
    void SetStatusText(const char* Text);
    // Get into the file or memory that http is set for; an exception is recorded, not raised.
    void Download(const std::string& Url);
    // Downloads Url into the cache file Path (file mode already set) as a request of Kind; true
    // when Done, its success flag, was set.
    bool DownloadToCache(const std::string& Url, const std::string& Path, bool TfrmGet::*Kind, const bool& Done);
    bool FConnectStarted = false;
};

extern TfrmGet* frmGet;
