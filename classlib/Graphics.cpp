#include "Graphics.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <new>
#include <vector>

#include "BmpFormat.h"
#include "Delayload.h"
#include "Handles.h"
#include "IconFormat.h"
#include "MetafileFormat.h"

COLORREF ColorToRGB(TColor Color) {
    if (Color < 0) return GetSysColor(Color & 0xFF);
    return static_cast<COLORREF>(Color) & 0xFFFFFF;
}

// ---- TFont ----

TFont& TFont::operator=(const TFont& Other) {
    Name = Other.Name;
    Height = Other.Height;
    Color = Other.Color;
    Style = Other.Style;
    return *this;
}

TFont::~TFont() {
    if (FHandle) DeleteObject(FHandle);
}

HFONT TFont::Handle() {
    LOGFONTA Wanted{};
    Wanted.lfHeight = -Height;
    Wanted.lfWeight = (Style & fsBold) ? FW_BOLD : FW_NORMAL;
    Wanted.lfItalic = (Style & fsItalic) ? 1 : 0;
    Wanted.lfUnderline = (Style & fsUnderline) ? 1 : 0;
    Wanted.lfStrikeOut = (Style & fsStrikeOut) ? 1 : 0;
    Wanted.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(Wanted.lfFaceName, Name.c_str(), LF_FACESIZE);
    if (!FHandle || std::memcmp(&Wanted, &FMade, sizeof Wanted) != 0) {
        if (FHandle) DeleteObject(FHandle);
        FHandle = CreateFontIndirectA(&Wanted);
        FMade = Wanted;
    }
    return FHandle;
}

// ---- TCanvas ----

namespace {
// Running out of memory while a picture is read, drawn, copied or written is that picture's error, so
// that whoever handles the class library's errors (a conversion, a load that may fail) sees it.
template <class TWork>
void OrOutOfMemory(TWork Work) {
    try {
        Work();
    } catch (const std::bad_alloc&) {
        throw EInvalidGraphic("Out of memory");
    }
}

// GDI objects selected into a DC for one drawing call, put back and freed afterwards.
class TSelectedTools {
public:
    TSelectedTools(HDC DC, const TBrush& Brush, const TPen* Pen) : FDC(DC) {
        if (Brush.Style == bsClear) {
            FOldBrush = SelectObject(DC, GetStockObject(NULL_BRUSH));
        } else {
            static const int kHatch[] = {0, 0, HS_HORIZONTAL, HS_VERTICAL, HS_FDIAGONAL, HS_BDIAGONAL, HS_CROSS,
                                         HS_DIAGCROSS};
            FBrush = Brush.Style == bsSolid ? CreateSolidBrush(ColorToRGB(Brush.Color))
                                            : CreateHatchBrush(kHatch[Brush.Style], ColorToRGB(Brush.Color));
            FOldBrush = SelectObject(DC, FBrush);
            // Hatched brushes leave the background between their lines untouched.
            FOldBkMode = SetBkMode(DC, Brush.Style == bsSolid ? OPAQUE : TRANSPARENT);
        }
        if (Pen) {
            if (Pen->Style == psClear) {
                FOldPen = SelectObject(DC, GetStockObject(NULL_PEN));
            } else {
                FPen = CreatePen(PS_SOLID, Pen->Width, ColorToRGB(Pen->Color));
                FOldPen = SelectObject(DC, FPen);
            }
        }
    }
    ~TSelectedTools() {
        SelectObject(FDC, FOldBrush);
        if (FOldBkMode) SetBkMode(FDC, FOldBkMode);
        if (FBrush) DeleteObject(FBrush);
        if (FOldPen) SelectObject(FDC, FOldPen);
        if (FPen) DeleteObject(FPen);
    }
    HBRUSH Brush() const { return FBrush; }

private:
    HDC FDC;
    HBRUSH FBrush = nullptr;
    HPEN FPen = nullptr;
    HGDIOBJ FOldBrush = nullptr, FOldPen = nullptr;
    int FOldBkMode = 0;
};
}  // namespace

void TCanvas::FillRect(const TRect& R) {
    if (Brush.Style == bsClear) return;
    TSelectedTools Tools(Handle, Brush, nullptr);
    RECT WR{R.Left, R.Top, R.Right, R.Bottom};
    ::FillRect(Handle, &WR, Tools.Brush());
    Changed();
}

void TCanvas::Rectangle(const TRect& R) {
    TSelectedTools Tools(Handle, Brush, &Pen);
    ::Rectangle(Handle, R.Left, R.Top, R.Right, R.Bottom);
    Changed();
}

void TCanvas::Draw(int X, int Y, TGraphic* Graphic) {
    if (!Graphic || Graphic->Empty()) return;
    OrOutOfMemory([&] { Graphic->Draw(this, Bounds(X, Y, Graphic->Width(), Graphic->Height())); });
    Changed();
}

void TCanvas::StretchDraw(const TRect& R, TGraphic* Graphic) {
    if (!Graphic || Graphic->Empty()) return;
    OrOutOfMemory([&] { Graphic->Draw(this, R); });
    Changed();
}

void TCanvas::TextOut(int X, int Y, const std::string& Text) {
    HGDIOBJ OldFont = SelectObject(Handle, Font.Handle());
    SetTextColor(Handle, ColorToRGB(Font.Color));
    if (Brush.Style == bsClear) {
        SetBkMode(Handle, TRANSPARENT);
    } else {
        SetBkMode(Handle, OPAQUE);
        SetBkColor(Handle, ColorToRGB(Brush.Color));
    }
    ::TextOutA(Handle, X, Y, Text.c_str(), static_cast<int>(Text.size()));
    SelectObject(Handle, OldFont);
    Changed();
}

TPoint TCanvas::TextExtent(const std::string& Text) {
    HGDIOBJ OldFont = SelectObject(Handle, Font.Handle());
    SIZE Size{};
    GetTextExtentPoint32A(Handle, Text.c_str(), static_cast<int>(Text.size()), &Size);
    SelectObject(Handle, OldFont);
    return TPoint{Size.cx, Size.cy};
}

// ---- files and resources ----

// In one read: a photograph of several megabytes taken a character at a time costs seconds.
std::string ReadFileStart(const std::string& FileName, size_t Bytes, long long& FileSize) {
    std::ifstream In(FileName, std::ios::binary | std::ios::ate);
    if (!In) throw Exception("Cannot open file \"" + FileName + "\"");
    FileSize = In.tellg();
    const unsigned long long Whole = FileSize > 0 ? static_cast<unsigned long long>(FileSize) : 0;
    std::string Data(static_cast<size_t>(std::min<unsigned long long>(Whole, Bytes)), '\0');
    In.seekg(0);
    if (FileSize < 0 || !In.read(&Data[0], static_cast<std::streamsize>(Data.size())))
        throw Exception("Cannot read file \"" + FileName + "\"");
    return Data;
}

std::string ReadFileBytes(const std::string& FileName) {
    long long Size = 0;
    return ReadFileStart(FileName, SIZE_MAX, Size);
}

std::string ReadResourceBytes(HINSTANCE Instance, const std::string& ResName) {
    HRSRC Res = FindResourceA(Instance, ResName.c_str(), MAKEINTRESOURCEA(10));  // RT_RCDATA
    if (!Res) return std::string();
    HGLOBAL Loaded = LoadResource(Instance, Res);
    const void* Data = Loaded ? LockResource(Loaded) : nullptr;
    if (!Data) return std::string();
    return std::string(static_cast<const char*>(Data), SizeofResource(Instance, Res));
}

void TGraphic::LoadFromFile(const std::string& FileName) {
    OrOutOfMemory([&] { LoadFromBytes(ReadFileBytes(FileName)); });
}

namespace {
// How much of a picture's pixels one GDI call or one write takes.
constexpr long long kBandBytes = 4LL * 1024 * 1024;

// Writes a file through the calls Parts makes to the Write it is given; whatever fails (the file
// cannot be created, a write or the closing fails, memory runs out) removes what was written.
void WriteFileInParts(const std::string& FileName,
                      const std::function<void(const std::function<void(const char*, size_t)>&)>& Parts) {
    THeldHandle File(
        CreateFileA(FileName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!File) throw Exception("Cannot create file \"" + FileName + "\"");
    bool Written = true;
    try {
        Parts([&](const char* Data, size_t Size) {
            DWORD Count = 0;
            Written = Written && WriteFile(File.Get(), Data, static_cast<DWORD>(Size), &Count, nullptr) && Count == Size;
        });
    } catch (...) {
        File.Reset();
        DeleteFileA(FileName.c_str());
        throw;
    }
    Written = CloseHandle(File.Release()) && Written;  // a full disk may only show now
    if (!Written) {
        DeleteFileA(FileName.c_str());
        throw Exception("Cannot write file \"" + FileName + "\"");
    }
}
}  // namespace

// ---- TBitmap ----

TBitmap::~TBitmap() {
    ReleaseCanvas();
    if (FHandle) DeleteObject(FHandle);
}

void TBitmap::ReleaseCanvas() {
    if (FCanvas) {
        SelectObject(FCanvas->Handle, FOldBitmap);
        DeleteDC(FCanvas->Handle);
        FCanvas.reset();
    }
}

int TBitmap::RowBytes() const {
    const int Bits = FPixelFormat == pf24bit ? 24 : 32;
    return ((FWidth * Bits + 31) / 32) * 4;
}

void TBitmap::Recreate(int AWidth, int AHeight, TPixelFormat Format, const TBitmap* CopyFrom) {
    if (AWidth < 0 || AHeight < 0) throw EInvalidGraphic("Invalid bitmap size");
    if (!FitsPictureBudget(AWidth, AHeight)) throw EInvalidGraphic("Bitmap image is too large");
    HBITMAP NewHandle = nullptr;
    void* NewBits = nullptr;
    if (AWidth > 0 && AHeight > 0) {
        BITMAPINFO Info{};
        Info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        Info.bmiHeader.biWidth = AWidth;
        Info.bmiHeader.biHeight = -AHeight;  // top-down rows
        Info.bmiHeader.biPlanes = 1;
        Info.bmiHeader.biBitCount = Format == pf24bit ? 24 : 32;
        Info.bmiHeader.biCompression = BI_RGB;
        NewHandle = CreateDIBSection(nullptr, &Info, DIB_RGB_COLORS, &NewBits, nullptr, 0);
        if (!NewHandle) throw EInvalidGraphic("Out of system resources");
        // White, as a new bitmap of the class library starts.
        const int Stride = ((AWidth * Info.bmiHeader.biBitCount + 31) / 32) * 4;
        std::memset(NewBits, 0xFF, static_cast<size_t>(Stride) * AHeight);
        if (CopyFrom && CopyFrom->FHandle) {
            HDC Src = const_cast<TBitmap*>(CopyFrom)->Canvas()->Handle;
            HDC Dst = CreateCompatibleDC(nullptr);
            HGDIOBJ OldDst = SelectObject(Dst, NewHandle);
            BitBlt(Dst, 0, 0, AWidth, AHeight, Src, 0, 0, SRCCOPY);
            SelectObject(Dst, OldDst);
            DeleteDC(Dst);
        }
    }
    ReleaseCanvas();
    if (FHandle) DeleteObject(FHandle);
    FHandle = NewHandle;
    FBits = static_cast<unsigned char*>(NewBits);
    FWidth = AWidth;
    FHeight = AHeight;
    FPixelFormat = Format;
    if (OnChange) OnChange();
}

void TBitmap::SetSize(int AWidth, int AHeight) {
    if (AWidth == FWidth && AHeight == FHeight && FHandle) return;
    Recreate(AWidth, AHeight, FPixelFormat, this);
}

void TBitmap::SetPixelFormat(TPixelFormat Value) {
    if (Value == FPixelFormat) return;
    if (FHandle) {
        ReleaseCanvas();
        TBitmap Old;
        Old.FHandle = FHandle;
        Old.FWidth = FWidth;
        Old.FHeight = FHeight;
        Old.FPixelFormat = FPixelFormat;
        FHandle = nullptr;  // Old frees it
        Recreate(FWidth, FHeight, Value, &Old);
    } else {
        FPixelFormat = Value;
    }
}

TCanvas* TBitmap::Canvas() {
    if (!FCanvas) {
        FCanvas = std::make_unique<TCanvas>(CreateCompatibleDC(nullptr));
        FOldBitmap = FHandle ? SelectObject(FCanvas->Handle, FHandle) : nullptr;
        FCanvas->OnChange = [this]() {
            if (OnChange) OnChange();
        };
    }
    return FCanvas.get();
}

unsigned char* TBitmap::ScanLine(int Y) {
    if (!FBits || Y < 0 || Y >= FHeight) throw EInvalidGraphic("Scan line index out of range");
    GdiFlush();
    return FBits + static_cast<size_t>(Y) * RowBytes();
}

TColor TBitmap::TransparentColor() {
    if (FFixedTransparentColor) return FTransparentColor;
    if (!FBits) return clBlack;
    const unsigned char* P = ScanLine(FHeight - 1);
    return P[2] | P[1] << 8 | P[0] << 16;
}

void TBitmap::Draw(TCanvas* Canvas, const TRect& R) {
    if (!FHandle) return;
    HDC Src = this->Canvas()->Handle;
    if (Transparent) {
        Delayload::TransparentBlt(Canvas->Handle, R.Left, R.Top, R.Width(), R.Height(), Src, 0, 0, FWidth, FHeight,
                                  ColorToRGB(TransparentColor()));
    } else {
        const int OldMode = SetStretchBltMode(Canvas->Handle, COLORONCOLOR);
        StretchBlt(Canvas->Handle, R.Left, R.Top, R.Width(), R.Height(), Src, 0, 0, FWidth, FHeight, SRCCOPY);
        SetStretchBltMode(Canvas->Handle, OldMode);
    }
}

void TBitmap::LoadFromBytes(std::string Data) {
    TBmpLayout Layout;
    std::string Error;
    if (!ParseBmpLayout(Data, Layout, Error)) throw EInvalidGraphic(Error);
    LoadPixels(Layout, Data, Data,
               [&](int First, int) { return Data.data() + Layout.BitsOffset + First * Layout.Stride; });
}

void TBitmap::LoadFromFile(const std::string& FileName) {
    OrOutOfMemory([&] {
        THeldHandle File(CreateFileA(FileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
        LARGE_INTEGER Size{};
        if (!File || !GetFileSizeEx(File.Get(), &Size)) throw Exception("Cannot open file \"" + FileName + "\"");
        const auto ReadAt = [&](long long Offset, char* Into, size_t Bytes) {
            LARGE_INTEGER At{};
            At.QuadPart = Offset;
            DWORD Count = 0;
            if (!SetFilePointerEx(File.Get(), At, nullptr, FILE_BEGIN) ||
                !ReadFile(File.Get(), Into, static_cast<DWORD>(Bytes), &Count, nullptr) || Count != Bytes)
                throw Exception("Cannot read file \"" + FileName + "\"");
        };
        std::string Head(static_cast<size_t>(std::min<long long>(Size.QuadPart, kBmpHeadBytes)), '\0');
        ReadAt(0, &Head[0], Head.size());
        TBmpLayout Layout;
        std::string Error;
        if (Size.QuadPart > 0xFFFFFFFFLL ||
            !ParseBmpLayout(Head, Layout, Error, static_cast<size_t>(Size.QuadPart)))
            throw EInvalidGraphic(Error.empty() ? "Bitmap image is too large" : Error);
        std::string Data;  // an RLE file whole: its rows cannot be found without reading those before
        if (Layout.Compression == kBmpRle8 || Layout.Compression == kBmpRle4) {
            Data.resize(static_cast<size_t>(Size.QuadPart));
            ReadAt(0, &Data[0], Data.size());
        }
        std::vector<char> Band;
        LoadPixels(Layout, Head, Data, [&](int First, int Count) {
            Band.resize(Count * Layout.Stride);
            ReadAt(Layout.BitsOffset + First * static_cast<long long>(Layout.Stride), Band.data(), Band.size());
            return Band.data();
        });
    });
}

void TBitmap::LoadPixels(const TBmpLayout& Layout, const std::string& Head, const std::string& Data,
                         const std::function<const char*(int First, int Count)>& Rows) {
    // Held at 3 bytes a pixel whatever the file's depth (GDI shows no more of a 32-bit file): a picture
    // is then made into a skin, which has 24 bits, without a copy.
    Recreate(Layout.Width, Layout.Height, pf24bit, nullptr);
    // RLE is expanded here, straight into the bitmap: GDI would first expand it into a second buffer of
    // the picture's whole size, whatever few bytes the file holds.
    if (Layout.Compression == kBmpRle8 || Layout.Compression == kBmpRle4) {
        ExpandRleBitmap(Data, Layout, 3, [this](int Y) { return ScanLine(Y); });
        return;
    }
    // The rest goes through GDI a band of rows at a time, so that what it converts them with stays small.
    std::string Info = Head.substr(Layout.InfoOffset, Layout.InfoBytes);
    const bool Core = Info.size() < sizeof(BITMAPINFOHEADER);
    const int Band = static_cast<int>(std::max(1LL, kBandBytes / static_cast<long long>(Layout.Stride)));
    HDC DC = Canvas()->Handle;
    for (int First = 0; First < Layout.Height; First += Band) {  // rows in the order the file holds them
        const int Count = std::min(Band, Layout.Height - First);
        if (Core) reinterpret_cast<BITMAPCOREHEADER*>(&Info[0])->bcHeight = static_cast<WORD>(Count);
        else reinterpret_cast<BITMAPINFOHEADER*>(&Info[0])->biHeight = Layout.TopDown ? -Count : Count;
        const int Top = Layout.TopDown ? First : Layout.Height - First - Count;
        if (StretchDIBits(DC, 0, Top, Layout.Width, Count, 0, 0, Layout.Width, Count, Rows(First, Count),
                          reinterpret_cast<BITMAPINFO*>(&Info[0]), DIB_RGB_COLORS, SRCCOPY) == 0)
            throw EInvalidGraphic("Bitmap image is not valid");
    }
}

std::string TBitmap::SaveToBytes() const {
    if (!FBits) throw EInvalidGraphic("Cannot save an empty bitmap");
    GdiFlush();
    return WriteBmpFile(FWidth, FHeight, FPixelFormat == pf24bit ? 24 : 32, FBits, RowBytes());
}

// Written from the bitmap's own rows a stretch at a time: a large skin is never held twice.
void TBitmap::SaveToFile(const std::string& FileName) {
    if (!FBits) throw EInvalidGraphic("Cannot save an empty bitmap");
    GdiFlush();
    const size_t Stride = static_cast<size_t>(RowBytes());
    const int Rows = static_cast<int>(std::max<size_t>(1, kBandBytes / Stride));
    const auto Parts = [&](const std::function<void(const char*, size_t)>& Write) {
        const std::string Headers = BmpFileHeaders(FWidth, FHeight, FPixelFormat == pf24bit ? 24 : 32);
        Write(Headers.data(), Headers.size());
        std::vector<char> Stretch;
        for (int Y = FHeight - 1; Y >= 0;) {  // the file's rows run from the bottom
            Stretch.clear();
            for (int Row = 0; Row < Rows && Y >= 0; ++Row, --Y) {
                const char* Bits = reinterpret_cast<const char*>(FBits) + static_cast<size_t>(Y) * Stride;
                Stretch.insert(Stretch.end(), Bits, Bits + Stride);
            }
            Write(Stretch.data(), Stretch.size());
        }
    };
    OrOutOfMemory([&] { WriteFileInParts(FileName, Parts); });
}

std::unique_ptr<TGraphic> TBitmap::Clone() const {
    auto Copy = std::make_unique<TBitmap>();
    Copy->Assign(*this);
    return Copy;
}

void TBitmap::Assign(const TBitmap& Source) {
    if (&Source == this) return;
    OrOutOfMemory([&] { Recreate(Source.FWidth, Source.FHeight, Source.FPixelFormat, &Source); });
    Transparent = Source.Transparent;
    FTransparentColor = Source.FTransparentColor;
    FFixedTransparentColor = Source.FFixedTransparentColor;
}

// ---- TIcon ----

TIcon::~TIcon() {
    if (FHandle) DestroyIcon(FHandle);
}

void TIcon::LoadFromBytes(std::string Data) {
    TIconImage Image;
    std::string Error;
    if (!ParseIconFile(Data, Image, Error)) throw EInvalidGraphic(Error);
    // Made at the image's own size, so that GDI does not resample it before it is drawn.
    auto* Bits = reinterpret_cast<BYTE*>(const_cast<char*>(Data.data())) + Image.Offset;
    HICON NewHandle = CreateIconFromResourceEx(Bits, static_cast<DWORD>(Image.Bytes), TRUE, 0x00030000, Image.Width,
                                               Image.Height, LR_DEFAULTCOLOR);
    if (!NewHandle) throw EInvalidGraphic("Icon image is not valid");
    if (FHandle) DestroyIcon(FHandle);
    FHandle = NewHandle;
    FData = Data;
    FWidth = Image.Width;
    FHeight = Image.Height;
}

void TIcon::Draw(TCanvas* Canvas, const TRect& R) {
    if (FHandle) DrawIconEx(Canvas->Handle, R.Left, R.Top, FHandle, R.Width(), R.Height(), 0, nullptr, DI_NORMAL);
}

std::unique_ptr<TGraphic> TIcon::Clone() const {
    auto Copy = std::make_unique<TIcon>();
    if (FHandle) Copy->LoadFromBytes(FData);
    Copy->Transparent = Transparent;
    return Copy;
}

// ---- TMetafile ----

TMetafile::~TMetafile() {
    if (FHandle) DeleteEnhMetaFile(FHandle);
}

void TMetafile::LoadFromBytes(std::string Data) {
    TMetafileLayout Layout;
    std::string Error;
    if (!ParseMetafile(Data, Layout, Error)) throw EInvalidGraphic(Error);
    const auto* Bits = reinterpret_cast<const BYTE*>(Data.data()) + Layout.RecordsOffset;
    const auto Bytes = static_cast<UINT>(Layout.RecordsBytes);
    HENHMETAFILE NewHandle;
    if (Layout.Enhanced) {
        NewHandle = SetEnhMetaFileBits(Bytes, Bits);
    } else {
        // The records' own window is mapped onto a frame of the picture's size.
        METAFILEPICT Frame{MM_ANISOTROPIC, Layout.MMWidth, Layout.MMHeight, nullptr};
        NewHandle = SetWinMetaFileBits(Bytes, Bits, nullptr, &Frame);
    }
    if (!NewHandle) throw EInvalidGraphic("Metafile is not valid");
    if (FHandle) DeleteEnhMetaFile(FHandle);
    FHandle = NewHandle;
    FData = Data;
    FWidth = Layout.Width;
    FHeight = Layout.Height;
}

void TMetafile::Draw(TCanvas* Canvas, const TRect& R) {
    if (!FHandle) return;
    RECT Target{R.Left, R.Top, R.Right, R.Bottom};
    PlayEnhMetaFile(Canvas->Handle, FHandle, &Target);
}

std::unique_ptr<TGraphic> TMetafile::Clone() const {
    auto Copy = std::make_unique<TMetafile>();
    if (FHandle) Copy->LoadFromBytes(FData);
    Copy->Transparent = Transparent;
    return Copy;
}

// ---- TPicture ----

namespace {
bool IsJpeg(const std::string& Data) {
    return Data.size() >= 2 && static_cast<unsigned char>(Data[0]) == 0xFF && static_cast<unsigned char>(Data[1]) == 0xD8;
}

std::unique_ptr<TGraphic> GraphicForContent(const std::string& Data) {
    if (IsJpeg(Data)) return std::make_unique<TJPEGImage>();
    return std::make_unique<TBitmap>();
}
}  // namespace

void TPicture::Adopt(std::unique_ptr<TGraphic> Value) const {
    FGraphic = std::move(Value);
    FResourceName.clear();
    if (FGraphic) {
        FGraphic->OnChange = [this]() {
            if (OnChange) OnChange();
        };
    }
}

void TPicture::SetGraphic(std::unique_ptr<TGraphic> Value) {
    Adopt(std::move(Value));
    if (OnChange) OnChange();
}

// Not a change for those who watch the picture: it shows what it showed since it was loaded.
void TPicture::Materialize() const {
    if (FResourceName.empty()) return;
    const std::string Name = FResourceName;
    FResourceName.clear();
    std::string Data = ReadResourceBytes(FResourceInstance, Name);
    if (Data.empty()) return;
    auto NewGraphic = GraphicForContent(Data);
    NewGraphic->LoadFromBytes(std::move(Data));
    Adopt(std::move(NewGraphic));
}

TBitmap* TPicture::Bitmap() {
    if (!dynamic_cast<TBitmap*>(Graphic())) SetGraphic(std::make_unique<TBitmap>());
    return static_cast<TBitmap*>(FGraphic.get());
}

void TPicture::LoadFromFile(const std::string& FileName) {
    const std::string Ext = AnsiLowerCase(ExtractFileExt(FileName));
    std::unique_ptr<TGraphic> NewGraphic;
    if (Ext == ".bmp") NewGraphic = std::make_unique<TBitmap>();
    else if (Ext == ".jpg" || Ext == ".jpeg") NewGraphic = std::make_unique<TJPEGImage>();
    else if (Ext == ".ico") NewGraphic = std::make_unique<TIcon>();
    else if (Ext == ".wmf" || Ext == ".emf") NewGraphic = std::make_unique<TMetafile>();
    else  // the extension as the file name has it: "(.GIF)" for "SKIN.GIF"
        throw EInvalidGraphic("Unknown picture file extension (." + ExtractFileExt(FileName).substr(Ext.empty() ? 0 : 1) + ")");
    NewGraphic->LoadFromFile(FileName);
    SetGraphic(std::move(NewGraphic));
}

void TPicture::LoadJpegOrBitmapFromFile(const std::string& FileName, long long MaxSide) {
    OrOutOfMemory([&] {
        long long FileSize = 0;
        const std::string Head = ReadFileStart(FileName, kBmpHeadBytes, FileSize);
        std::unique_ptr<TGraphic> NewGraphic;
        // The size is checked before the pixels are read: a JPEG's loading reads its header only, and a
        // bitmap's headers are read here first (its own loading tells what is wrong with them).
        if (IsJpeg(Head)) {
            NewGraphic = std::make_unique<TJPEGImage>();
            NewGraphic->LoadFromBytes(ReadFileBytes(FileName));
            if (NewGraphic->Width() > MaxSide || NewGraphic->Height() > MaxSide)
                throw EInvalidGraphic("JPEG image is too large");
        } else {
            TBmpLayout Layout;
            std::string Error;
            if (FileSize <= 0xFFFFFFFFLL && ParseBmpLayout(Head, Layout, Error, static_cast<size_t>(FileSize)) &&
                (Layout.Width > MaxSide || Layout.Height > MaxSide))
                throw EInvalidGraphic("Bitmap image is too large");
            NewGraphic = std::make_unique<TBitmap>();
            NewGraphic->LoadFromFile(FileName);
        }
        SetGraphic(std::move(NewGraphic));
    });
}

std::unique_ptr<TGraphic> TPicture::ReleaseGraphic() {
    Materialize();
    std::unique_ptr<TGraphic> Graphic = std::move(FGraphic);
    if (Graphic) Graphic->OnChange = nullptr;
    if (OnChange) OnChange();
    return Graphic;
}

void TPicture::LoadFromResourceName(HINSTANCE Instance, const std::string& ResName) {
    if (!FindResourceA(Instance, ResName.c_str(), MAKEINTRESOURCEA(10)))  // RT_RCDATA
        throw EInvalidGraphic("Resource " + ResName + " not found");
    Adopt(nullptr);
    FResourceInstance = Instance;
    FResourceName = ResName;
    if (OnChange) OnChange();
}

void TPicture::Assign(const TPicture* Source) {
    std::unique_ptr<TGraphic> Copy;
    OrOutOfMemory([&] { Copy = Source && Source->Graphic() ? Source->Graphic()->Clone() : nullptr; });
    SetGraphic(std::move(Copy));
}
