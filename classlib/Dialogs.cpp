#include "Dialogs.h"

#include <windows.h>

#include <commdlg.h>
#include <dlgs.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <vector>

#include "Delayload.h"
#include "Forms.h"

namespace {
// The filter as GetOpenFileName wants it: each part ended by a zero, and one more zero at the end.
std::string FilterList(const std::string& Filter) {
    std::string List = Filter;
    for (char& C : List)
        if (C == '|') C = '\0';
    List.append(2, '\0');
    return List;
}

DWORD OpenFlags(TOpenOptions Options) {
    DWORD Flags = OFN_EXPLORER | OFN_ENABLESIZING;
    if (Options & ofHideReadOnly) Flags |= OFN_HIDEREADONLY;
    if (Options & ofPathMustExist) Flags |= OFN_PATHMUSTEXIST;
    if (Options & ofFileMustExist) Flags |= OFN_FILEMUSTEXIST;
    return Flags;
}

HWND DialogOwner(TComponent* Owner) {
    if (Screen->ActiveForm && Screen->ActiveForm->HandleAllocated() && Screen->ActiveForm->Visible())
        return Screen->ActiveForm->Handle();
    for (TComponent* C = Owner; C; C = C->Owner())
        if (auto* Form = dynamic_cast<TForm*>(C); Form && Form->HandleAllocated()) return Form->Handle();
    return GetActiveWindow();
}
}  // namespace

TOpenDialog::TOpenDialog(TComponent* AOwner) : TComponent(AOwner) {}

bool TOpenDialog::Execute() {
    constexpr size_t kNameRoom = 32768;  // the longest path Windows knows
    std::string Name = FileName;
    Name.resize(std::max(kNameRoom, Name.size() + 1), '\0');
    const std::string Filters = FilterList(Filter);
    const std::string Extension = !DefaultExt.empty() && DefaultExt[0] == '.' ? DefaultExt.substr(1) : DefaultExt;

    OPENFILENAMEA Dialog{};
    Dialog.lStructSize = sizeof Dialog;
    Dialog.hwndOwner = DialogOwner(Owner());
    Dialog.lpstrFilter = Filter.empty() ? nullptr : Filters.c_str();
    Dialog.nFilterIndex = 1;
    Dialog.lpstrFile = &Name[0];
    Dialog.nMaxFile = static_cast<DWORD>(Name.size());
    Dialog.lpstrInitialDir = InitialDir.empty() ? nullptr : InitialDir.c_str();
    Dialog.lpstrTitle = Title.empty() ? nullptr : Title.c_str();
    Dialog.lpstrDefExt = Extension.empty() ? nullptr : Extension.c_str();
    Dialog.Flags = OpenFlags(Options);
    if (!Show(Dialog)) return false;
    FileName = Name.c_str();
    return true;
}

bool TOpenDialog::Show(OPENFILENAMEA& Dialog) { return Delayload::GetOpenFileNameA(&Dialog); }

namespace {
// A dialog template in memory, in dialog units: DLGTEMPLATE, then one DLGITEMTEMPLATE per control.
class TDialogTemplate {
public:
    TDialogTemplate(DWORD Style, short Width, short Height) {
        PutDword(Style | DS_SETFONT);
        PutDword(0);  // extended style
        Put(0);       // controls, counted as they are added
        for (short Value : {short(0), short(0), Width, Height}) Put(static_cast<WORD>(Value));
        Put(0);  // no menu
        Put(0);  // the standard dialog class
        PutText("");
        Put(kFontPoints);
        PutText(kFontName);
    }
    void AddStatic(WORD Id, DWORD Style, short X, short Y, short Width, short Height, const char* Text) {
        if (FWords.size() % 2) Put(0);  // each control starts on a DWORD
        PutDword(Style | WS_CHILD | WS_VISIBLE);
        PutDword(0);
        for (short Value : {X, Y, Width, Height}) Put(static_cast<WORD>(Value));
        Put(Id);
        Put(0xFFFF);  // the class is a predefined one, given by its atom
        Put(kStaticAtom);
        PutText(Text);
        Put(0);  // no creation data
        ++FWords[kCountAt];
    }
    ~TDialogTemplate() {
        if (FMemory) GlobalFree(FMemory);
    }
    TDialogTemplate(const TDialogTemplate&) = delete;
    TDialogTemplate& operator=(const TDialogTemplate&) = delete;
    // As OPENFILENAME's hInstance under OFN_ENABLETEMPLATEHANDLE: a memory object holding the
    // template; fixed memory, whose handle is its address, made once the controls are all added.
    HINSTANCE Handle() {
        if (!FMemory) {
            FMemory = GlobalAlloc(GMEM_FIXED, FWords.size() * sizeof(WORD));
            if (FMemory) std::copy(FWords.begin(), FWords.end(), static_cast<WORD*>(FMemory));
        }
        return reinterpret_cast<HINSTANCE>(FMemory);
    }

private:
    static constexpr WORD kFontPoints = 8;  // the font of the open dialog's own controls
    static constexpr const char* kFontName = "MS Shell Dlg";
    static constexpr WORD kStaticAtom = 0x0082;
    static constexpr size_t kCountAt = 4;  // DLGTEMPLATE::cdit, in words
    void Put(WORD Value) { FWords.push_back(Value); }
    void PutDword(DWORD Value) {
        Put(LOWORD(Value));
        Put(HIWORD(Value));
    }
    void PutText(const char* Text) {  // UTF-16 of an ASCII text, with its zero
        do Put(static_cast<unsigned char>(*Text));
        while (*Text++);
    }
    std::vector<WORD> FWords;
    HGLOBAL FMemory = nullptr;
};

constexpr const char* kNoPicture = "(None)";
// The preview's pane, in dialog units. stc32 stands for the open dialog's own controls: what lies right
// of it is placed right of them. The frame lies beside the list of files, the size text under it; once
// the dialog has placed the list, both are given its height.
constexpr short kStandardWidth = 280, kStandardHeight = 164;
constexpr short kFrameLeft = kStandardWidth + 4, kFrameTop = 20, kFrameWidth = 100, kFrameHeight = 86;
constexpr short kSizeTop = kFrameTop + kFrameHeight + 4, kSizeHeight = 10;

// Width x Height made to fit Room with its proportions kept; a picture that fits already keeps its size.
TPoint FittedSize(int Width, int Height, TPoint Room) {
    if (Width <= Room.X && Height <= Room.Y) return TPoint{Width, Height};
    if (static_cast<long long>(Width) * Room.Y > static_cast<long long>(Height) * Room.X)
        return TPoint{Room.X, std::max(1, static_cast<int>(static_cast<long long>(Height) * Room.X / Width))};
    return TPoint{std::max(1, static_cast<int>(static_cast<long long>(Width) * Room.Y / Height)), Room.Y};
}

// Inside the frame's sunken edge.
RECT PictureArea(RECT Frame) {
    InflateRect(&Frame, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
    return Frame;
}

// Window's bounds in Pane's client coordinates.
RECT BoundsIn(HWND Pane, HWND Window) {
    RECT Bounds{};
    GetWindowRect(Window, &Bounds);
    MapWindowPoints(nullptr, Pane, reinterpret_cast<POINT*>(&Bounds), 2);
    return Bounds;
}

// Gives the frame and the size text under it the height of the list of files, which is known only once
// the dialog has placed its own controls.
void AlignWithList(HWND Pane) {
    const HWND Frame = GetDlgItem(Pane, TOpenPictureDialog::idPreviewFrame);
    const HWND Size = GetDlgItem(Pane, TOpenPictureDialog::idPreviewSize);
    const RECT List = BoundsIn(Pane, GetDlgItem(GetParent(Pane), lst1));
    const RECT FrameNow = BoundsIn(Pane, Frame), SizeNow = BoundsIn(Pane, Size);
    const int TextHeight = SizeNow.bottom - SizeNow.top, Gap = SizeNow.top - FrameNow.bottom;
    const int FrameHeight = List.bottom - List.top - Gap - TextHeight;
    if (FrameHeight <= 0) return;  // no list where one was expected: the pane keeps its own layout
    MoveWindow(Frame, FrameNow.left, List.top, FrameNow.right - FrameNow.left, FrameHeight, TRUE);
    MoveWindow(Size, SizeNow.left, List.bottom - TextHeight, SizeNow.right - SizeNow.left, TextHeight, TRUE);
}

// The pane makes the dialog wider than the system places it for: it is moved in so as to lie wholly
// on the screen's work area where it would reach past it.
void KeepOnScreen(HWND Dialog) {
    RECT Work{}, Bounds{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &Work, 0);
    GetWindowRect(Dialog, &Bounds);
    const int Left = std::max(Work.left, std::min(Bounds.left, Work.right - (Bounds.right - Bounds.left)));
    const int Top = std::max(Work.top, std::min(Bounds.top, Work.bottom - (Bounds.bottom - Bounds.top)));
    if (Left != Bounds.left || Top != Bounds.top)
        SetWindowPos(Dialog, nullptr, Left, Top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The path of the file chosen in the dialog that holds Pane (its folder when none is). Windows gives a
// folder chosen in the list; Wine gives the file chosen before it, whose name stays in the name box.
std::string ChosenPath(HWND Pane) {
    const HWND Dialog = GetParent(Pane);
    const LRESULT Size = SendMessageA(Dialog, CDM_GETFILEPATH, 0, 0);  // with the zero
    if (Size <= 1) return std::string();
    std::string Path(static_cast<size_t>(Size), '\0');
    SendMessageA(Dialog, CDM_GETFILEPATH, static_cast<WPARAM>(Size), reinterpret_cast<LPARAM>(&Path[0]));
    Path.resize(Path.find('\0'));
    return Path;
}

// What the preview shows of a file: its picture drawn to fit the frame, and its size.
struct TShownPicture {
    std::unique_ptr<TBitmap> Bitmap;  // null when there is nothing to show
    std::string Caption = kNoPicture;
};

// The picture is loaded and drawn once, here, so that painting cannot fail; a JPEG is decoded only at
// the reduced scale that its small drawing needs. A file that is no picture the class library can read
// (a folder, a missing, empty or damaged file) shows nothing, and no error.
TShownPicture PictureToShow(const std::string& FileName, TPoint Room) {
    TShownPicture Shown;
    if (FileName.empty()) return Shown;
    try {
        TPicture Picture;
        Picture.LoadFromFile(FileName);
        TGraphic* Graphic = Picture.Graphic();
        if (!Graphic || Graphic->Empty()) return Shown;
        const TPoint Size = FittedSize(Graphic->Width(), Graphic->Height(), Room);
        auto Bitmap = std::make_unique<TBitmap>();
        Bitmap->SetPixelFormat(pf24bit);
        Bitmap->SetSize(Size.X, Size.Y);
        Bitmap->Canvas()->Brush.Color = clBtnFace;  // behind a transparent icon or metafile
        Bitmap->Canvas()->FillRect(Rect(0, 0, Size.X, Size.Y));
        Bitmap->Canvas()->StretchDraw(Rect(0, 0, Size.X, Size.Y), Graphic);
        Shown.Bitmap = std::move(Bitmap);
        Shown.Caption = IntToStr(Graphic->Width()) + " x " + IntToStr(Graphic->Height());
    } catch (const std::exception&) {
        Shown = TShownPicture();  // the class library could not read it: nothing to show
    }
    return Shown;
}

// The pane that TOpenPictureDialog adds to the open dialog, and the hook that shows in it the file
// chosen in the list. It lives while the dialog is open.
class TPicturePreview {
public:
    TPicturePreview();
    void AttachTo(OPENFILENAMEA& Dialog);

private:
    static UINT_PTR CALLBACK Hook(HWND Pane, UINT Message, WPARAM WParam, LPARAM LParam);
    void ShowFile(HWND Pane, const std::string& FileName);
    void Paint(const DRAWITEMSTRUCT& Item) const;
    TDialogTemplate FTemplate;
    std::string FShownFile;
    TShownPicture FShown;
};

TPicturePreview::TPicturePreview()
    : FTemplate(WS_CHILD | WS_CLIPSIBLINGS | DS_3DLOOK | DS_CONTROL, kFrameLeft + kFrameWidth + 4, kStandardHeight) {
    FTemplate.AddStatic(stc32, 0, 0, 0, kStandardWidth, kStandardHeight, "");
    FTemplate.AddStatic(TOpenPictureDialog::idPreviewFrame, SS_OWNERDRAW, kFrameLeft, kFrameTop, kFrameWidth,
                        kFrameHeight, "");
    FTemplate.AddStatic(TOpenPictureDialog::idPreviewSize, SS_CENTER, kFrameLeft, kSizeTop, kFrameWidth, kSizeHeight,
                        kNoPicture);
}

void TPicturePreview::AttachTo(OPENFILENAMEA& Dialog) {
    Dialog.Flags |= OFN_ENABLEHOOK | OFN_ENABLETEMPLATEHANDLE;
    Dialog.hInstance = FTemplate.Handle();
    Dialog.lpfnHook = Hook;
    Dialog.lCustData = reinterpret_cast<LPARAM>(this);
}

UINT_PTR CALLBACK TPicturePreview::Hook(HWND Pane, UINT Message, WPARAM WParam, LPARAM LParam) {
    if (Message == WM_INITDIALOG) {
        SetWindowLongPtrA(Pane, DWLP_USER, reinterpret_cast<const OPENFILENAMEA*>(LParam)->lCustData);
        return TRUE;
    }
    auto* Preview = reinterpret_cast<TPicturePreview*>(GetWindowLongPtrA(Pane, DWLP_USER));
    if (!Preview) return FALSE;
    const UINT Notification = Message == WM_NOTIFY ? reinterpret_cast<const NMHDR*>(LParam)->code : 0;
    if (Notification == CDN_INITDONE) {
        AlignWithList(Pane);
        KeepOnScreen(GetParent(Pane));
    } else if (Notification == CDN_SELCHANGE) {
        Preview->ShowFile(Pane, ChosenPath(Pane));
    } else if (Notification == CDN_FOLDERCHANGE) {
        Preview->ShowFile(Pane, std::string());  // nothing is chosen in the new folder yet
    } else if (Message == WM_DRAWITEM && WParam == TOpenPictureDialog::idPreviewFrame) {
        Preview->Paint(*reinterpret_cast<const DRAWITEMSTRUCT*>(LParam));
        return TRUE;
    }
    return FALSE;
}

void TPicturePreview::ShowFile(HWND Pane, const std::string& FileName) {
    // Wine tells of one change of the list twice (the item chosen, the item left): the second time the
    // file is on show already.
    if (FileName == FShownFile) return;
    FShownFile = FileName;
    const HWND Frame = GetDlgItem(Pane, TOpenPictureDialog::idPreviewFrame);
    RECT Client;
    GetClientRect(Frame, &Client);
    const RECT Area = PictureArea(Client);
    FShown = PictureToShow(FileName, TPoint{Area.right - Area.left, Area.bottom - Area.top});
    SetDlgItemTextA(Pane, TOpenPictureDialog::idPreviewSize, FShown.Caption.c_str());
    InvalidateRect(Frame, nullptr, TRUE);
}

void TPicturePreview::Paint(const DRAWITEMSTRUCT& Item) const {
    RECT Area = Item.rcItem;
    FillRect(Item.hDC, &Area, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(Item.hDC, &Area, EDGE_SUNKEN, BF_RECT);
    if (!FShown.Bitmap) return;
    Area = PictureArea(Area);
    TBitmap* Bitmap = FShown.Bitmap.get();
    TCanvas Canvas(Item.hDC);
    Canvas.Draw(Area.left + (Area.right - Area.left - Bitmap->Width()) / 2,
                Area.top + (Area.bottom - Area.top - Bitmap->Height()) / 2, Bitmap);
}
}  // namespace

bool TOpenPictureDialog::Show(OPENFILENAMEA& Dialog) {
    TPicturePreview Preview;
    Preview.AttachTo(Dialog);
    return TOpenDialog::Show(Dialog);
}

TColorDialog::TColorDialog(TComponent* AOwner) : TComponent(AOwner) {
    std::fill(std::begin(FCustomColors), std::end(FCustomColors), RGB(255, 255, 255));
}

bool TColorDialog::Execute() {
    CHOOSECOLORA Dialog{};
    Dialog.lStructSize = sizeof Dialog;
    Dialog.hwndOwner = DialogOwner(Owner());
    Dialog.rgbResult = ColorToRGB(Color);
    Dialog.lpCustColors = FCustomColors;
    Dialog.Flags = CC_RGBINIT;
    if (!Delayload::ChooseColorA(&Dialog)) return false;
    Color = static_cast<TColor>(Dialog.rgbResult);
    return true;
}
