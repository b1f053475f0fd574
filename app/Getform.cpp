#include "Getform.h"

#include "BmpFormat.h"
#include "Getstatusform.h"
#include "Globalfunctions.h"
#include "Keyvaluetext.h"
#include "Sysutils.h"
#include "Velmoracolors.h"
#include "Velmoraform.h"

TfrmGet* frmGet = nullptr;
std::string CategoryUrls[kCategoryCount];
GalleryEntry GalleryEntries[kEntryCount];
bool ConnectDone = false, CategoryDone = false, PreviewDone = false, SkinDone = false;

namespace {
const TFormLayout kLayout{"Get Skins!", 472, 393, kPurple, bsSingle, biSystemMenu | biMinimize, poScreenCenter};
const char* const kApplyQuestion = "Do you want to apply this skin?";
const char* const kChangingCategory = "Changing Category\n\nPlease Wait...";
const char* const kDownloadingPreviews = "Downloading Previews\n\nPlease Wait...";
const char* const kDownloadingSkin = "Downloading Skin\n\nPlease Wait...";
constexpr TColor kNoteColor = 11206570;  // red 170, green 255, blue 170
constexpr int kDesignedPixelsPerInch = 96;
constexpr int kCategoryLabelWidth = 90;  // at 96 pixels per inch; wider on larger screen fonts
constexpr int kCategoryLeft = 7, kCategoryGap = 5, kCategoriesPerRow = 3;
constexpr char kBackspace = 8;
// A preview is a 398 x 58 thumbnail: a larger picture than this is not one.
constexpr long long kMaxPreviewSide = 2048;

// The largest files the gallery downloads, so that a site cannot fill the disk: the largest file that a
// picture it can show or apply can be, a bitmap of 4 bytes a pixel behind its longest headers.
// A skin: any picture of the picture budget, 256 MB.
constexpr long long kMaxSkinFileBytes = kMaxPictureFileBytes;
// A preview: none larger than 2048 x 2048 is shown, 16 MB.
constexpr long long kMaxPreviewFileBytes = kMaxPreviewSide * kMaxPreviewSide * 4 + kBmpHeadBytes;

// The preview slots with their courtesy note and link, top to bottom; the previews are laid out
// again at creation to fit the apply frame, their Top stays.
struct TSlot {
    TImage* TfrmGet::*Preview;
    TLabel* TfrmGet::*Note;
    TLabel* TfrmGet::*Link;
    int Top;
};
const TSlot kSlots[kSlotCount] = {
    {&TfrmGet::imgSkin0, &TfrmGet::lblNote0, &TfrmGet::lblLink0, 10},
    {&TfrmGet::imgSkin1, &TfrmGet::lblNote1, &TfrmGet::lblLink1, 99},
    {&TfrmGet::imgSkin2, &TfrmGet::lblNote2, &TfrmGet::lblLink2, 188},
};
constexpr int kNoteHeight = 13;

TLabel* TfrmGet::*const kPageLabels[kPageCount] = {
    &TfrmGet::lblGalleryNumber0, &TfrmGet::lblGalleryNumber1, &TfrmGet::lblGalleryNumber2,
    &TfrmGet::lblGalleryNumber3, &TfrmGet::lblGalleryNumber4, &TfrmGet::lblGalleryNumber5,
    &TfrmGet::lblGalleryNumber6, &TfrmGet::lblGalleryNumber7, &TfrmGet::lblGalleryNumber8,
    &TfrmGet::lblGalleryNumber9,
};
// Page labels in two rows of five inside grpGallery.
constexpr int kPageLeft = 10, kPageTop = 16, kPageWidth = 22, kPageHeight = 24, kPagesPerRow = 5;

// The bottom panel and what it holds (panel coordinates; the scroll box lies inside grpCategory).
const TRect kPanelBounds = Bounds(0, 283, 472, 110);
const TRect kCategoryBoxBounds = Bounds(8, 0, 330, 76);
const TRect kCategoryScrollBounds = Bounds(10, 17, 310, 52);
const TRect kGalleryBoxBounds = Bounds(346, 0, 118, 76);
const TRect kCloseExplorerBounds = Bounds(8, 84, 200, 17);
const TRect kHeightLabelBounds = Bounds(212, 86, 76, 13);
const TRect kHeightEditBounds = Bounds(292, 82, 36, 21);
const TRect kCloseButtonBounds = Bounds(382, 80, 82, 25);

void SetFont(TFont& Font, TColor Color, TFontStyles Style, int Height) {
    Font.Color = Color;
    Font.Style = Style;
    Font.Height = Height;
}

// The height of one line of text in Font.
int LineHeight(TFont& Font) {
    HDC DC = GetDC(nullptr);
    HGDIOBJ Old = SelectObject(DC, Font.Handle());
    TEXTMETRICA Metrics{};
    GetTextMetricsA(DC, &Metrics);
    SelectObject(DC, Old);
    ReleaseDC(nullptr, DC);
    return Metrics.tmHeight;
}

// A label's own font colour; like a font change of its own, it ends following its parent's font.
void SetFontColor(TLabel* Label, TColor Color) {
    Label->Font.Color = Color;
    Label->ParentFont = false;
    Label->Invalidate();
}

bool FileExists(const std::string& Path) {
    const DWORD Attributes = ::GetFileAttributesA(Path.c_str());
    return Attributes != INVALID_FILE_ATTRIBUTES && !(Attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// False when the file is no JPEG or bitmap, or one larger than MaxSide; the picture keeps what it had.
// The site named the file: a name of its choosing never makes it a metafile or an icon.
bool LoadPicture(TPicture& Picture, const std::string& Path, long long MaxSide = kMaxPictureSide) {
    try {
        Picture.LoadJpegOrBitmapFromFile(Path, MaxSide);
        return true;
    } catch (const Exception&) {
        return false;
    }
}

// As LoadPicture, for a preview, which is a thumbnail: the picture is also drawn once at the preview's
// size, so that a JPEG that cannot be decoded (damaged, or made to exhaust the decoder) counts as not
// loaded. The decode is kept for the preview's painting.
bool LoadPreview(TImage* Preview, const std::string& Path) {
    if (!LoadPicture(Preview->Picture, Path, kMaxPreviewSide)) return false;
    try {
        TBitmap Trial;
        Trial.SetSize(Preview->Width(), Preview->Height());
        Trial.Canvas()->StretchDraw(Rect(0, 0, Preview->Width(), Preview->Height()), Preview->Picture.Graphic());
        return true;
    } catch (const Exception&) {
        Preview->Picture.SetGraphic(nullptr);
        return false;
    }
}

template <class T, int N>
int IndexOf(T* (&Items)[N], const TObject* Item) {
    for (int I = 0; I < N; ++I)
        if (Items[I] == Item) return I;
    return -1;
}
}  // namespace

TfrmGet::TfrmGet(TComponent* Owner) : TForm(Owner) {
    ApplyLayout(kLayout);
    // The previews come before the frame: the frame lies over them.
    for (int I = 0; I < kSlotCount; ++I) {
        const TSlot& Slot = kSlots[I];
        TImage* Preview =
            CreateControl<TImage>(this, this, "imgSkin" + std::to_string(I), Bounds(37, Slot.Top, 398, 58));
        Preview->SetStretch(true);
        Preview->SetVisible(false);
        this->*Slot.Preview = Preview;
        TLabel* Note = CreateControl<TLabel>(this, this, "lblNote" + std::to_string(I),
                                             Bounds(0, Slot.Top + 60, ClientWidth(), kNoteHeight));
        Note->AutoSize = false;
        Note->Alignment = taCenter;
        Note->ShowAccelChar = false;  // texts from the web site: an '&' is shown as it is
        SetFont(Note->Font, kNoteColor, fsBold, 12);
        this->*Slot.Note = Note;
        TLabel* Link = CreateControl<TLabel>(this, this, "lblLink" + std::to_string(I),
                                             Bounds(0, Slot.Top + 73, 0, kNoteHeight));
        SetFont(Link->Font, clBlack, fsBold | fsUnderline, 11);
        Link->ShowAccelChar = false;
        Link->SetVisible(false);
        this->*Slot.Link = Link;
    }
    imgIE = CreateControl<TImage>(this, this, "imgIE", Bounds(35, 8, 402, 62));
    imgIE->SetAutoSize(true);
    imgIE->SetTransparent(true);
    imgIE->SetVisible(false);
    imgIE->Hint = "Apply This Skin";
    imgIE->ShowHint = true;
    imgIE->Picture.LoadFromResourceName(Application->Instance(), "IEFRAME");

    pnlControls = CreateControl<TPanel>(this, this, "pnlControls", kPanelBounds);
    pnlControls->BevelOuter = TPanel::bvNone;
    pnlControls->ParentColor = true;
    pnlControls->Color = kPurple;
    grpCategory = CreateControl<TGroupBox>(this, pnlControls, "grpCategory", kCategoryBoxBounds);
    grpCategory->SetCaption("Category");
    grpGallery = CreateControl<TGroupBox>(this, pnlControls, "grpGallery", kGalleryBoxBounds);
    grpGallery->SetCaption("Gallery");
    for (TGroupBox* Box : {grpCategory, grpGallery}) {
        Box->Color = kPurple;
        SetFont(Box->Font, clYellow, fsBold, Box->Font.Height);
    }
    scrCategory = CreateControl<TScrollBox>(this, grpCategory, "scrCategory", kCategoryScrollBounds);
    scrCategory->BorderStyleNone = true;
    scrCategory->Color = kPurple;
    SetFont(scrCategory->Font, clBlack, fsBold | fsUnderline, 11);
    for (int I = 0; I < kPageCount; ++I) {
        TLabel* Page = CreateControl<TLabel>(
            this, grpGallery, "lblGalleryNumber" + std::to_string(I),
            Bounds(kPageLeft + I % kPagesPerRow * kPageWidth, kPageTop + I / kPagesPerRow * kPageHeight, kPageWidth,
                   kPageHeight));
        Page->AutoSize = false;
        Page->Alignment = taCenter;
        SetFont(Page->Font, clBlack, fsBold | fsUnderline, 19);
        Page->SetCaption(std::to_string(I + 1));
        this->*kPageLabels[I] = Page;
    }
    chkCloseExplorerWindows = CreateControl<TCheckBox>(this, pnlControls, "chkCloseExplorerWindows", kCloseExplorerBounds);
    chkCloseExplorerWindows->SetCaption("Close All Explorer Windows");
    chkCloseExplorerWindows->SetChecked(true);
    chkCloseExplorerWindows->Color = kPurple;
    SetFont(chkCloseExplorerWindows->Font, clWhite, fsBold, chkCloseExplorerWindows->Font.Height);
    lblHeight = CreateControl<TLabel>(this, pnlControls, "lblHeight", kHeightLabelBounds);
    SetFont(lblHeight->Font, clWhite, fsBold, lblHeight->Font.Height);
    lblHeight->SetCaption("Skin Height:");
    txtHeight = CreateControl<TEdit>(this, pnlControls, "txtHeight", kHeightEditBounds);
    txtHeight->SetText("116");
    txtHeight->SetMaxLength(3);
    btnClose = CreateControl<TButton>(this, pnlControls, "btnClose", kCloseButtonBounds);
    btnClose->SetCaption("&Close");
    btnClose->ModalResult = mrOk;
    http = new TNMHTTP(this);
    http->Name = "http";
    http->InputFileMode = false;
    timClose = new TTimer(this);
    timClose->Name = "timClose";
    timClose->SetEnabled(false);
    timClose->SetInterval(1);

    OnCreate = [this](TObject* S) { FormCreate(S); };
    OnShow = [this](TObject* S) { FormShow(S); };
    OnActivate = [this](TObject* S) { FormActivate(S); };
    OnCloseQuery = [this](TObject* S, bool& CanClose) { FormCloseQuery(S, CanClose); };
    OnHide = [this](TObject* S) { FormHide(S); };
    OnDestroy = [this](TObject* S) { FormDestroy(S); };
    const TMouseMoveEvent Hide2 = [this](TObject* S, TShiftState Shift, int X, int Y) {
        MouseMoveHide2(S, Shift, X, Y);
    };
    OnMouseMove = Hide2;
    for (TControl* Surface : {static_cast<TControl*>(lblNote0), static_cast<TControl*>(lblNote1),
                              static_cast<TControl*>(lblNote2), static_cast<TControl*>(pnlControls),
                              static_cast<TControl*>(grpGallery), static_cast<TControl*>(grpCategory),
                              static_cast<TControl*>(scrCategory)})
        Surface->OnMouseMove = Hide2;
    for (const TSlot& Slot : kSlots) {
        (this->*Slot.Preview)->OnMouseMove = [this](TObject* S, TShiftState Shift, int X, int Y) {
            imgSkinMouseMove(S, Shift, X, Y);
        };
        (this->*Slot.Link)->OnMouseMove = [this](TObject* S, TShiftState Shift, int X, int Y) {
            lblLinkMouseMove(S, Shift, X, Y);
        };
        (this->*Slot.Link)->OnClick = [this](TObject* S) { lblLinkClick(S); };
    }
    for (TLabel* TfrmGet::*Page : kPageLabels) {
        (this->*Page)->OnMouseMove = [this](TObject* S, TShiftState Shift, int X, int Y) {
            lblGalleryNumberMouseMove(S, Shift, X, Y);
        };
        (this->*Page)->OnClick = [this](TObject* S) { lblGalleryNumberClick(S); };
    }
    imgIE->OnClick = [this](TObject* S) { imgIEClick(S); };
    txtHeight->OnKeyPress = [this](TObject* S, char& Key) { txtHeightKeyPress(S, Key); };
    timClose->OnTimer = [this](TObject* S) { timCloseTimer(S); };
    http->OnSuccess = [this](CmdType Cmd) { httpSuccess(Cmd); };
    http->OnPacketRecvd = [this](TObject* S) { httpPacketRecvd(S); };
}

void TfrmGet::FormCreate(TObject*) {
    imgIE->Picture.Bitmap()->SetTransparentColor(clRed);
    CreateCategoryLabels();
    BindControlArrays();
    SetupCursors();
    imgIE->SetLeft(ClientWidth() / 2 - imgIE->Width() / 2);
    for (int I = 0; I < kSlotCount; ++I) {
        TImage* Preview = PreviewImages[I];
        Preview->SetBounds(imgIE->Left() + 2, Preview->Top(), imgIE->Width() - 4, imgIE->Height() - 4);
        NoteLabels[I]->SetTop(Preview->Top() + Preview->Height() + 2);
        LinkLabels[I]->SetTop(NoteLabels[I]->Top() + NoteLabels[I]->Height());
    }
}

// Three to a row, each row one line of the scroll box's font high.
void TfrmGet::CreateCategoryLabels() {
    float Scale = 1.0f;
    if (PixelsPerInch > kDesignedPixelsPerInch) Scale = static_cast<float>(PixelsPerInch) / kDesignedPixelsPerInch;
    const int RowHeight = LineHeight(scrCategory->Font);
    int Column = 0, X = kCategoryLeft, Y = 0;
    for (int J = 0; J < kCategoryCount; ++J) {
        auto* Label = new TLabel(this);
        CategoryLabels[J] = Label;
        Label->SetParent(scrCategory);
        Label->OnClick = [this](TObject* S) { lblCategoryClick(S); };
        Label->OnMouseMove = [this](TObject* S, TShiftState Shift, int MX, int MY) {
            lblCategoryMouseMove(S, Shift, MX, MY);
        };
        Label->Alignment = taCenter;
        Label->AutoSize = false;
        Label->ShowAccelChar = false;  // "Sci-Fi & Space" keeps its '&'
        Label->Font = scrCategory->Font;  // its own copy, for when a highlight gives it a colour of its own
        Label->ParentFont = true;
        Label->SetBounds(X, Y, static_cast<int>(kCategoryLabelWidth * Scale), RowHeight);
        ++Column;
        X += Label->Width() + kCategoryGap;
        if (Column == kCategoriesPerRow) {
            Column = 0;
            X = kCategoryLeft;
            Y += Label->Height();
        }
    }
    scrCategory->VertScrollBar.Increment = CategoryLabels[0]->Height();
}

void TfrmGet::BindControlArrays() {
    for (int I = 0; I < kPageCount; ++I) PageLabels[I] = this->*kPageLabels[I];
    for (int I = 0; I < kSlotCount; ++I) {
        LinkLabels[I] = this->*kSlots[I].Link;
        NoteLabels[I] = this->*kSlots[I].Note;
        PreviewImages[I] = this->*kSlots[I].Preview;
    }
}

void TfrmGet::SetupCursors() {
    Screen->Cursors[kHandCursor] = LoadCursorA(Application->Instance(), "HAND_POINT");
    for (TLabel* Label : CategoryLabels) Label->Cursor = kHandCursor;
    for (TLabel* Label : PageLabels) Label->Cursor = kHandCursor;
    for (TLabel* Label : LinkLabels) Label->Cursor = kHandCursor;
    for (TImage* Preview : PreviewImages) Preview->Cursor = kHandCursor;
    imgIE->Cursor = kHandCursor;
    for (TLabel* Label : CategoryLabels) SetFontColor(Label, clBlack);
    for (TLabel* Label : PageLabels) SetFontColor(Label, clBlack);
    for (TLabel* Label : LinkLabels) SetFontColor(Label, clBlack);
}

// The option box and the height keep what the user left between openings.
void TfrmGet::FormShow(TObject*) {
    frmVelmora->Hide();
    ClearGallery();
    ResetRequests();
    ClearCourtesyLabels();
    CategoryIndex = 0;
    PrevCategoryIndex = 0;
    for (TLabel* Label : CategoryLabels) {
        Label->SetCaption("");
        Label->Hide();
    }
    for (TLabel* Label : PageLabels) Label->Hide();
    ClearPreviews();
    imgIE->Hide();  // left showing if the gallery was closed while the pointer was on a preview
    FConnectStarted = false;
}

// The gallery is activated again each time a status dialog closes: only the first activation of an
// opening connects.
void TfrmGet::FormActivate(TObject*) {
    if (FConnectStarted) return;
    FConnectStarted = true;
    ResetRequests();
    ReqConnect = true;
    RunRequest();
}

void TfrmGet::FormCloseQuery(TObject*, bool& CanClose) {
    http->Abort();
    frmVelmora->Show();
    CanClose = true;
}

// The pictures of a closed gallery are not kept: Select or the next opening may need the memory.
void TfrmGet::FormHide(TObject*) { ClearPreviews(); }

void TfrmGet::ClearPreviews() {
    for (TImage* Preview : PreviewImages) {
        Preview->Picture.SetGraphic(nullptr);
        Preview->Hide();
    }
}

// The category labels are owned by the window and go with it.
void TfrmGet::FormDestroy(TObject*) {}

void TfrmGet::MouseMoveHide2(TObject*, TShiftState, int, int) { ResetHighlights(); }

void TfrmGet::imgSkinMouseMove(TObject* Sender, TShiftState, int, int) {
    ResetHighlights();
    auto* Preview = static_cast<TImage*>(Sender);
    if (!Preview->Picture.Graphic()) return;
    imgIE->SetTop(Preview->Top() - 2);
    imgIE->Show();
}

void TfrmGet::lblCategoryMouseMove(TObject* Sender, TShiftState, int, int) { Highlight(static_cast<TLabel*>(Sender)); }

void TfrmGet::lblGalleryNumberMouseMove(TObject* Sender, TShiftState, int, int) {
    Highlight(static_cast<TLabel*>(Sender));
}

void TfrmGet::lblLinkMouseMove(TObject* Sender, TShiftState, int, int) { Highlight(static_cast<TLabel*>(Sender)); }

// Moves within the label leave it as it is, so it is not repainted on every move.
void TfrmGet::Highlight(TLabel* Label) {
    if (Label->Font.Color == clWhite) return;
    ResetHighlights();
    SetFontColor(Label, clWhite);
}

void TfrmGet::ResetHighlights() {
    for (TLabel* Label : CategoryLabels)
        if (Label->Font.Color != clBlack) SetFontColor(Label, clBlack);
    for (TLabel* Label : PageLabels)
        if (Label->Font.Color != clBlack) SetFontColor(Label, clBlack);
    for (TLabel* Label : LinkLabels)
        if (Label->Font.Color != clBlack) SetFontColor(Label, clBlack);
    imgIE->Hide();
}

void TfrmGet::lblCategoryClick(TObject* Sender) {
    const int Index = IndexOf(CategoryLabels, Sender);
    if (Index < 0) return;
    ResetRequests();
    ReqCategory = true;
    PrevCategoryIndex = CategoryIndex;
    CategoryIndex = Index;
    RunRequest();
}

void TfrmGet::lblGalleryNumberClick(TObject* Sender) {
    const int Index = IndexOf(PageLabels, Sender);
    if (Index < 0) return;
    ResetRequests();
    PageNumber = 1 + Index;
    ReqPage = true;
    RunRequest();
}

// The frame lies 2 pixels above the preview it was shown over.
void TfrmGet::imgIEClick(TObject*) {
    if (Application->MessageBox(kApplyQuestion, Application->Title, MB_YESNO | MB_ICONQUESTION, Handle()) != IDYES)
        return;
    int Slot = -1;
    for (int I = 0; I < kSlotCount; ++I)
        if (PreviewImages[I]->Top() == imgIE->Top() + 2) Slot = I;
    const int Page = CurrentPageIndex();
    if (Slot < 0 || Page < 0) return;
    ResetRequests();
    SkinIndex = kSlotCount * Page + Slot;
    ReqSkin = true;
    RunRequest();
}

// Only an address that starts with "mailto" in exactly these letters goes to the mail program.
void TfrmGet::lblLinkClick(TObject* Sender) {
    const int Slot = IndexOf(LinkLabels, Sender);
    const int Page = CurrentPageIndex();
    if (Slot < 0 || Page < 0) return;
    const std::string& Url = GalleryEntries[kSlotCount * Page + Slot].CourtesyLinkUrl;
    if (Url.compare(0, 6, "mailto") == 0)
        ShellOpen(Url);
    else
        OpenInBrowser(Url);
}

// Characters above 127 are negative as signed chars and fall outside '0'-'9'.
void TfrmGet::txtHeightKeyPress(TObject*, char& Key) {
    const signed char Typed = static_cast<signed char>(Key);
    if (!(Typed >= '0' && Typed <= '9') && Typed != kBackspace) Key = 0;
}

void TfrmGet::timCloseTimer(TObject*) {
    timClose->SetEnabled(false);
    if (frmGetStatus->CloseGallery) Close();
}

// After Abort the interrupted Get must count as failed, whatever event still arrives.
void TfrmGet::httpSuccess(CmdType) {
    if (frmGetStatus->Aborted) return;
    if (ReqConnect) {
        ResetRequests();
        ConnectDone = true;
    } else if (ReqCategory) {
        ResetRequests();
        CategoryDone = true;
    } else if (ReqPreview) {
        ResetRequests();
        PreviewDone = true;
    } else if (ReqSkin) {
        ResetRequests();
        SkinDone = true;
        frmGetStatus->imgProgress->SetWidth(frmGetStatus->pnlProgress->Width());
        frmGetStatus->lblProgress->SetCaption("100%");
    }
}

// The fraction and the percentage are single-precision values, truncated: 530 of 1000 bytes shows
// 52%. A reply without a length shows the amount received and leaves the bar alone.
void TfrmGet::httpPacketRecvd(TObject*) {
    if (!ReqSkin) return;
    TPanel* Panel = frmGetStatus->pnlProgress;
    if (http->BytesTotal <= 0) {
        frmGetStatus->lblProgress->SetCaption(IntToStr(http->BytesRecvd / 1024) + " KB");
        return;
    }
    // Kept in memory, so that the x87 unit rounds each to single precision instead of carrying more.
    volatile float Fraction = static_cast<float>(http->BytesRecvd) / static_cast<float>(http->BytesTotal);
    volatile float BarWidth = Panel->Width() * Fraction;
    volatile float Percent = Fraction * 100.0f;
    int Width = static_cast<int>(BarWidth);
    if (Width < 0) Width = 0;
    if (Width > Panel->Width()) Width = Panel->Width();
    frmGetStatus->imgProgress->SetWidth(Width);
    frmGetStatus->lblProgress->SetCaption(IntToStr(static_cast<int>(Percent)) + "%");
}

void TfrmGet::ResetRequests() {
    ReqConnect = ReqCategory = ReqPage = ReqPreview = ReqSkin = false;
    ConnectDone = CategoryDone = PreviewDone = SkinDone = false;
}

void TfrmGet::ClearCourtesyLabels() {
    for (int I = 0; I < kSlotCount; ++I) {
        NoteLabels[I]->SetCaption("");
        LinkLabels[I]->SetCaption("");
        LinkLabels[I]->Hide();
    }
}

void TfrmGet::ClearGallery() {
    for (GalleryEntry& Entry : GalleryEntries) Entry = GalleryEntry{};
}

int TfrmGet::CurrentPageIndex() const {
    for (int I = 0; I < kPageCount; ++I)
        if (!PageLabels[I]->Enabled()) return I;
    return -1;
}

// Blocking until the status dialog has closed; it reports the outcome through its flags.
void TfrmGet::RunRequest() {
    frmGetStatus->ShowModal();
    timClose->SetEnabled(true);
}

std::string TfrmGet::CurrentCategoryName() const {
    if (CategoryIndex < 0 || CategoryIndex >= kCategoryCount) return std::string();
    return CategoryLabels[CategoryIndex]->Caption();
}

void TfrmGet::SetStatusText(const char* Text) { frmGetStatus->lblStatus->SetCaption(Text); }

// Exceptions of the download are swallowed: only the result tells the caller.
bool TfrmGet::LoadCategoryList() {
    ResetRequests();
    ReqConnect = true;
    http->InputFileMode = false;
    http->MaxBody = kMaxKeyValueTextBytes;
    http->Body.clear();
    try {
        http->Get(CatListUrl);
    } catch (const std::exception&) {
    }
    if (!ConnectDone) return false;
    // Categories and addresses are counted per key, so a block without its URL line takes the next one's.
    const std::string List = http->Body;
    const std::vector<std::string> Names = GetKeyValues(List, "category", kCategoryCount);
    const std::vector<std::string> Urls = GetKeyValues(List, "URL", kCategoryCount);
    for (int N = 0; N < kCategoryCount; ++N) {
        const std::string& Name = Names[N];
        CategoryUrls[N] = Urls[N];
        if (Name.empty()) break;
        CategoryLabels[N]->SetCaption(Name);
        CategoryLabels[N]->Show();
    }
    CategoryIndex = 0;
    return !CategoryLabels[0]->Caption().empty();
}

// The gallery shown so far stays until the new list has arrived.
bool TfrmGet::LoadCategory(int Index) {
    if (Index < 0 || Index >= kCategoryCount) return false;
    const std::string Name = CategoryLabels[Index]->Caption();
    SetStatusText(kChangingCategory);
    http->InputFileMode = false;
    http->MaxBody = kMaxKeyValueTextBytes;
    try {
        ResetRequests();
        ReqCategory = true;
        http->Get(CategoryUrls[Index]);
        if (!CategoryDone) return false;
        ClearGallery();
        ClearCourtesyLabels();
        for (TLabel* Page : PageLabels) {
            Page->SetEnabled(true);
            Page->Hide();
        }
        ClearPreviews();
        // Entry n takes the n-th value of each key, counted per key.
        const std::string List = http->Body;
        const std::vector<std::string> Thumbs = GetKeyValues(List, "thumb url", kEntryCount),
                                       Skins = GetKeyValues(List, "skin url", kEntryCount),
                                       Messages = GetKeyValues(List, "courtesy message", kEntryCount),
                                       LinkMessages = GetKeyValues(List, "courtesy link message", kEntryCount),
                                       LinkUrls = GetKeyValues(List, "courtesy link url", kEntryCount),
                                       ApplyUrls = GetKeyValues(List, "apply url", kEntryCount);
        int Count = 0;
        for (int N = 0; N < kEntryCount; ++N) {
            if (Thumbs[N].empty()) break;
            GalleryEntries[N] = {Thumbs[N], Skins[N], Messages[N], LinkMessages[N], LinkUrls[N], ApplyUrls[N]};
            ++Count;
        }
        for (int I = 0; I < (Count + kSlotCount - 1) / kSlotCount; ++I) PageLabels[I]->Show();
        // A second category of the same name shares the caches and is disabled with the current one.
        for (TLabel* Label : CategoryLabels) Label->SetEnabled(Label->Caption() != Name);
        return true;
    } catch (const Exception& E) {
        if (!frmGetStatus->Aborted) {
            RequestError = true;
            RequestErrorText = E.Message;
        }
        return false;
    }
}

// Abort pressed during one preview's download skips the slots after it.
void TfrmGet::ShowGalleryPage(int Page) {
    SetStatusText(kDownloadingPreviews);
    ClearCourtesyLabels();
    ClearPreviews();
    if (Page >= 1 && Page <= kPageCount) {
        for (int Slot = 0; Slot < kSlotCount; ++Slot) {
            if (frmGetStatus->Aborted) continue;
            const int Entry = kSlotCount * (Page - 1) + Slot;
            if (!GalleryEntries[Entry].ThumbUrl.empty() && DownloadPreview(GalleryEntries[Entry].ThumbUrl, Slot))
                ShowCourtesy(Entry, Slot);
        }
    }
    for (TLabel* Label : PageLabels) Label->SetEnabled(true);
    if (Page >= 1 && Page <= kPageCount) PageLabels[Page - 1]->SetEnabled(false);
}

// A cached file that no longer loads is fetched again; a fetched file that does not load stays,
// so that the next visit tries once more.
bool TfrmGet::DownloadPreview(const std::string& Url, int Slot) {
    if (Url.empty() || Slot < 0 || Slot >= kSlotCount) return false;
    ResetRequests();
    const std::string Path = GetPreviewCachePath(CurrentCategoryName(), Url);
    http->InputFileMode = true;
    http->MaxBody = kMaxPreviewFileBytes;
    http->Body = Path;
    if (Path.empty()) return false;
    TImage* Preview = PreviewImages[Slot];
    if (FileExists(Path) && LoadPreview(Preview, Path)) {
        Preview->Show();
        return true;
    }
    if (!DownloadToCache(Url, Path, &TfrmGet::ReqPreview, PreviewDone)) return false;
    if (!LoadPreview(Preview, Path)) return false;
    Preview->Show();
    return true;
}

bool TfrmGet::DownloadSkinFile(const std::string& Url) {
    if (Url.empty()) return false;
    TPicture Scratch;
    ResetRequests();
    const std::string Path = GetSkinCachePath(CurrentCategoryName(), Url);
    http->InputFileMode = true;
    http->MaxBody = kMaxSkinFileBytes;
    http->Body = Path;
    if (Path.empty()) return false;
    if (FileExists(Path) && LoadPicture(Scratch, Path)) {
        frmGetStatus->imgProgress->SetWidth(frmGetStatus->pnlProgress->Width());
        frmGetStatus->lblProgress->SetCaption("100%");
        return true;
    }
    return DownloadToCache(Url, Path, &TfrmGet::ReqSkin, SkinDone);
}

// The request kind is set while the file downloads, so that the success event marks it Done. A
// failed or aborted download leaves no partial file in the cache.
bool TfrmGet::DownloadToCache(const std::string& Url, const std::string& Path, bool TfrmGet::*Kind,
                              const bool& Done) {
    this->*Kind = true;
    Download(Url);
    this->*Kind = false;
    if (Done) return true;
    ::DeleteFileA(Path.c_str());
    return false;
}

// An empty height text raises its conversion error to the caller, after the picture is cached.
bool TfrmGet::DownloadAndApplySkin(int Index) {
    if (Index < 0 || Index >= kEntryCount) return false;
    SetStatusText(kDownloadingSkin);
    const std::string SkinUrl = GalleryEntries[Index].SkinUrl;
    if (!DownloadSkinFile(SkinUrl)) return false;
    const std::string Dest = NewSkinFileName();
    const int Height = StrToInt(txtHeight->Text());
    return ConvertAndSetSkin(frmGetStatus, GetSkinCachePath(CurrentCategoryName(), SkinUrl), Dest, true, Height,
                             TPictureOrigin::Downloaded);
}

void TfrmGet::ShowCourtesy(int Index, int Slot) {
    if (Index < 0 || Index >= kEntryCount || Slot < 0 || Slot >= kSlotCount) return;
    const GalleryEntry& Entry = GalleryEntries[Index];
    NoteLabels[Slot]->SetCaption(Entry.CourtesyMessage);
    if (Entry.CourtesyLinkMessage.empty()) return;
    TLabel* Link = LinkLabels[Slot];
    Link->SetCaption(Entry.CourtesyLinkMessage);
    Link->SetLeft(ClientWidth() / 2 - Link->Width() / 2);
    Link->Show();
}

// Whatever the list gave goes to OpenInBrowser: Internet Explorer takes any address without control
// characters; without it, only web and mail addresses reach the shell.
void TfrmGet::OpenApplyUrl(int Index) {
    if (Index < 0 || Index >= kEntryCount) return;
    const std::string& Url = GalleryEntries[Index].ApplyUrl;
    OpenInBrowser(Url.empty() ? WebSiteAddress(kApplyPagePath) : Url);
}

// A failed download is recorded for the status dialog, unless Abort ended it.
void TfrmGet::Download(const std::string& Url) {
    try {
        http->Get(Url);
    } catch (const Exception& E) {
        if (!frmGetStatus->Aborted) {
            RequestError = true;
            RequestErrorText = E.Message;
        }
    }
}
