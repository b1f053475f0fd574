// Pictures: loading by extension, damaged files, transparency over other controls.
#include <gtest/gtest.h>

#include <fstream>

#include "ExtCtrls.h"
#include "TestSupport.h"

namespace {
std::string Asset(const std::string& Name) { return WindowsPath(std::string(SOURCE_DIR) + "/resources/assets/" + Name); }

void WriteFile(const std::string& Path, const std::string& Data) {
    std::ofstream(Path, std::ios::binary) << Data;
}

std::string LoadError(const std::string& Path) {
    TPicture Picture;
    try {
        Picture.LoadFromFile(Path);
    } catch (const EInvalidGraphic& E) {
        return E.Message;
    }
    return "loaded";
}
}  // namespace

TEST(Picture, LoadsBitmapsAndJpegsByExtension) {
    TPicture Picture;
    Picture.LoadFromFile(Asset("get1.jpg"));
    ASSERT_TRUE(dynamic_cast<TJPEGImage*>(Picture.Graphic()));
    EXPECT_EQ(400, Picture.Width());
    EXPECT_EQ(40, Picture.Height());
    TBitmap& Pixels = static_cast<TJPEGImage*>(Picture.Graphic())->Bitmap();
    const unsigned char* Middle = Pixels.ScanLine(20) + 3 * 5;  // silver bar at the left edge
    EXPECT_NEAR(Middle[0], Middle[2], 12);                       // grey: blue close to red
    EXPECT_GT(Middle[1], 100);

    Picture.LoadFromFile(Asset("top.bmp"));
    ASSERT_TRUE(dynamic_cast<TBitmap*>(Picture.Graphic()));
    EXPECT_EQ(100, Picture.Width());
    EXPECT_EQ(15, Picture.Height());
}

TEST(Picture, DamagedAndUnknownFilesRaiseInvalidGraphic) {
    TScratchFolder Folder;
    const std::string Bmp = ReadFileBytes(Asset("top.bmp"));
    WriteFile(Folder.Path() + "cut.bmp", Bmp.substr(0, Bmp.size() - 40));
    EXPECT_EQ("Bitmap image is not valid", LoadError(Folder.Path() + "cut.bmp"));
    // The extension as the file name has it; only the comparison ignores case.
    for (const char* Name : {"skin.gif", "SKIN.GIF", "x.Gif", "skin"}) {
        WriteFile(Folder.Path() + Name, "GIF89a");
        const std::string Name_(Name);
        const size_t Dot = Name_.find('.');
        EXPECT_EQ("Unknown picture file extension (." + (Dot == std::string::npos ? "" : Name_.substr(Dot + 1)) + ")",
                  LoadError(Folder.Path() + Name));
    }
    try {
        TPicture().LoadFromFile(Folder.Path() + "missing.bmp");
        ADD_FAILURE() << "a missing file loaded";
    } catch (const Exception&) {
    }
}

TEST(Picture, TransparentImageLetsTheControlBelowShowThroughItsBackground) {
    auto* Form = new TForm(Application);
    Form->ApplyLayout(TFormLayout{"transparency", 40, 40, clWhite, bsNone, 0, poDesigned});
    auto* Below = CreateControl<TShape>(Form, Form, "shpBelow", Bounds(0, 0, 40, 40));
    Below->Brush.Color = clBlue;
    auto* Frame = CreateControl<TImage>(Form, Form, "imgFrame", Bounds(0, 0, 1, 1));
    auto Bitmap = std::make_unique<TBitmap>();
    Bitmap->SetPixelFormat(pf24bit);
    Bitmap->SetSize(20, 20);
    Bitmap->Canvas()->Brush.Color = clRed;  // the bottom-left colour is the transparent one
    Bitmap->Canvas()->FillRect(Rect(0, 0, 20, 20));
    Bitmap->Canvas()->Brush.Color = clLime;
    Bitmap->Canvas()->FillRect(Rect(5, 5, 10, 10));
    Frame->SetAutoSize(true);
    Frame->SetTransparent(true);
    Frame->Picture.SetGraphic(std::move(Bitmap));
    EXPECT_EQ(20, Frame->Width());
    Form->Show();
    PumpFor(50);
    RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    HDC DC = GetDC(Form->Handle());
    EXPECT_EQ(RGB(0, 0, 255), GetPixel(DC, 2, 2));
    EXPECT_EQ(RGB(0, 255, 0), GetPixel(DC, 7, 7));
    ReleaseDC(Form->Handle(), DC);
    delete Form;
}
