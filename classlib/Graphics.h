// Colours, fonts, brushes, pens, the canvas and the picture classes of our class library.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "Classes.h"
#include "PictureBudget.h"
#include "Sysutils.h"

// A colour is 0x00BBGGRR, or 0x80000000 | a system colour index.
using TColor = int;
constexpr TColor clBlack = 0x000000, clWhite = 0xFFFFFF, clRed = 0x0000FF, clYellow = 0x00FFFF,
                 clSilver = 0xC0C0C0, clGray = 0x808080, clBlue = 0xFF0000, clNavy = 0x800000,
                 clLime = 0x00FF00;
constexpr TColor clBtnFace = static_cast<TColor>(0x80000000 | COLOR_BTNFACE);
constexpr TColor clBtnText = static_cast<TColor>(0x80000000 | COLOR_BTNTEXT);
constexpr TColor clWindow = static_cast<TColor>(0x80000000 | COLOR_WINDOW);
constexpr TColor clWindowText = static_cast<TColor>(0x80000000 | COLOR_WINDOWTEXT);
COLORREF ColorToRGB(TColor Color);

using TFontStyles = unsigned;
constexpr TFontStyles fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8;

// A font; Height is the character height in pixels.
class TFont {
public:
    TFont() = default;
    TFont(const TFont& Other) : Name(Other.Name), Height(Other.Height), Color(Other.Color), Style(Other.Style) {}
    TFont& operator=(const TFont& Other);
    ~TFont();
    std::string Name = "MS Sans Serif";
    int Height = 11;
    TColor Color = clWindowText;
    TFontStyles Style = 0;
    HFONT Handle();  // made anew after a change

private:
    HFONT FHandle = nullptr;
    LOGFONTA FMade{};
};

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = bsSolid;
};

enum TPenStyle { psSolid, psClear };
struct TPen {
    TColor Color = clBlack;
    int Width = 1;
    TPenStyle Style = psSolid;
};

class TGraphic;

// Drawing on a device context: the canvas of a bitmap, or of a control while it is painted.
class TCanvas : public TObject {
public:
    explicit TCanvas(HDC DC = nullptr) : Handle(DC) {}
    HDC Handle;
    TFont Font;
    TBrush Brush;
    TPen Pen;
    // After each drawing call through the canvas (not through Handle).
    std::function<void()> OnChange;

    void FillRect(const TRect& R);
    void Rectangle(const TRect& R);
    void Draw(int X, int Y, TGraphic* Graphic);  // at the graphic's own size
    void StretchDraw(const TRect& R, TGraphic* Graphic);
    void TextOut(int X, int Y, const std::string& Text);
    TPoint TextExtent(const std::string& Text);

private:
    void Changed() {
        if (OnChange) OnChange();
    }
};

// A picture of some format that can draw itself.
class TGraphic : public TObject {
public:
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    bool Empty() const { return Width() == 0 || Height() == 0; }
    bool Transparent = false;
    virtual void Draw(TCanvas* Canvas, const TRect& R) = 0;  // stretched into R
    // The whole content of a file of this format; raises EInvalidGraphic when it cannot be read.
    virtual void LoadFromBytes(std::string Data) = 0;
    virtual void LoadFromFile(const std::string& FileName);
    virtual std::unique_ptr<TGraphic> Clone() const = 0;
    // When the picture changes after it was loaded: a bitmap drawn on, resized.
    std::function<void()> OnChange;
};

enum TPixelFormat { pfDevice, pf24bit, pf32bit };

// A device-independent bitmap with a canvas of its own.
class TBitmap : public TGraphic {
public:
    TBitmap() = default;
    ~TBitmap() override;
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    void SetSize(int AWidth, int AHeight);
    TPixelFormat PixelFormat() const { return FPixelFormat; }
    void SetPixelFormat(TPixelFormat Value);  // keeps the picture
    HBITMAP Handle() const { return FHandle; }
    TCanvas* Canvas();
    // First byte of row Y (rows run top to bottom); 3 or 4 bytes a pixel, blue first.
    unsigned char* ScanLine(int Y);
    int RowBytes() const;
    // The colour shown as transparent: the bottom-left pixel, unless one was set.
    TColor TransparentColor();
    void SetTransparentColor(TColor Value) {
        FTransparentColor = Value;
        FFixedTransparentColor = true;
    }

    void Draw(TCanvas* Canvas, const TRect& R) override;
    void LoadFromBytes(std::string Data) override;
    // Reads the file's rows a stretch at a time, straight into the bitmap: a large file is never held
    // beside its pixels.
    void LoadFromFile(const std::string& FileName) override;
    std::unique_ptr<TGraphic> Clone() const override;
    void Assign(const TBitmap& Source);
    // A bottom-up BMP file of 24 bits a pixel (pf24bit) or 32; raises EInvalidGraphic for an empty bitmap.
    std::string SaveToBytes() const;
    // Raises Exception when the file cannot be created or written, and then leaves no file behind.
    void SaveToFile(const std::string& FileName);

private:
    void Recreate(int AWidth, int AHeight, TPixelFormat Format, const TBitmap* CopyFrom);
    // The pixels of a file whose headers Head holds: RLE from Data, the rest from Rows(First, Count),
    // which gives Count of the file's rows from its First on.
    void LoadPixels(const struct TBmpLayout& Layout, const std::string& Head, const std::string& Data,
                    const std::function<const char*(int First, int Count)>& Rows);
    void ReleaseCanvas();
    int FWidth = 0, FHeight = 0;
    TPixelFormat FPixelFormat = pfDevice;
    HBITMAP FHandle = nullptr;
    unsigned char* FBits = nullptr;
    std::unique_ptr<TCanvas> FCanvas;
    HGDIOBJ FOldBitmap = nullptr;
    TColor FTransparentColor = clBlack;
    bool FFixedTransparentColor = false;
};

// A JPEG picture. Loading reads only its header; the pixels are decoded by libjpeg when first drawn, at
// the smallest of libjpeg's scales (1/8 to 8/8) that still covers the target, and kept for later draws.
// Decoding errors raise EInvalidGraphic "JPEG error #<libjpeg's message code>"; an arithmetic-coded
// file is one, and so is one that would make the decoder work more than kMaxScans and kMaxBlocks allow.
class TJPEGImage : public TGraphic {
public:
    // Every scan walks every block of the components it covers, whatever data it holds (an empty scan
    // too), so a decode's work is the blocks of all its scans. A progressive 8000 x 8000 photo with its
    // colour at full resolution walks 14 million in libjpeg's usual ten scans (1.5 s here); the bound
    // leaves room for encoders that write more, and its emptiest scans take half that time. Real
    // encoders write a few dozen scans at most.
    static constexpr int kMaxScans = 100;
    static constexpr long long kMaxBlocks = 8 * 3 * kMaxPicturePixels / 64;

    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    void Draw(TCanvas* Canvas, const TRect& R) override;
    void LoadFromBytes(std::string Data) override;
    std::unique_ptr<TGraphic> Clone() const override;  // shares the file's bytes, not the pixels
    TBitmap& Bitmap();  // at full size
    // Draws as Draw does, for a picture drawn once: when it is drawn to half its height or less,
    // only the rows the drawing keeps are decoded, and none is kept for a later drawing.
    void DrawOnce(TCanvas* Canvas, const TRect& R);

private:
    int EighthsFor(int Width, int Height) const;
    void Decode(int Eighths);
    void DecodeInto(TBitmap& Target, int Eighths, int Rows);
    std::shared_ptr<const std::string> FData;
    int FWidth = 0, FHeight = 0;
    TBitmap FBitmap;
    int FDecodedEighths = 0;  // scale of FBitmap: 8 is full size, 0 not decoded
    std::string FDecodeError;  // a file that failed once fails again without being decoded again
};

// An icon (.ico) of one or more images; the largest is kept.
class TIcon : public TGraphic {
public:
    TIcon() = default;
    ~TIcon() override;
    TIcon(const TIcon&) = delete;
    TIcon& operator=(const TIcon&) = delete;
    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    void Draw(TCanvas* Canvas, const TRect& R) override;
    void LoadFromBytes(std::string Data) override;
    std::unique_ptr<TGraphic> Clone() const override;

private:
    std::string FData;
    HICON FHandle = nullptr;
    int FWidth = 0, FHeight = 0;
};

// A Windows metafile (.wmf, placeable or not) or enhanced metafile (.emf), kept as an enhanced metafile.
// Its size is in pixels at 96 dots an inch.
class TMetafile : public TGraphic {
public:
    TMetafile() = default;
    ~TMetafile() override;
    TMetafile(const TMetafile&) = delete;
    TMetafile& operator=(const TMetafile&) = delete;
    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    void Draw(TCanvas* Canvas, const TRect& R) override;
    void LoadFromBytes(std::string Data) override;
    std::unique_ptr<TGraphic> Clone() const override;

private:
    std::string FData;
    HENHMETAFILE FHandle = nullptr;
    int FWidth = 0, FHeight = 0;
};

// Holds one graphic of whatever format its file had.
class TPicture : public TObject {
public:
    TGraphic* Graphic() const {
        Materialize();
        return FGraphic.get();
    }
    void SetGraphic(std::unique_ptr<TGraphic> Value);
    int Width() const { return Graphic() ? FGraphic->Width() : 0; }
    int Height() const { return Graphic() ? FGraphic->Height() : 0; }
    // Chooses the format by the file's extension: .bmp, .jpg, .jpeg, .ico, .wmf, .emf.
    void LoadFromFile(const std::string& FileName);
    // For a file from elsewhere (a web site), whose name says nothing: a JPEG or a Windows bitmap, told
    // by its content, at most MaxSide pixels wide and high. Anything else raises EInvalidGraphic before
    // any of its pixels take memory: it is never played as a metafile or shown as an icon.
    void LoadJpegOrBitmapFromFile(const std::string& FileName, long long MaxSide = kMaxPictureSide);
    // Hands the graphic over to another owner; the picture is empty afterwards.
    std::unique_ptr<TGraphic> ReleaseGraphic();
    // The graphic as a bitmap; a picture that holds none, or another kind, gets a new empty bitmap.
    TBitmap* Bitmap();
    // A picture stored in the program's resources as RCDATA (BMP or JPEG content). It is read and
    // decoded at its first use, mostly its first painting: a window that is never shown costs none.
    void LoadFromResourceName(HINSTANCE Instance, const std::string& ResName);
    void Assign(const TPicture* Source);
    std::function<void()> OnChange;

private:
    void Materialize() const;
    void Adopt(std::unique_ptr<TGraphic> Value) const;
    mutable std::unique_ptr<TGraphic> FGraphic;
    mutable HINSTANCE FResourceInstance = nullptr;  // with FResourceName: a resource not read yet
    mutable std::string FResourceName;
};

// The whole content of a file; raises Exception when it cannot be read.
std::string ReadFileBytes(const std::string& FileName);
// The first Bytes of a file (all of a shorter one), and the whole file's size; raises as ReadFileBytes.
std::string ReadFileStart(const std::string& FileName, size_t Bytes, long long& FileSize);
// The bytes of an RCDATA resource of the instance; empty when there is none.
std::string ReadResourceBytes(HINSTANCE Instance, const std::string& ResName);
