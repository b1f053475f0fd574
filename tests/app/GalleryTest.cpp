// The gallery's downloads against the sample site: the category and gallery lists, previews through
// the cache, applying a skin, and lists whose names try to leave the caches. The operations are
// called directly, as the status dialog calls them; the dialog itself is not shown.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "Getform.h"
#include "Getstatusform.h"
#include "Globalfunctions.h"
#include "Sysutils.h"
#include "TestPictures.h"
#include "TestSupport.h"
#include "ToolbarValues.h"

namespace {
const char* const kTestLists = "/programs/velmora3/gallery/test/";

std::string SiteInfo() {
    const char* Info = std::getenv("VELMORA_SITE_INFO");
    return Info ? Info : "";
}

// Each test starts from an empty gallery and empty caches of "Test Skins", as an opening leaves them.
class GalleryDownloads : public testing::Test {
protected:
    void SetUp() override {
        if (SiteInfo().empty()) GTEST_SKIP() << "needs the sample site (run through CTest)";
        Site = "http://127.0.0.1:" + SiteFile("http-port");
        F = frmGet;
        for (TLabel* Label : F->CategoryLabels) {
            Label->SetCaption("");
            Label->Hide();
            Label->SetEnabled(true);
        }
        for (TLabel* Label : F->PageLabels) Label->Hide();
        F->ClearGallery();
        F->RequestError = false;
        frmGetStatus->Aborted = false;
        EmptyFolder(Previews());
        EmptyFolder(Skins());
    }
    void TearDown() override {
        F->txtHeight->SetText("116");
        DeleteSkinFiles();
    }
    std::string Previews() const { return GetAppFolder() + "Previews\\TestSkins\\"; }
    std::string Skins() const { return GetAppFolder() + "Skins\\TestSkins\\"; }
    // The test category: "Test Skins" with its 7 skins.
    void OpenTestSkins() {
        F->CatListUrl = Site + kTestLists + "one-category.txt";
        ASSERT_TRUE(F->LoadCategoryList());
        ASSERT_TRUE(F->LoadCategory(0));
    }
    // The requests the site logged from now on.
    size_t LogMark() const { return SiteLog().size(); }
    int RequestsSince(size_t Mark) const {
        const std::string Log = SiteLog().substr(Mark);
        int Count = 0;
        for (size_t At = Log.find("--- request "); At != std::string::npos; At = Log.find("--- request ", At + 1))
            ++Count;
        return Count;
    }
    std::string Site;
    TfrmGet* F = nullptr;
};
}  // namespace

TEST_F(GalleryDownloads, CategoryListsFillTheLabelsUpToTheLimit) {
    F->CatListUrl = Site + "/programs/velmora3/gallery/categories.txt";
    ASSERT_TRUE(F->LoadCategoryList());
    const char* const Names[] = {"Nature", "Sci-Fi & Space", "Abstract Art", "Cars & Bikes", "Holidays & Seasons"};
    for (int J = 0; J < 5; ++J) {
        SCOPED_TRACE(J);
        EXPECT_EQ(Names[J], F->CategoryLabels[J]->Caption());
        EXPECT_TRUE(F->CategoryLabels[J]->Visible());
    }
    EXPECT_EQ(Site + "/programs/velmora3/gallery/nature/gallery.txt", CategoryUrls[0]);
    EXPECT_FALSE(F->CategoryLabels[5]->Visible());
    EXPECT_EQ("", F->CategoryLabels[5]->Caption());

    F->CatListUrl = Site + kTestLists + "categories.txt";
    ASSERT_TRUE(F->LoadCategoryList());
    EXPECT_EQ("Test Skins", F->CategoryLabels[0]->Caption());
    EXPECT_EQ("Category 102", F->CategoryLabels[101]->Caption());
    EXPECT_TRUE(F->CategoryLabels[101]->Visible());
    EXPECT_EQ(0, F->CategoryIndex);

    // The same list after as many lines as the largest list can hold is read in milliseconds: the
    // program must not stand still between two downloads (an Abort would be lost).
    F->CatListUrl = Site + "/_test/padded/262144" + kTestLists + "categories.txt";
    const DWORD Start = GetTickCount();
    ASSERT_TRUE(F->LoadCategoryList());
    EXPECT_LT(GetTickCount() - Start, 250u);
    EXPECT_EQ("Category 102", F->CategoryLabels[101]->Caption());
    EXPECT_EQ(Site + "/programs/velmora3/gallery/nature/gallery.txt", CategoryUrls[1]);

    // A failed download changes nothing and records no error.
    for (const char* Path : {"/_test/status/404", "/_test/cut/4000"}) {
        F->CatListUrl = Site + Path;
        EXPECT_FALSE(F->LoadCategoryList());
        EXPECT_EQ("Test Skins", F->CategoryLabels[0]->Caption());
    }
    EXPECT_FALSE(F->RequestError);
}

TEST_F(GalleryDownloads, PagesShowPreviewsFromTheCache) {
    OpenTestSkins();
    for (int I = 0; I < kPageCount; ++I) EXPECT_EQ(I < 3, F->PageLabels[I]->Visible()) << "page " << I + 1;
    EXPECT_FALSE(F->CategoryLabels[0]->Enabled());

    F->ShowGalleryPage(3);  // entry 6 alone
    EXPECT_TRUE(F->PreviewImages[0]->Visible());
    for (int Slot : {1, 2}) {
        EXPECT_FALSE(F->PreviewImages[Slot]->Visible());
        EXPECT_EQ("", F->NoteLabels[Slot]->Caption());
    }
    EXPECT_FALSE(F->PageLabels[2]->Enabled());
    EXPECT_EQ(1u, FilesIn(Previews()).size());

    F->ShowGalleryPage(1);
    for (int Slot = 0; Slot < kSlotCount; ++Slot) {
        EXPECT_TRUE(F->PreviewImages[Slot]->Visible());
        EXPECT_EQ(398, F->PreviewImages[Slot]->Picture.Width());
        EXPECT_EQ(GalleryEntries[Slot].CourtesyMessage, F->NoteLabels[Slot]->Caption());
    }
    EXPECT_TRUE(F->PageLabels[2]->Enabled());
    EXPECT_FALSE(F->PageLabels[0]->Enabled());
    EXPECT_EQ(4u, FilesIn(Previews()).size());

    // Shown again, every preview comes from the cache.
    const size_t Mark = LogMark();
    F->ShowGalleryPage(1);
    EXPECT_EQ(0, RequestsSince(Mark));
    for (TImage* Preview : F->PreviewImages) EXPECT_TRUE(Preview->Visible());

    // A failed preview leaves no file behind and records its error.
    GalleryEntries[3].ThumbUrl = Site + "/_test/cut/4000?/x.jpg";
    F->ShowGalleryPage(2);
    EXPECT_FALSE(F->PreviewImages[0]->Visible());
    EXPECT_TRUE(F->RequestError);
    EXPECT_FALSE(FileExists(Previews() + "x.jpg"));
}

TEST_F(GalleryDownloads, ApplyingWritesOneSkinAndBothToolbarValues) {
    ASSERT_TRUE(ClearToolbarValues());
    DeleteSkinFiles();
    OpenTestSkins();
    TBoxAnswerer Boxes;

    F->txtHeight->SetText("");
    EXPECT_THROW(F->DownloadAndApplySkin(0), EConvertError);
    EXPECT_EQ(1u, FilesIn(Skins()).size());  // the picture was cached before the conversion
    EXPECT_TRUE(FilesIn(GetAppFolder(), "*.skin").empty());

    F->txtHeight->SetText("116");
    const size_t Mark = LogMark();
    ASSERT_TRUE(F->DownloadAndApplySkin(0));
    EXPECT_EQ(0, RequestsSince(Mark));
    const std::vector<std::string> Made = FilesIn(GetAppFolder(), "*.skin");
    ASSERT_EQ(1u, Made.size());
    EXPECT_EQ(GetAppFolder() + Made[0], ToolbarValue("BackBitmap"));
    EXPECT_EQ(GetAppFolder() + Made[0], ToolbarValue("BackBitmapIE5"));
    EXPECT_EQ("100%", frmGetStatus->lblProgress->Caption());
    EXPECT_TRUE(Boxes.Asked.empty());
}

// A gallery skin is a JPEG or a bitmap, whatever its name: a metafile or an arithmetic-coded JPEG is
// told as the conversion's error, and the skin applied before stays with the toolbar values.
TEST_F(GalleryDownloads, ASkinThatIsNoJpegOrBitmapKeepsTheOldSkin) {
    ASSERT_TRUE(ClearToolbarValues());
    OpenTestSkins();
    TBoxAnswerer Boxes;
    ASSERT_TRUE(F->DownloadAndApplySkin(0));
    const std::vector<std::string> Before = FilesIn(GetAppFolder(), "*.skin");
    const std::string Value = ToolbarValue("BackBitmap");
    const std::string Served = SiteInfo() + "\\root\\hostile\\";
    CreateDirectoryA(Served.c_str(), nullptr);
    const struct {
        const char* File;
        std::string Data;
    } Cases[] = {
        {"skin.wmf", FilledWmf(1000, 120, RGB(255, 0, 0), true)},
        {"skin.emf", FilledEmf(1000, 120, RGB(255, 0, 0))},
        {"skin.jpg", EncodeJpeg(1000, 120, jsRgb, [](int, std::vector<unsigned char>& Row) {
             std::fill(Row.begin(), Row.end(), 128); }, 95, false, true)},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.File);
        WriteBytes(Served + Case.File, Case.Data);
        GalleryEntries[1].SkinUrl = Site + "/hostile/" + Case.File;
        Boxes.Asked.clear();
        EXPECT_FALSE(F->DownloadAndApplySkin(1));
        ASSERT_EQ(1u, Boxes.Asked.size());
        EXPECT_EQ(static_cast<unsigned>(MB_ICONERROR), Boxes.Asked[0].Flags);
        EXPECT_EQ(Before, FilesIn(GetAppFolder(), "*.skin"));
        EXPECT_EQ(Value, ToolbarValue("BackBitmap"));
    }
}

TEST_F(GalleryDownloads, HostileNamesWriteNothingOutsideTheCaches) {
    OpenTestSkins();
    const std::string Thumb = GalleryEntries[0].ThumbUrl, Skin = GalleryEntries[0].SkinUrl;
    // The site ignores the query, so each of these would fetch a real picture.
    GalleryEntries[0].ThumbUrl = Thumb + "?/..\\..\\..\\evil.jpg";
    GalleryEntries[1].ThumbUrl = Thumb + "?/C:evil.jpg";
    GalleryEntries[2].ThumbUrl = Thumb + "?/..";
    GalleryEntries[0].SkinUrl = Skin + "?/..\\..\\evil.jpg";
    const size_t Mark = LogMark();
    F->ShowGalleryPage(1);
    for (TImage* Preview : F->PreviewImages) EXPECT_FALSE(Preview->Visible());
    EXPECT_FALSE(F->DownloadAndApplySkin(0));

    // A category named ".." would be the cache folder itself.
    F->CategoryLabels[0]->SetCaption("..");
    GalleryEntries[3].ThumbUrl = Thumb;
    EXPECT_FALSE(F->DownloadPreview(Thumb, 0));

    EXPECT_EQ(0, RequestsSince(Mark));
    const std::string App = GetAppFolder();
    for (const std::string& Folder : {App, App + "..\\", App + "Previews\\", App + "Skins\\", Previews(), Skins(),
                                      std::string("C:\\")})
        EXPECT_TRUE(FilesIn(Folder, "*evil*").empty()) << Folder;
    EXPECT_TRUE(FilesIn(Previews()).empty());
    EXPECT_TRUE(FilesIn(App, "*.skin").empty());
}

// Previews a hostile site made to hold the decoder (one scan written a thousand times, arithmetic
// coding), to claim hundreds of megabytes or to be played as a metafile (its name says .wmf or .emf)
// leave their slots hidden, first from the site and then from the cache, where they stay, as damaged
// pictures do; so does a picture larger than a thumbnail can be. A thumbnail up to that size shows.
TEST_F(GalleryDownloads, PreviewsThatCannotBeDecodedLeaveTheirSlotsHidden) {
    OpenTestSkins();
    const std::string Served = SiteInfo() + "\\root\\hostile\\";
    CreateDirectoryA(Served.c_str(), nullptr);
    const auto Grey = [](int, std::vector<unsigned char>& Row) { std::fill(Row.begin(), Row.end(), 128); };
    const struct {
        const char* File;
        std::string Data;
        bool Shows;
    } Cases[] = {
        {"scans.jpg", DcOnlyJpeg(398, 58, 1000), false},
        {"claims.jpg", DcOnlyJpeg(16384, 8192, 1), false},
        {"claims.bmp", EmptyRle8Bmp(16384, 8192), false},
        {"metafile.wmf", FilledWmf(398, 58, RGB(255, 0, 0), true), false},
        {"metafile.emf", FilledEmf(398, 58, RGB(255, 0, 0)), false},
        {"arithmetic.jpg", RepeatedFirstScan(EncodeJpeg(64, 64, jsRgb, Grey, 95, true, true), 2048, 58, 99), false},
        {"photo-sized.bmp", EmptyRle8Bmp(8000, 8000), false},
        {"widest.jpg", EncodeJpeg(2048, 58, jsRgb, Grey), true},
        {"too-wide.jpg", EncodeJpeg(2049, 58, jsRgb, Grey), false},
    };
    for (int First = 0; First < static_cast<int>(std::size(Cases)); First += kSlotCount) {
        for (int Slot = 0; Slot < kSlotCount; ++Slot) {
            WriteBytes(Served + Cases[First + Slot].File, Cases[First + Slot].Data);
            GalleryEntries[Slot].ThumbUrl = Site + "/hostile/" + Cases[First + Slot].File;
        }
        for (const char* Visit : {"from the site", "from the cache"}) {
            F->ShowGalleryPage(1);
            for (int Slot = 0; Slot < kSlotCount; ++Slot) {
                const auto& Case = Cases[First + Slot];
                SCOPED_TRACE(std::string(Case.File) + ", " + Visit);
                EXPECT_EQ(Case.Shows, F->PreviewImages[Slot]->Visible());
                if (!Case.Shows) EXPECT_EQ("", F->NoteLabels[Slot]->Caption());
                EXPECT_EQ(Case.Data, WholeFile(Previews() + Case.File));
            }
        }
    }
    EXPECT_FALSE(F->RequestError);
}
