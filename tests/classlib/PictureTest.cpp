// Pictures written and read back: BMP saving, icons, metafiles, lazy and scaled JPEG decoding, and
// an image's own canvas.
#include <gtest/gtest.h>

#include <new>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>

#include "BmpFormat.h"
#include "ExtCtrls.h"
#include "TestPictures.h"
#include "TestSupport.h"

namespace {
std::string Asset(const std::string& Name) { return WindowsPath(std::string(SOURCE_DIR) + "/resources/assets/" + Name); }

void WriteFile(const std::string& Path, const std::string& Data) { std::ofstream(Path, std::ios::binary) << Data; }

void Put16(std::string& D, unsigned V) { D += {static_cast<char>(V), static_cast<char>(V >> 8)}; }
void Put32(std::string& D, unsigned V) {
    Put16(D, V & 0xFFFF);
    Put16(D, V >> 16);
}

COLORREF PixelAt(TBitmap& Bitmap, int X, int Y) {
    const int Bytes = Bitmap.PixelFormat() == pf24bit ? 3 : 4;
    const unsigned char* P = Bitmap.ScanLine(Y) + X * Bytes;
    return RGB(P[2], P[1], P[0]);
}

::testing::AssertionResult Near(COLORREF Expected, COLORREF Actual, int Tolerance = 40) {
    for (int Shift : {0, 8, 16})
        if (std::abs(static_cast<int>((Expected >> Shift) & 0xFF) - static_cast<int>((Actual >> Shift) & 0xFF)) > Tolerance)
            return ::testing::AssertionFailure() << std::hex << "expected 0x" << Expected << ", got 0x" << Actual;
    return ::testing::AssertionSuccess();
}

// A white 24-bit bitmap that a graphic has been drawn into, stretched over all of it.
std::unique_ptr<TBitmap> DrawnInto(TGraphic* Graphic, int Width, int Height) {
    auto Target = std::make_unique<TBitmap>();
    Target->SetPixelFormat(pf24bit);
    Target->SetSize(Width, Height);
    Target->Canvas()->StretchDraw(Rect(0, 0, Width, Height), Graphic);
    return Target;
}

// A 24-bit icon image of one colour; mask bits set on its left half (and black colour bits, which the
// screen is XORed with) make that half transparent.
std::string IconImage(int Side, COLORREF Color, bool LeftHalfClear) {
    std::string D;
    for (unsigned V : {40u, static_cast<unsigned>(Side), static_cast<unsigned>(2 * Side)}) Put32(D, V);
    Put16(D, 1);
    Put16(D, 24);
    for (int I = 0; I < 6; ++I) Put32(D, 0);
    const int ColorStride = (Side * 3 + 3) / 4 * 4, MaskStride = (Side + 31) / 32 * 4;
    for (int Y = 0; Y < Side; ++Y) {
        std::string Row(ColorStride, '\0');
        for (int X = LeftHalfClear ? Side / 2 : 0; X < Side; ++X) {
            Row[X * 3] = static_cast<char>(GetBValue(Color));
            Row[X * 3 + 1] = static_cast<char>(GetGValue(Color));
            Row[X * 3 + 2] = static_cast<char>(GetRValue(Color));
        }
        D += Row;
    }
    for (int Y = 0; Y < Side; ++Y) {
        std::string Row(MaskStride, '\0');
        for (int X = 0; LeftHalfClear && X < Side / 2; ++X) Row[X / 8] |= static_cast<char>(0x80 >> (X % 8));
        D += Row;
    }
    return D;
}

std::string IconFile(const std::vector<std::string>& Images) {
    std::string D;
    Put16(D, 0);
    Put16(D, 1);
    Put16(D, static_cast<unsigned>(Images.size()));
    unsigned Offset = 6 + 16 * static_cast<unsigned>(Images.size());
    for (const std::string& Image : Images) {
        D += std::string(4, '\0');  // sizes and colour count, which GDI ignores
        Put16(D, 1);
        Put16(D, 24);
        Put32(D, static_cast<unsigned>(Image.size()));
        Put32(D, Offset);
        Offset += static_cast<unsigned>(Image.size());
    }
    for (const std::string& Image : Images) D += Image;
    return D;
}

// Every row the same.
std::string EncodeJpeg(int Width, int Height, TJpegSamples Samples, const std::vector<unsigned char>& Row) {
    return EncodeJpeg(Width, Height, Samples, [&](int, std::vector<unsigned char>& Out) { Out = Row; });
}

std::string TwoColourJpeg(int Width, int Height, COLORREF Left, COLORREF Right) {
    std::vector<unsigned char> Row;
    for (int X = 0; X < Width; ++X) {
        const COLORREF C = X < Width / 2 ? Left : Right;
        Row.insert(Row.end(), {GetRValue(C), GetGValue(C), GetBValue(C)});
    }
    return EncodeJpeg(Width, Height, jsRgb, Row);
}

std::string LoadError(const std::string& Path) {
    try {
        TPicture().LoadFromFile(Path);
    } catch (const EInvalidGraphic& E) {
        return E.Message;
    }
    return "loaded";
}
}  // namespace

// More rows than one stretch of a save or of a load, in a file with its rows from the bottom (as saved),
// one with its rows from the top, and one of 32 bits a pixel, which is held at 24.
TEST(BitmapSave, TwentyFourBitFileReadsBackWithEveryPixel) {
    TScratchFolder Folder;
    constexpr int Width = 2000, Height = 1000, Row = Width * 3;
    const auto Value = [](int X, int Y) { return static_cast<unsigned char>(Y * 3 + X * 5 + Y / 100); };
    TBitmap Bitmap;
    Bitmap.SetPixelFormat(pf24bit);
    Bitmap.SetSize(Width, Height);
    for (int Y = 0; Y < Height; ++Y)
        for (int X = 0; X < Row; ++X) Bitmap.ScanLine(Y)[X] = Value(X, Y);
    Bitmap.SaveToFile(Folder.Path() + "skin.bmp");
    const std::string Saved = ReadFileBytes(Folder.Path() + "skin.bmp");
    EXPECT_EQ(Bitmap.SaveToBytes(), Saved);
    EXPECT_EQ(14u + 40 + static_cast<size_t>(Row) * Height, Saved.size());
    std::string TopDown = Saved.substr(0, 54);
    TopDown.replace(22, 4, std::string("\x18\xFC\xFF\xFF", 4));  // -1000
    for (int Y = Height - 1; Y >= 0; --Y) TopDown += Saved.substr(54 + static_cast<size_t>(Y) * Row, Row);
    WriteBytes(Folder.Path() + "top-down.bmp", TopDown);
    // The same pixels at 32 bits, the fourth byte of each set: it is not kept.
    std::vector<unsigned char> Wide(static_cast<size_t>(Width) * 4 * Height, 0xA5);
    for (int Y = 0; Y < Height; ++Y)
        for (int X = 0; X < Row; ++X) Wide[static_cast<size_t>(Y) * Width * 4 + X / 3 * 4 + X % 3] = Value(X, Y);
    WriteBytes(Folder.Path() + "32-bit.bmp", WriteBmpFile(Width, Height, 32, Wide.data(), static_cast<size_t>(Width) * 4));

    for (const char* File : {"skin.bmp", "top-down.bmp", "32-bit.bmp"}) {
        SCOPED_TRACE(File);
        TPicture Picture;
        Picture.LoadFromFile(Folder.Path() + File);
        TBitmap* Loaded = Picture.Bitmap();
        ASSERT_EQ(Width, Loaded->Width());
        ASSERT_EQ(Height, Loaded->Height());
        EXPECT_EQ(pf24bit, Loaded->PixelFormat());
        for (int Y = 0; Y < Height; ++Y)
            for (int X = 0; X < Row; ++X) ASSERT_EQ(Value(X, Y), Loaded->ScanLine(Y)[X]) << "row " << Y << ", byte " << X;
    }

    TBmpLayout Layout;
    std::string Error;
    ASSERT_TRUE(ParseBmpLayout(Saved, Layout, Error)) << Error;
    EXPECT_FALSE(Layout.TopDown);
    EXPECT_EQ(24, Layout.BitCount);
    EXPECT_EQ(54u, Layout.BitsOffset);
}

TEST(BitmapSave, FailuresRaiseAndLeaveNoFile) {
    TScratchFolder Folder;
    TBitmap Bitmap;
    Bitmap.SetPixelFormat(pf24bit);
    Bitmap.SetSize(4, 4);
    const std::string Missing = Folder.Path() + "missing\\skin.bmp";
    try {
        Bitmap.SaveToFile(Missing);
        ADD_FAILURE() << "saved into a missing folder";
    } catch (const Exception& E) {
        EXPECT_EQ("Cannot create file \"" + Missing + "\"", E.Message);
    }
    EXPECT_FALSE(FileExists(Missing));

    TBitmap Empty;
    Empty.SetPixelFormat(pf24bit);
    EXPECT_THROW(Empty.SaveToFile(Folder.Path() + "empty.bmp"), EInvalidGraphic);
    EXPECT_FALSE(FileExists(Folder.Path() + "empty.bmp"));
}

// Memory that runs out while a picture is drawn, stretched or not, is that picture's error, which a
// conversion shows, rather than an end of the program.
TEST(Picture, RunningOutOfMemoryWhileDrawingIsThePicturesError) {
    class TGreedy : public TGraphic {
    public:
        int Width() const override { return 8; }
        int Height() const override { return 8; }
        void Draw(TCanvas*, const TRect&) override { throw std::bad_alloc(); }
        void LoadFromBytes(std::string) override {}
        std::unique_ptr<TGraphic> Clone() const override { return nullptr; }
    } Greedy;
    TBitmap Target;
    Target.SetSize(8, 8);
    for (bool Stretched : {false, true}) {
        SCOPED_TRACE(Stretched ? "stretched" : "at its own size");
        try {
            if (Stretched) Target.Canvas()->StretchDraw(Rect(0, 0, 4, 4), &Greedy);
            else Target.Canvas()->Draw(0, 0, &Greedy);
            ADD_FAILURE() << "drawn";
        } catch (const EInvalidGraphic& E) {
            EXPECT_EQ("Out of memory", E.Message);
        }
    }
}

TEST(Icon, LargestImageIsDrawnStretchedThroughItsMask) {
    TScratchFolder Folder;
    WriteFile(Folder.Path() + "two.ICO",
              IconFile({IconImage(16, RGB(0, 0, 255), false), IconImage(32, RGB(0, 255, 0), true)}));
    TPicture Picture;
    Picture.LoadFromFile(Folder.Path() + "two.ICO");
    ASSERT_TRUE(dynamic_cast<TIcon*>(Picture.Graphic()));
    EXPECT_EQ(32, Picture.Width());
    EXPECT_EQ(32, Picture.Height());
    auto Drawn = DrawnInto(Picture.Graphic(), 64, 64);
    EXPECT_EQ(RGB(0, 255, 0), PixelAt(*Drawn, 48, 32));
    EXPECT_EQ(RGB(255, 255, 255), PixelAt(*Drawn, 16, 32));  // the clear half of the mask

    Picture.LoadFromFile(Asset("mainicon.ico"));  // 16 x 16 at 4 bits, 32 and 48 at 32 bits with alpha
    EXPECT_EQ(48, Picture.Width());
}

TEST(Metafile, EnhancedAndWindowsMetafilesLoadWithTheirSizeAndDraw) {
    TScratchFolder Folder;
    const std::string Emf = FilledEmf(96, 48, RGB(255, 0, 0)), Wmf = FilledWmf(100, 50, RGB(0, 0, 255), false);
    WriteFile(Folder.Path() + "red.Emf", Emf);
    WriteFile(Folder.Path() + "plain.wmf", Wmf);
    WriteFile(Folder.Path() + "placeable.WMF", FilledWmf(100, 50, RGB(0, 0, 255), true));
    const struct {
        const char* File;
        int Width, Height;
        COLORREF Color;
    } Cases[] = {{"red.Emf", 96, 48, RGB(255, 0, 0)},
                 {"plain.wmf", 100, 50, RGB(0, 0, 255)},
                 {"placeable.WMF", 96, 48, RGB(0, 0, 255)}};
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.File);
        TPicture Picture;
        Picture.LoadFromFile(Folder.Path() + Case.File);
        ASSERT_TRUE(dynamic_cast<TMetafile*>(Picture.Graphic()));
        EXPECT_EQ(Case.Width, Picture.Width());
        EXPECT_EQ(Case.Height, Picture.Height());
        auto Drawn = DrawnInto(Picture.Graphic(), 40, 20);
        EXPECT_EQ(Case.Color, PixelAt(*Drawn, 20, 10));
        EXPECT_EQ(Case.Color, PixelAt(*Drawn, 37, 17));
    }
}

TEST(Picture, DamagedFilesOfEveryFormatRaiseInvalidGraphic) {
    TScratchFolder Folder;
    const std::string Icon = IconFile({IconImage(16, RGB(0, 0, 255), false)});
    std::string FarIcon = Icon;
    FarIcon[18] = '\x7F';  // the image's offset points past the end
    std::string Jpeg = ReadFileBytes(Asset("get1.jpg"));
    const size_t Frame = Jpeg.find("\xFF\xC0");
    ASSERT_NE(std::string::npos, Frame);
    std::string Huge = Jpeg;
    Huge.replace(Frame + 5, 4, "\xEA\x60\xEA\x60");  // 60000 x 60000
    std::string Emf;
    RECT Bounds{0, 0, 100, 100};
    HENHMETAFILE Enhanced = CloseEnhMetaFile(CreateEnhMetaFileA(nullptr, nullptr, &Bounds, nullptr));
    Emf.resize(GetEnhMetaFileBits(Enhanced, 0, nullptr));
    GetEnhMetaFileBits(Enhanced, static_cast<UINT>(Emf.size()), reinterpret_cast<BYTE*>(&Emf[0]));
    DeleteEnhMetaFile(Enhanced);
    std::string Wmf;
    HMETAFILE Windows = CloseMetaFile(CreateMetaFileA(nullptr));
    Wmf.resize(GetMetaFileBitsEx(Windows, 0, nullptr));
    GetMetaFileBitsEx(Windows, static_cast<UINT>(Wmf.size()), &Wmf[0]);
    DeleteMetaFile(Windows);
    std::string LongRecord = Wmf;
    LongRecord[18] = '\x40';  // the end record claims 64 words

    const struct {
        const char* File;
        std::string Data;
        const char* Error;
    } Cases[] = {
        {"cut.ico", Icon.substr(0, Icon.size() - 10), "Icon image is not valid"},
        {"far.ico", FarIcon, "Icon image is not valid"},
        {"cursor.ico", ReadFileBytes(Asset("hand_point.cur")), "Icon image is not valid"},
        {"cut.emf", Emf.substr(0, Emf.size() - 4), "Metafile is not valid"},
        {"text.emf", "not a metafile at all, not at all, not at all, not at all, not at all, not at all", "Metafile is not valid"},
        {"long.wmf", LongRecord, "Metafile is not valid"},
        {"unsized.wmf", Wmf, "Metafile is not valid"},  // neither placeable header nor window extent
        {"huge.jpg", Huge, "JPEG image is too large"},
        {"noise.jpeg", std::string("\xFF\xD8\xFF\xE0") + std::string(200, 'x'), "JPEG error #"},
    };
    for (const auto& Case : Cases) {
        WriteFile(Folder.Path() + Case.File, Case.Data);
        EXPECT_EQ(0u, LoadError(Folder.Path() + Case.File).find(Case.Error))
            << Case.File << ": " << LoadError(Folder.Path() + Case.File);
    }
}

TEST(Jpeg, ReducedDrawHasTheRightColoursAndFullSizeStaysAvailable) {
    TJPEGImage Jpeg;
    Jpeg.LoadFromBytes(TwoColourJpeg(480, 240, RGB(220, 30, 30), RGB(30, 30, 220)));
    EXPECT_EQ(480, Jpeg.Width());
    EXPECT_EQ(240, Jpeg.Height());
    auto Small = DrawnInto(&Jpeg, 60, 30);  // decoded at 1/8
    EXPECT_TRUE(Near(RGB(220, 30, 30), PixelAt(*Small, 10, 15)));
    EXPECT_TRUE(Near(RGB(30, 30, 220), PixelAt(*Small, 50, 15)));
    TBitmap& Full = Jpeg.Bitmap();
    EXPECT_EQ(480, Full.Width());
    EXPECT_EQ(240, Full.Height());
    EXPECT_TRUE(Near(RGB(30, 30, 220), PixelAt(Full, 470, 120)));
    auto Large = DrawnInto(&Jpeg, 960, 480);
    EXPECT_TRUE(Near(RGB(220, 30, 30), PixelAt(*Large, 10, 470)));

    // Adobe's inverted CMYK: no cyan, all magenta, no yellow, no black.
    std::vector<unsigned char> Magenta;
    for (int X = 0; X < 64; ++X) Magenta.insert(Magenta.end(), {255, 0, 255, 255});
    TJPEGImage Cmyk;
    Cmyk.LoadFromBytes(EncodeJpeg(64, 32, jsCmyk, Magenta));
    EXPECT_TRUE(Near(RGB(255, 0, 255), PixelAt(*DrawnInto(&Cmyk, 16, 8), 8, 4)));

    TPicture Original, Copy;
    Original.SetGraphic(std::make_unique<TJPEGImage>());
    Original.Graphic()->LoadFromBytes(TwoColourJpeg(64, 32, RGB(0, 200, 0), RGB(200, 200, 0)));
    Copy.Assign(&Original);
    ASSERT_TRUE(dynamic_cast<TJPEGImage*>(Copy.Graphic()));
    EXPECT_EQ(64, Copy.Width());
    EXPECT_TRUE(Near(RGB(200, 200, 0), PixelAt(*DrawnInto(Copy.Graphic(), 16, 8), 14, 4)));
}

// A photo made into a toolbar strip, decoded only in the rows the strip keeps, looks as the decode
// of every row stretched into the strip: same size, and no difference the eye could see.
TEST(Jpeg, DrawnOnceIntoAStripItLooksAsTheStretchedWholeDecode) {
    const int Width = 1600, Height = 1200, StripW = 1020, StripH = 116;
    // Soft gradients, a bright disc and fine waves: neighbouring rows differ a little, as in a photo.
    const std::string Photo = EncodeJpeg(Width, Height, jsRgb, [&](int Y, std::vector<unsigned char>& Row) {
        for (int X = 0; X < Width; ++X) {
            const double Disc = std::max(0.0, 90 - std::hypot(X - 1000.0, Y - 400.0) / 4);
            const double Waves = 20 * std::sin(X * 0.05) * std::cos(Y * 0.03);
            Row[X * 3] = static_cast<unsigned char>(std::clamp(40 + Y * 150 / Height + Disc + Waves, 0.0, 255.0));
            Row[X * 3 + 1] = static_cast<unsigned char>(std::clamp(60 + X * 120 / Width + Disc, 0.0, 255.0));
            Row[X * 3 + 2] = static_cast<unsigned char>(std::clamp(200 - Y * 100 / Height + Waves, 0.0, 255.0));
        }
    });
    TJPEGImage Whole, Once;
    Whole.LoadFromBytes(Photo);
    Once.LoadFromBytes(Photo);
    const auto Stretched = DrawnInto(&Whole, StripW, StripH);
    TBitmap Strip;
    Strip.SetPixelFormat(pf24bit);
    Strip.SetSize(StripW, StripH);
    Once.DrawOnce(Strip.Canvas(), Rect(0, 0, StripW, StripH));
    double Sum = 0;
    int Largest = 0;
    for (int Y = 0; Y < StripH; ++Y)
        for (int X = 0; X < StripW * 3; ++X) {
            const int Difference = std::abs(Stretched->ScanLine(Y)[X] - Strip.ScanLine(Y)[X]);
            Sum += Difference;
            Largest = std::max(Largest, Difference);
        }
    EXPECT_LT(Sum / (StripW * StripH * 3), 1.5) << "mean difference per colour";
    EXPECT_LT(Largest, 24);
    // The picture keeps no decode of its own from it: a later drawing decodes as before.
    EXPECT_TRUE(Near(PixelAt(*Stretched, 500, 60), PixelAt(*DrawnInto(&Once, StripW, StripH), 500, 60), 8));
}

TEST(Jpeg, TruncatedFileLoadsButRaisesWhenDrawnAndAnImageShowsNothing) {
    const std::string Whole = ReadFileBytes(Asset("get1.jpg"));
    TJPEGImage Jpeg;
    Jpeg.LoadFromBytes(Whole.substr(0, Whole.size() / 2));
    EXPECT_EQ(400, Jpeg.Width());
    for (int Attempt = 0; Attempt < 2; ++Attempt) {
        try {
            DrawnInto(&Jpeg, 100, 10);
            ADD_FAILURE() << "a truncated JPEG was drawn";
        } catch (const EInvalidGraphic& E) {
            EXPECT_EQ(0u, E.Message.find("JPEG error #")) << E.Message;
        }
    }
    TJPEGImage Once;
    Once.LoadFromBytes(Whole.substr(0, Whole.size() / 2));
    TBitmap Strip;
    Strip.SetSize(400, 4);
    EXPECT_THROW(Once.DrawOnce(Strip.Canvas(), Rect(0, 0, 400, 4)), EInvalidGraphic);

    auto* Form = new TForm(Application);
    auto* Image = CreateControl<TImage>(Form, Form, "imgCut", Bounds(0, 0, 100, 10));
    Image->Picture.SetGraphic(Jpeg.Clone());
    TBitmap Surface;
    Surface.SetSize(100, 10);
    EXPECT_NO_THROW(Image->Paint(*Surface.Canvas()));
    EXPECT_EQ(RGB(255, 255, 255), PixelAt(Surface, 50, 5));
    delete Form;
}

TEST(Image, CanvasOfAnEmptyImageIsABitmapOfItsSizeThatRepaintsTheImage) {
    auto* Form = new TForm(Application);
    Form->ApplyLayout(TFormLayout{"canvas", 60, 40, clWhite, bsNone, 0, poDesigned});
    auto* Image = CreateControl<TImage>(Form, Form, "imgDrawn", Bounds(10, 10, 30, 20));
    TCanvas* Canvas = Image->Canvas();
    auto* Bitmap = dynamic_cast<TBitmap*>(Image->Picture.Graphic());
    ASSERT_TRUE(Bitmap);
    EXPECT_EQ(30, Bitmap->Width());
    EXPECT_EQ(20, Bitmap->Height());
    EXPECT_EQ(pf24bit, Bitmap->PixelFormat());
    EXPECT_EQ(Canvas, Image->Canvas());
    Form->Show();
    PumpFor(50);
    RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);

    Canvas->Brush.Color = clRed;
    Canvas->FillRect(Rect(0, 0, 30, 20));
    UpdateWindow(Form->Handle());  // paints only what the drawing invalidated
    HDC DC = GetDC(Form->Handle());
    EXPECT_EQ(RGB(255, 0, 0), GetPixel(DC, 25, 20));
    EXPECT_EQ(RGB(255, 255, 255), GetPixel(DC, 5, 5));
    ReleaseDC(Form->Handle(), DC);

    Image->Picture.LoadFromFile(Asset("get1.jpg"));
    try {
        Image->Canvas();
        ADD_FAILURE() << "a JPEG image gave a canvas";
    } catch (const EInvalidOperation& E) {
        EXPECT_EQ("Can only modify an image if it contains a bitmap", E.Message);
    }
    TBitmap* Replaced = Image->Picture.Bitmap();  // the JPEG makes way for an empty bitmap
    EXPECT_EQ(Replaced, Image->Picture.Graphic());
    EXPECT_EQ(0, Replaced->Width());
    delete Form;
}

// Files made to hold the decoder for seconds fail at once as damaged pictures do, and those that claim
// more than the picture budget as too large; real pictures of the same kinds up to the budget still
// draw. The work of a JPEG is bounded at its edges: in scans, and in blocks walked (an 8000 x 8000
// 4:2:0 scan walks 1.5 million).
TEST(Picture, HostileFilesFailAsDamagedOnesAndRealOnesStillDraw) {
    TScratchFolder Folder;
    const int ScansAtTheBound = static_cast<int>(TJPEGImage::kMaxBlocks / 1500000);
    const struct {
        const char* File;
        std::string Data;
        const char* Error;  // empty: loads and draws grey
    } Cases[] = {
        {"progressive.jpg", DcOnlyJpeg(64, 64, 12), ""},
        {"photo-sized.jpg", DcOnlyJpeg(8000, 8000, 1), ""},
        {"100-scans.jpg", DcOnlyJpeg(64, 64, 100), ""},
        {"101-scans.jpg", DcOnlyJpeg(64, 64, 101), "JPEG error #"},
        {"work-at-the-bound.jpg", DcOnlyJpeg(8000, 8000, ScansAtTheBound), ""},
        {"work-past-the-bound.jpg", DcOnlyJpeg(8000, 8000, ScansAtTheBound + 1), "JPEG error #"},
        {"arithmetic.jpg", EncodeJpeg(64, 64, jsRgb, [](int, std::vector<unsigned char>& Row) {
             std::fill(Row.begin(), Row.end(), 128); }, 95, true, true), "JPEG error #"},
        {"huge-progressive.jpg", DcOnlyJpeg(16384, 8192, 1), "JPEG image is too large"},
        {"past-the-budget.jpg", DcOnlyJpeg(8000, 8008, 1), "JPEG image is too large"},
        {"huge-rle.bmp", EmptyRle8Bmp(16384, 8192), "Bitmap image is too large"},
        {"past-the-budget.bmp", EmptyRle8Bmp(8008, 8000), "Bitmap image is too large"},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.File);
        WriteFile(Folder.Path() + Case.File, Case.Data);
        std::string Error;
        COLORREF Centre = 0;
        try {
            TPicture Picture;
            Picture.LoadFromFile(Folder.Path() + Case.File);
            Centre = PixelAt(*DrawnInto(Picture.Graphic(), 100, 50), 50, 25);
        } catch (const EInvalidGraphic& E) {
            Error = E.Message;
        }
        if (*Case.Error) {
            EXPECT_EQ(0u, Error.find(Case.Error)) << Error;
        } else {
            EXPECT_EQ("", Error);
            EXPECT_TRUE(Near(RGB(128, 128, 128), Centre, 4));
        }
    }
}
