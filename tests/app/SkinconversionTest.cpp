// Turning pictures into Skin files and pointing the toolbar values at them, on the real file system
// and registry.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "Appfolder.h"
#include "Skinconversion.h"
#include "Selectform.h"
#include "TestPictures.h"
#include "TestSupport.h"
#include "ToolbarValues.h"

namespace {
const TRgb kRed{255, 0, 0}, kBlue{0, 0, 255};

std::vector<std::string> SkinFilesInAppFolder() {
    std::vector<std::string> Names;
    WIN32_FIND_DATAA Found;
    HANDLE Search = FindFirstFileA((GetAppFolder() + "*.skin").c_str(), &Found);
    if (Search == INVALID_HANDLE_VALUE) return Names;
    do Names.push_back(Found.cFileName);
    while (FindNextFileA(Search, &Found));
    FindClose(Search);
    return Names;
}

// Each test starts with no Skin file and ends leaving none.
class Conversion : public testing::Test {
protected:
    void SetUp() override { DeleteSkinFiles(); }
    void TearDown() override { DeleteSkinFiles(); }
    TScratchFolder Folder;
    std::string App = GetAppFolder();
};

// A picture of two halves, red on the left and blue on the right.
std::string WriteHalves(const std::string& Path, int Width, int Height) {
    WriteBmp24(Path, Width, Height, [Width](int X, int) { return X < Width / 2 ? kRed : kBlue; });
    return Path;
}
}  // namespace

TEST_F(Conversion, StretchedSkinIsTheScreenWidthLessFourByTheHeight) {
    const std::string Picture = WriteHalves(Folder.Path() + "halves.bmp", 40, 20);
    TBoxAnswerer Boxes;
    ASSERT_TRUE(ConvertPictureToSkin(frmSelect, Picture, App + "skin77.skin", true, 116));
    EXPECT_TRUE(Boxes.Asked.empty());
    const TBmpFile Skin = ReadBmp(App + "skin77.skin");
    ASSERT_TRUE(Skin.Valid);
    EXPECT_EQ(24, Skin.BitCount);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN) - 4, Skin.Width);
    ASSERT_EQ(116, Skin.Height);
    EXPECT_EQ(kRed, Skin.At(5, 0));
    EXPECT_EQ(kRed, Skin.At(Skin.Width / 2 - 30, 115));
    EXPECT_EQ(kBlue, Skin.At(Skin.Width / 2 + 30, 60));
    EXPECT_EQ(kBlue, Skin.At(Skin.Width - 1, 115));
}

TEST_F(Conversion, TiledSkinIsThePictureAtItsOwnSize) {
    const std::string Picture = Folder.Path() + "pattern.bmp";
    auto Colour = [](int X, int Y) { return TRgb{static_cast<uint8_t>(X * 5), static_cast<uint8_t>(Y * 6), 77}; };
    WriteBmp24(Picture, 50, 40, Colour);
    TBoxAnswerer Boxes;
    ASSERT_TRUE(ConvertPictureToSkin(frmSelect, Picture, App + "skin5.skin", false, 0));  // height unused
    const TBmpFile Skin = ReadBmp(App + "skin5.skin");
    ASSERT_TRUE(Skin.Valid);
    EXPECT_EQ(24, Skin.BitCount);
    ASSERT_EQ(50, Skin.Width);
    ASSERT_EQ(40, Skin.Height);
    int Wrong = 0;
    for (int Y = 0; Y < 40; ++Y)
        for (int X = 0; X < 50; ++X) Wrong += !(Skin.At(X, Y) == Colour(X, Y));
    EXPECT_EQ(0, Wrong);
}

TEST_F(Conversion, AJpegBecomesATwentyFourBitSkin) {
    const std::string Picture = Folder.Path() + "button.JPG";
    WriteBytes(Picture, ReadResourceBytes(Application->Instance(), "IMGGET1"));
    TBoxAnswerer Boxes;
    ASSERT_TRUE(ConvertPictureToSkin(frmSelect, Picture, App + "skin1.skin", false, 116));
    const TBmpFile Skin = ReadBmp(App + "skin1.skin");
    EXPECT_EQ(24, Skin.BitCount);
    EXPECT_EQ(400, Skin.Width);
    EXPECT_EQ(40, Skin.Height);
}

TEST_F(Conversion, ASuccessLeavesExactlyTheNewSkinFile) {
    for (const char* Old : {"skin1.skin", "skin2.skin", "SKIN3.SKIN"}) std::ofstream(App + Old) << "old";
    std::ofstream(App + "skin12.skin") << "old, same name as the new one";
    const std::string Picture = WriteHalves(Folder.Path() + "halves.bmp", 8, 8);
    TBoxAnswerer Boxes;
    ASSERT_TRUE(ConvertPictureToSkin(frmSelect, Picture, App + "skin12.skin", false, 116));
    ASSERT_EQ(std::vector<std::string>{"skin12.skin"}, SkinFilesInAppFolder());
    EXPECT_EQ(8, ReadBmp(App + "skin12.skin").Width);
}

TEST_F(Conversion, FailuresShowOneErrorBoxAndKeepTheOldSkin) {
    const std::string Good = WriteHalves(Folder.Path() + "good.bmp", 8, 8);
    const std::string Gif = Folder.Path() + "anim.gif";
    WriteBytes(Gif, "GIF89a");
    const std::string Jpeg = ReadResourceBytes(Application->Instance(), "IMGGET1");
    const std::string CutJpeg = Folder.Path() + "cut.jpg";
    WriteBytes(CutJpeg, Jpeg.substr(0, Jpeg.size() / 2));
    const std::string NotAJpeg = Folder.Path() + "noise.jpg";
    WriteBytes(NotAJpeg, "\xFF\xD8\xFF\xE0 this is no picture");
    const std::string Damaged = Folder.Path() + "damaged.bmp";
    WriteBytes(Damaged, ReadBytes(Good).substr(0, 30));
    // Headers that claim 100000 x 100000 pixels, in a tiny file.
    const std::string Huge = Folder.Path() + "huge.bmp";
    std::string HugeBytes = ReadBytes(Good);
    HugeBytes.replace(18, 8, std::string("\xA0\x86\x01\x00\xA0\x86\x01\x00", 8));
    WriteBytes(Huge, HugeBytes);
    // A scan written a thousand times, and a progressive frame of 16384 x 8192 in 400 KB.
    const std::string Scans = Folder.Path() + "scans.jpg";
    WriteBytes(Scans, DcOnlyJpeg(400, 400, 1000));
    const std::string Claims = Folder.Path() + "claims.jpg";
    WriteBytes(Claims, DcOnlyJpeg(16384, 8192, 1));

    const struct {
        std::string Picture;
        std::string SkinFile;
        bool Stretched;
        int Height;
        std::string Message;  // the start of the box's text
    } Cases[] = {
        {Gif, App + "skin9.skin", true, 116, "Unknown picture file extension (.gif)"},
        {Folder.Path() + "missing.bmp", App + "skin9.skin", true, 116, ""},
        {CutJpeg, App + "skin9.skin", true, 116, "JPEG error #"},
        {CutJpeg, App + "skin9.skin", false, 116, "JPEG error #"},
        {NotAJpeg, App + "skin9.skin", true, 116, "JPEG error #"},
        {Damaged, App + "skin9.skin", true, 116, "Bitmap image is not valid"},
        {Huge, App + "skin9.skin", false, 116, "Bitmap image is too large"},
        {Scans, App + "skin9.skin", true, 116, "JPEG error #"},
        {Scans, App + "skin9.skin", false, 116, "JPEG error #"},
        {Claims, App + "skin9.skin", true, 116, "JPEG image is too large"},
        {Claims, App + "skin9.skin", false, 116, "JPEG image is too large"},
        {Good, App + "skin9.skin", true, 0, "The skin height must be at least 1 pixel."},
        {Good, App + "skin9.skin", true, -5, "The skin height must be at least 1 pixel."},
        {Good, App + "no such folder\\skin9.skin", true, 116, "Cannot create file"},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Picture + " -> " + Case.SkinFile + " height " + std::to_string(Case.Height));
        DeleteSkinFiles();
        std::ofstream(App + "skin42.skin") << "the old skin";
        TBoxAnswerer Boxes;
        EXPECT_FALSE(ConvertPictureToSkin(frmSelect, Case.Picture, Case.SkinFile, Case.Stretched, Case.Height));
        ASSERT_EQ(1u, Boxes.Asked.size());
        EXPECT_EQ(0u, Boxes.Asked[0].Text.find(Case.Message)) << Boxes.Asked[0].Text;
        EXPECT_FALSE(Boxes.Asked[0].Text.empty());
        EXPECT_EQ("Velmora!", Boxes.Asked[0].Caption);
        EXPECT_EQ(static_cast<unsigned>(MB_ICONERROR), Boxes.Asked[0].Flags);
        EXPECT_EQ(frmSelect->Handle(), Boxes.Asked[0].Owner);
        EXPECT_EQ(std::vector<std::string>{"skin42.skin"}, SkinFilesInAppFolder());
        EXPECT_EQ("the old skin", ReadBytes(App + "skin42.skin"));
    }
}

namespace {
class ToolbarValues : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(ClearToolbarValues()); }
};
}  // namespace

TEST_F(ToolbarValues, BothHoldThePathWithItsTerminatingZero) {
    const std::string Path = "C:\\Program Files\\Velmora3\\skin1234.skin";
    ASSERT_TRUE(SetToolbarBitmap(Path));
    for (const char* Name : {"BackBitmap", "BackBitmapIE5"}) {
        DWORD Type = 0;
        EXPECT_EQ(Path + std::string(1, '\0'), ToolbarValueData(Name, &Type)) << Name;
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), Type) << Name;
    }
}

TEST_F(ToolbarValues, AnEmptyPathDeletesBothAndSucceedsAgainWhenTheyAreGone) {
    ASSERT_TRUE(SetToolbarBitmap("C:\\skin1.skin"));
    EXPECT_TRUE(SetToolbarBitmap(""));
    EXPECT_EQ("<missing>", ToolbarValueData("BackBitmap"));
    EXPECT_EQ("<missing>", ToolbarValueData("BackBitmapIE5"));
    EXPECT_TRUE(SetToolbarBitmap(""));
}

// Without the key there is nothing to remove, but a skin is set all the same: the key is made.
TEST_F(ToolbarValues, WithoutTheToolbarKeyASkinIsSetAndNothingRemoved) {
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyA(HKEY_CURRENT_USER, kToolbarKey));
    EXPECT_FALSE(SetToolbarBitmap(""));
    EXPECT_EQ("<no key>", ToolbarValueData("BackBitmap"));
    EXPECT_TRUE(SetToolbarBitmap("C:\\skin1.skin"));
    for (const char* Name : {"BackBitmap", "BackBitmapIE5"})
        EXPECT_EQ(std::string("C:\\skin1.skin") + '\0', ToolbarValueData(Name)) << Name;
}
