// The gallery's status dialog against the sample site: how a request ends (text, "&OK" or not, the
// flags the gallery and the main window read), an abort in the middle of a download, and an error
// that one of the gallery's operations raises instead of reporting.
#include <gtest/gtest.h>

#include <windows.h>
#include <psapi.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>

#include "Getform.h"
#include "Getstatusform.h"
#include "Globalfunctions.h"
#include "HeldHostLookup.h"
#include "NMHTTP.h"
#include "SampleSite.h"
#include "StatusWatch.h"
#include "TestSupport.h"
#include "ToolbarValues.h"
#include "Velmoraform.h"

namespace {
class GetStatus : public testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("VELMORA_SITE_INFO")) GTEST_SKIP() << "needs the sample site (run through CTest)";
        Site = "http://127.0.0.1:" + SiteFile("http-port");
        Get("/_test/reset");
        frmVelmora->AppDataAddress = Site + "/programs/velmora3/application/appdata.txt";
        Saved.Category = frmGet->CategoryIndex;
        Saved.Entry = GalleryEntries[0];
        Saved.CategoryName = frmGet->CategoryLabels[0]->Caption();
        Saved.Height = frmGet->txtHeight->Text();
        Saved.Ticked = frmGet->chkCloseExplorerWindows->Checked();
    }
    // The gallery on Nature's first skin, the sample site's ocean picture, with no skin applied;
    // false when the toolbar values could not be cleared.
    bool ChooseOceanSkin() {
        frmGet->CategoryLabels[0]->SetCaption("Nature");
        frmGet->CategoryIndex = 0;
        frmGet->SkinIndex = 0;
        GalleryEntries[0] = GalleryEntry{};
        GalleryEntries[0].SkinUrl = Site + "/programs/velmora3/gallery/nature/ocean.jpg";
        DeleteSkinFiles();
        return ClearToolbarValues();
    }
    void TearDown() override {
        if (Site.empty()) return;
        Get("/_test/reset");
        frmVelmora->AppDataAddress = Site + "/programs/velmora3/application/appdata.txt";
        const bool MainVisible = frmVelmora->Visible();
        frmGet->FormShow(nullptr);  // empties the gallery as an opening does
        for (TLabel* Label : frmGet->CategoryLabels) Label->SetEnabled(true);
        for (TLabel* Label : frmGet->PageLabels) Label->SetEnabled(true);
        frmVelmora->SetVisible(MainVisible);
        frmGet->CategoryIndex = Saved.Category;
        GalleryEntries[0] = Saved.Entry;
        frmGet->CategoryLabels[0]->SetCaption(Saved.CategoryName);
        frmGet->txtHeight->SetText(Saved.Height);
        frmGet->chkCloseExplorerWindows->SetChecked(Saved.Ticked);
    }
    void Get(const std::string& Path) { SiteGet(Path); }
    // Makes the gallery's request the way the gallery does, and shows the dialog for it.
    TEnding Run(bool TfrmGet::*Kind, bool CloseByEnter = false) {
        frmGet->ResetRequests();
        frmGet->*Kind = true;
        return WatchWhile(frmGetStatus, [] { frmGetStatus->ShowModal(); }, nullptr, CloseByEnter);
    }
    std::string Site;
    struct {
        int Category;
        GalleryEntry Entry;
        std::string CategoryName, Height;
        bool Ticked;
    } Saved;
};

::testing::AssertionResult EndedWith(const TEnding& E, const std::string& Text, bool CloseGallery,
                                     bool InternetProblem) {
    if (!E.WaitedForClose || E.AbortStillShown)
        return ::testing::AssertionFailure() << "not waiting on \"&OK\" alone; text \"" << E.Text << "\"";
    if (E.Text != Text) return ::testing::AssertionFailure() << "text \"" << E.Text << "\", wanted \"" << Text << "\"";
    if (frmGetStatus->CloseGallery != CloseGallery || frmGetStatus->InternetProblem != InternetProblem)
        return ::testing::AssertionFailure() << "CloseGallery " << frmGetStatus->CloseGallery << ", InternetProblem "
                                             << frmGetStatus->InternetProblem;
    return ::testing::AssertionSuccess();
}
}  // namespace

TEST_F(GetStatus, ConnectEndings) {
    TBoxAnswerer Boxes;
    {
        SCOPED_TRACE("application data unreachable");
        frmVelmora->AppDataAddress = "http://127.0.0.1:1/programs/velmora3/application/appdata.txt";
        EXPECT_TRUE(EndedWith(Run(&TfrmGet::ReqConnect),
                              "Error downloading application data!\n\nPlease try again later.", true, true));
        EXPECT_FALSE(frmGetStatus->Aborted);
        frmVelmora->AppDataAddress = Site + "/programs/velmora3/application/appdata.txt";
    }
    {
        // A text larger than the largest key-value text fails as a download that did not arrive.
        SCOPED_TRACE("application data larger than a text can be");
        frmVelmora->AppDataAddress = Site + "/_test/padded/262145/programs/velmora3/application/appdata.txt";
        EXPECT_TRUE(EndedWith(Run(&TfrmGet::ReqConnect),
                              "Error downloading application data!\n\nPlease try again later.", true, true));
        frmVelmora->AppDataAddress = Site + "/programs/velmora3/application/appdata.txt";
    }
    {
        SCOPED_TRACE("gallery closed by the site");
        SetAppData("GETCLOSED_MSG", "Closed for repairs - back soon!");
        EXPECT_TRUE(EndedWith(Run(&TfrmGet::ReqConnect), "Closed for repairs - back soon!", true, false));
        Get("/_test/reset");
    }
    {
        SCOPED_TRACE("category list unreachable");
        SetAppData("REGISTERED_CATLIST", "http://127.0.0.1:1/categories.txt");
        EXPECT_TRUE(EndedWith(Run(&TfrmGet::ReqConnect),
                              "Error downloading category list!\n\nPlease try again later", true, false));
        Get("/_test/reset");
    }
    {
        SCOPED_TRACE("category list larger than a list can be");
        SetAppData("REGISTERED_CATLIST", Site + "/_test/padded/262145/programs/velmora3/gallery/categories.txt");
        EXPECT_TRUE(EndedWith(Run(&TfrmGet::ReqConnect),
                              "Error downloading category list!\n\nPlease try again later", true, false));
        Get("/_test/reset");
    }
    {
        SCOPED_TRACE("first category not on the site");
        SetAppData("REGISTERED_CATLIST", Site + "/programs/velmora3/gallery/test/missing-category.txt");
        EXPECT_TRUE(EndedWith(Run(&TfrmGet::ReqConnect), "Error changing category!", true, false));
        Get("/_test/reset");
    }
    // A preview of page 1 that fails while connecting is not reported: the gallery opens without it.
    SetAppData("REGISTERED_CATLIST", Site + "/programs/velmora3/gallery/test/broken-category.txt");
    EXPECT_TRUE(Run(&TfrmGet::ReqConnect).ClosedItself);
    EXPECT_FALSE(frmGetStatus->CloseGallery || frmGetStatus->InternetProblem);
    EXPECT_FALSE(frmGet->PreviewImages[0]->Visible());
    EXPECT_TRUE(frmGet->PreviewImages[1]->Visible());
    Get("/_test/reset");
    // The runner shows no box of its own.
    EXPECT_TRUE(Boxes.Asked.empty());
}

// Enter presses "&Abort", the default button shown while the request runs.
TEST_F(GetStatus, AbortWhileTheApplicationDataDownloads) {
    TBoxAnswerer Boxes;
    frmVelmora->AppDataAddress = Site + "/_test/slow/100000/50";
    RunLater(400, [] { PressKey(VK_RETURN); });
    const DWORD Start = GetTickCount();
    // An abort while connecting counts as an internet problem: the program restarts.
    EXPECT_TRUE(EndedWith(Run(&TfrmGet::ReqConnect), "Action Aborted!", true, true));
    EXPECT_TRUE(frmGetStatus->Aborted);
    EXPECT_LT(GetTickCount() - Start, 4000u) << "the download went on after the abort";
    EXPECT_FALSE(frmGet->ReqConnect);
    EXPECT_TRUE(Boxes.Asked.empty());
}

// An abort that comes as the dialog first paints, before the request has begun, ends every request
// as an abort during its first download would, and downloads nothing.
TEST_F(GetStatus, AnAbortBeforeTheRequestBeginsEndsItAsAnAbort) {
    TBoxAnswerer Boxes;
    const TNotifyEvent Activate = frmGetStatus->OnActivate;
    frmGetStatus->OnActivate = [&](TObject* Sender) {
        PostMessageA(frmGetStatus->btnAbort->Handle(), BM_CLICK, 0, 0);  // handled as the dialog paints
        Activate(Sender);
    };
    const struct {
        const char* Name;
        bool TfrmGet::*Kind;
        bool CloseGallery, InternetProblem;
        int CategoryIndex;  // after the request: 1 stays the one asked for, 0 the one shown before
    } Rows[] = {
        {"connect", &TfrmGet::ReqConnect, true, true, 1},
        {"category", &TfrmGet::ReqCategory, false, false, 0},
        {"page", &TfrmGet::ReqPage, false, false, 1},
        {"skin", &TfrmGet::ReqSkin, false, false, 1},
    };
    for (const auto& Row : Rows) {
        SCOPED_TRACE(Row.Name);
        frmGet->PrevCategoryIndex = 0;
        frmGet->CategoryIndex = 1;
        const size_t LogMark = SiteLog().size();
        EXPECT_TRUE(EndedWith(Run(Row.Kind), "Action Aborted!", Row.CloseGallery, Row.InternetProblem));
        EXPECT_TRUE(frmGetStatus->Aborted);
        EXPECT_EQ(Row.CategoryIndex, frmGet->CategoryIndex);
        EXPECT_EQ(LogMark, SiteLog().size()) << "a request was made after the abort";
    }
    frmGetStatus->OnActivate = Activate;
    EXPECT_TRUE(Boxes.Asked.empty());
}

// Only its buttons end the dialog while the request runs: a close request (Alt+F4, or from another
// program) is ignored then.
TEST_F(GetStatus, ACloseRequestWhileTheRequestRunsIsIgnored) {
    TBoxAnswerer Boxes;
    frmVelmora->AppDataAddress = Site + "/_test/slow/30000/50";
    RunLater(300, [] { PostMessageA(frmGetStatus->Handle(), WM_CLOSE, 0, 0); });
    const TEnding Ending = Run(&TfrmGet::ReqConnect);
    EXPECT_TRUE(Ending.WaitedForClose) << "closed without its buttons, on \"" << Ending.Text << "\"";
    EXPECT_FALSE(frmGetStatus->Aborted);
}

// While a host name is looked up the dialog repaints and Abort ends the wait at once.
TEST_F(GetStatus, AbortWhileTheHostNameIsLookedUp) {
    TBoxAnswerer Boxes;
    THeldHostLookup Held(30000);
    frmVelmora->AppDataAddress = "http://no-answer.invalid/programs/velmora3/application/appdata.txt";
    bool Repainted = false;
    RunLater(200, [] { InvalidateRect(frmGetStatus->Handle(), nullptr, TRUE); });
    RunLater(400, [&] { Repainted = !GetUpdateRect(frmGetStatus->Handle(), nullptr, FALSE); });
    RunLater(500, [] { frmGetStatus->btnAbort->Click(); });
    const DWORD Start = GetTickCount();
    EXPECT_TRUE(EndedWith(Run(&TfrmGet::ReqConnect), "Action Aborted!", true, true));
    EXPECT_LT(GetTickCount() - Start, 2000u);
    EXPECT_TRUE(Repainted);
    EXPECT_TRUE(Boxes.Asked.empty());
}

// The height is converted once the skin picture is in the cache; an empty text raises the
// conversion error, which the dialog shows like any other error and then reports as a failed apply.
TEST_F(GetStatus, EmptyHeightTextEndsAsASkinNotApplied) {
    TBoxAnswerer Boxes;
    frmGet->CategoryLabels[0]->SetCaption("Nature");
    frmGet->CategoryIndex = 0;
    GalleryEntries[0] = GalleryEntry{};
    GalleryEntries[0].SkinUrl = Site + "/programs/velmora3/gallery/nature/meadow.jpg";
    frmGet->SkinIndex = 0;
    frmGet->txtHeight->SetText("");
    const std::string Cached = GetSkinCachePath("Nature", GalleryEntries[0].SkinUrl);
    ::DeleteFileA(Cached.c_str());

    const TEnding Ending = Run(&TfrmGet::ReqSkin);
    EXPECT_TRUE(EndedWith(Ending, "Error! Skin could not be applied.", false, false));
    ASSERT_EQ(1u, Boxes.Asked.size());
    EXPECT_EQ("'' is not a valid integer value.", Boxes.Asked[0].Text);
    EXPECT_EQ(unsigned(MB_OK | MB_ICONSTOP), Boxes.Asked[0].Flags);
    EXPECT_TRUE(frmGetStatus->pnlProgress->Visible());
    EXPECT_TRUE(FileExists(Cached)) << "the skin picture was not downloaded first";
    ::DeleteFileA(Cached.c_str());
}

// The gallery opened for real: its activation makes the connect request, which shows page 1 of a
// category of 7 skins. The second opening finds every preview in the cache.
TEST_F(GetStatus, ConnectShowsPageOneAndReopeningFetchesNoCachedPictureAgain) {
    SetAppData("REGISTERED_CATLIST", Site + "/programs/velmora3/gallery/test/one-category.txt");
    EmptyFolder(GetAppFolder() + "Previews\\TestSkins\\");
    const bool MainVisible = frmVelmora->Visible();
    TfrmGet* F = frmGet;
    for (int Opening = 1; Opening <= 2; ++Opening) {
        SCOPED_TRACE("opening " + std::to_string(Opening));
        const size_t Mark = SiteLog().size();
        F->Show();
        ASSERT_TRUE(PumpUntil([&] { return F->PreviewImages[2]->Visible() && !frmGetStatus->Visible(); }, 20000))
            << frmGetStatus->lblStatus->Caption();
        EXPECT_FALSE(frmGetStatus->CloseGallery);
        EXPECT_EQ("Test Skins", F->CategoryLabels[0]->Caption());
        EXPECT_FALSE(F->CategoryLabels[0]->Enabled());  // the current category
        EXPECT_FALSE(F->CategoryLabels[1]->Visible());
        for (int Page = 0; Page < kPageCount; ++Page) EXPECT_EQ(Page < 3, F->PageLabels[Page]->Visible()) << Page;
        EXPECT_FALSE(F->PageLabels[0]->Enabled());  // page 1 is the one shown
        for (TImage* Preview : F->PreviewImages) EXPECT_TRUE(Preview->Picture.Graphic());
        const std::string Log = SiteLog().substr(Mark);
        int Thumbs = 0;
        for (size_t At = Log.find("-thumb."); At != std::string::npos; At = Log.find("-thumb.", At + 1)) ++Thumbs;
        EXPECT_EQ(Opening == 1 ? 3 : 0, Thumbs);
        F->Close();
        PumpFor(50);
    }
    frmVelmora->SetVisible(MainVisible);
}

namespace {
const char* const kDownloadingPreviews = "Downloading Previews";
const char* const kDownloadingSkin = "Downloading Skin";

// Presses "&Abort" a little after the dialog has begun to show Text: then that download runs.
void AbortDuring(const std::string& Text, int Polls = 0) {
    if (frmGetStatus->lblStatus->Caption().compare(0, Text.size(), Text) == 0)
        RunLater(200, [] { frmGetStatus->btnAbort->Click(); });
    else if (Polls < 500)
        RunLater(20, [Text, Polls] { AbortDuring(Text, Polls + 1); });
}

// A window of one of the classes that CloseExplorerWindows closes, made by the test itself.
HWND MakeExplorerWindow() {
    WNDCLASSA Class{};
    Class.lpfnWndProc = DefWindowProcA;
    Class.hInstance = GetModuleHandleA(nullptr);
    Class.lpszClassName = "CabinetWClass";
    RegisterClassA(&Class);
    return CreateWindowA("CabinetWClass", "Stand-in folder", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                         Class.hInstance, nullptr);
}
}  // namespace

// The rest of the table of endings: category, page and skin requests, with aborts in the middle of
// the previews and of a skin download.
TEST_F(GetStatus, CategoryPageAndSkinRequestsEndAsTheirOutcomeSays) {
    TBoxAnswerer Boxes;
    TScratchFolder Folder;
    TStandInBrowser Browser(RECORDER_EXE, Folder.Path() + "browser.txt");
    const std::string Gallery = Site + "/programs/velmora3/gallery/";
    const std::string Refused = "http://127.0.0.1:1/gone.jpg";
    const std::string Failed = "Error processing request!\n\nError: Connection Failed";
    const std::string TooLarge = "Error processing request!\n\nError: The reply is larger than ";
    const std::string ListTooLarge = TooLarge + "256 KB", PreviewTooLarge = TooLarge + "16 MB",
                      SkinTooLarge = TooLarge + "244 MB";
    const std::string EndlessPreview = Site + "/_test/endless?/endless.jpg",
                      HugeSkin = Site + "/_test/endless/107374182400?/huge.jpg";
    const std::string SlowSkin = Site + "/_test/slow/400000/20";
    TfrmGet* F = frmGet;
    F->CategoryLabels[0]->SetCaption("Nature");
    F->CategoryLabels[1]->SetCaption("Abstract Art");
    // Page 1 holds three real skins; page 2 whatever a row puts there.
    auto FillGallery = [&] {
        F->ClearGallery();
        const char* const Names[] = {"meadow", "ocean", "forest"};
        for (int I = 0; I < 3; ++I) {
            GalleryEntries[I].ThumbUrl = Gallery + "nature/" + Names[I] + "-thumb.jpg";
            GalleryEntries[I].SkinUrl = Gallery + "nature/" + Names[I] + ".jpg";
        }
        GalleryEntries[0].ApplyUrl = Gallery + "sponsor.html";
        GalleryEntries[3].ThumbUrl = Gallery + "nature/meadow-thumb.jpg";
    };
    const struct TRow {
        const char* Name;
        bool TfrmGet::*Kind;
        std::function<void()> Prepare;
        const char* AbortDuring;  // the status text during which "&Abort" is pressed, or nullptr
        const char* Text;         // nullptr: the dialog closes by itself
        bool CloseGallery, InternetProblem;
    } Rows[] = {
        {"category shown", &TfrmGet::ReqCategory, [&] { CategoryUrls[1] = Gallery + "nature/gallery.txt"; },
         nullptr, nullptr, false, false},
        {"category download error", &TfrmGet::ReqCategory, [&] { CategoryUrls[1] = Refused; }, nullptr,
         Failed.c_str(), true, true},
        {"category not on the site", &TfrmGet::ReqCategory, [&] { CategoryUrls[1] = Site + "/_test/status/404"; },
         nullptr, "Error changing category!", false, false},
        {"category list larger than a list can be", &TfrmGet::ReqCategory,
         [&] { CategoryUrls[1] = Site + "/_test/padded/262145/programs/velmora3/gallery/nature/gallery.txt"; },
         nullptr, ListTooLarge.c_str(), true, true},
        {"category aborted during its previews", &TfrmGet::ReqCategory,
         [&] { CategoryUrls[1] = Site + "/programs/velmora3/gallery/test/slow-previews.txt"; },
         kDownloadingPreviews, nullptr, false, false},
        {"page shown", &TfrmGet::ReqPage, [&] { F->PageNumber = 2; }, nullptr, nullptr, false, false},
        {"page download error", &TfrmGet::ReqPage,
         [&] {
             GalleryEntries[3].ThumbUrl = Refused;
             F->PageNumber = 2;
         },
         nullptr, Failed.c_str(), true, true},
        {"page with a preview without end", &TfrmGet::ReqPage,
         [&] {
             GalleryEntries[3].ThumbUrl = EndlessPreview;
             F->PageNumber = 2;
         },
         nullptr, PreviewTooLarge.c_str(), true, true},
        {"page aborted", &TfrmGet::ReqPage,
         [&] {
             GalleryEntries[3].ThumbUrl = Site + "/_test/slow/200000/20";
             F->PageNumber = 2;
         },
         kDownloadingPreviews, "Action Aborted!", false, false},
        {"skin download error", &TfrmGet::ReqSkin, [&] { GalleryEntries[0].SkinUrl = Refused; }, nullptr,
         Failed.c_str(), true, true},
        {"skin of a huge stated length", &TfrmGet::ReqSkin, [&] { GalleryEntries[0].SkinUrl = HugeSkin; }, nullptr,
         SkinTooLarge.c_str(), true, true},
        {"skin not on the site", &TfrmGet::ReqSkin, [&] { GalleryEntries[0].SkinUrl = Site + "/_test/status/404"; },
         nullptr, "Error! Skin could not be applied.", false, false},
        {"skin aborted", &TfrmGet::ReqSkin, [&] { GalleryEntries[0].SkinUrl = SlowSkin; },
         kDownloadingSkin, "Action Aborted!", false, false},
    };
    for (const TRow& Row : Rows) {
        SCOPED_TRACE(Row.Name);
        FillGallery();
        F->CategoryIndex = 1;
        F->PrevCategoryIndex = 0;
        F->SkinIndex = 0;
        Row.Prepare();
        // The first look comes from the dialog's own message loop, after its showing emptied the text.
        if (const char* Text = Row.AbortDuring) RunLater(20, [Text] { AbortDuring(Text); });
        const TEnding Ending = Run(Row.Kind);
        if (!Row.Text) {
            EXPECT_TRUE(Ending.ClosedItself) << "ended with \"" << Ending.Text << "\"";
            EXPECT_FALSE(frmGetStatus->CloseGallery);
            EXPECT_FALSE(frmGetStatus->InternetProblem);
        } else {
            EXPECT_TRUE(EndedWith(Ending, Row.Text, Row.CloseGallery, Row.InternetProblem));
        }
        EXPECT_EQ(Row.AbortDuring != nullptr, frmGetStatus->Aborted);
    }
    // A category that did not load gives the current category back.
    CategoryUrls[1] = Site + "/_test/status/404";
    F->CategoryIndex = 1;
    Run(&TfrmGet::ReqCategory);
    EXPECT_EQ(0, F->CategoryIndex);
    // The aborted skin and the pictures too large left no partial file, and "&OK" opened nothing.
    EXPECT_FALSE(FileExists(GetSkinCachePath("Abstract Art", SlowSkin)));
    EXPECT_FALSE(FileExists(GetSkinCachePath("Abstract Art", HugeSkin)));
    EXPECT_FALSE(FileExists(GetPreviewCachePath("Abstract Art", EndlessPreview)));
    EXPECT_TRUE(Browser.Record(1, 500).empty());
    EXPECT_TRUE(Boxes.Asked.empty());
}

// Applying a gallery skin: the bar reaches "100%", one Skin file and both toolbar values, the
// Explorer windows closed because the box is ticked, and "&OK" opens the skin's apply page.
TEST_F(GetStatus, AnAppliedSkinClosesExplorerWindowsAndOkOpensItsApplyPage) {
    TBoxAnswerer Boxes;
    TScratchFolder Folder;
    TStandInBrowser Browser(RECORDER_EXE, Folder.Path() + "browser.txt");
    TfrmGet* F = frmGet;
    ASSERT_TRUE(ChooseOceanSkin());
    GalleryEntries[0].ApplyUrl = Site + "/programs/velmora3/gallery/sponsor.html";
    ::DeleteFileA(GetSkinCachePath("Nature", GalleryEntries[0].SkinUrl).c_str());
    F->chkCloseExplorerWindows->SetChecked(true);
    HWND FolderWindow = MakeExplorerWindow();
    ASSERT_TRUE(FolderWindow);

    const TEnding Ending = Run(&TfrmGet::ReqSkin, true);  // "&OK" pressed with Enter
    EXPECT_TRUE(EndedWith(Ending, "Your new skin has been applied.\n\nClick OK", false, false));
    EXPECT_EQ("100%", frmGetStatus->lblProgress->Caption());
    EXPECT_EQ(frmGetStatus->pnlProgress->Width(), frmGetStatus->imgProgress->Width());
    EXPECT_FALSE(IsWindow(FolderWindow)) << "the Explorer window was not closed";
    const std::string Skin = ToolbarValue("BackBitmap");
    EXPECT_EQ(Skin, ToolbarValue("BackBitmapIE5"));
    EXPECT_TRUE(FileExists(Skin));
    EXPECT_EQ(1u, FilesIn(GetAppFolder(), "*.skin").size());
    const std::vector<std::string> Lines = Browser.Record();
    ASSERT_EQ(3u, Lines.size());
    EXPECT_EQ(GalleryEntries[0].ApplyUrl, Lines[2]);
    EXPECT_TRUE(Boxes.Asked.empty());
    DeleteSkinFiles();
    SetToolbarBitmap("");
}

namespace {
HWND RefusedActivation = nullptr;
LRESULT CALLBACK RefuseActivation(int Code, WPARAM Window, LPARAM Info) {
    if (Code == HCBT_ACTIVATE && reinterpret_cast<HWND>(Window) == RefusedActivation) return 1;
    return CallNextHookEx(nullptr, Code, Window, Info);
}
}  // namespace

// Windows may show a dialog without activating it (another program holds the foreground): the
// request runs all the same.
TEST_F(GetStatus, ADialogNeverActivatedStillRunsItsRequest) {
    TBoxAnswerer Boxes;
    frmGet->ClearGallery();
    GalleryEntries[0].ThumbUrl = Site + "/programs/velmora3/gallery/nature/meadow-thumb.jpg";
    frmGet->PageNumber = 1;
    RefusedActivation = frmGetStatus->Handle();
    HHOOK Hook = SetWindowsHookExA(WH_CBT, RefuseActivation, nullptr, GetCurrentThreadId());
    ASSERT_TRUE(Hook);
    const TEnding Ending = Run(&TfrmGet::ReqPage);
    UnhookWindowsHookEx(Hook);
    EXPECT_TRUE(Ending.ClosedItself) << "ended with \"" << Ending.Text << "\"";
    EXPECT_TRUE(frmGet->PreviewImages[0]->Visible());
    EXPECT_TRUE(Boxes.Asked.empty());
}

namespace {
// What the process holds, as far as Wine lets us see it. GetGuiResources and GetProcessHandleCount
// are stubs there, so GDI objects and kernel handles are counted by asking after every handle value,
// and USER objects by the windows.
struct THoldings {
    size_t MemoryKiB = 0;
    int GdiObjects = 0, Windows = 0;
    DWORD Handles = 0;
};

BOOL CALLBACK CountWindow(HWND Window, LPARAM Count) {
    DWORD Process = 0;
    GetWindowThreadProcessId(Window, &Process);
    if (Process != GetCurrentProcessId()) return TRUE;
    ++*reinterpret_cast<int*>(Count);
    EnumChildWindows(Window, CountWindow, Count);
    return TRUE;
}

THoldings Holdings() {
    THoldings H;
    PROCESS_MEMORY_COUNTERS Memory{};
    Memory.cb = sizeof Memory;
    if (GetProcessMemoryInfo(GetCurrentProcess(), &Memory, sizeof Memory)) H.MemoryKiB = Memory.PagefileUsage / 1024;
    for (UINT_PTR Index = 1; Index <= 0xFFFF; ++Index)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(Index))) ++H.GdiObjects;
    EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&H.Windows));
    DWORD Flags;
    for (UINT_PTR Value = 4; Value <= 0x10000; Value += 4)
        if (GetHandleInformation(reinterpret_cast<HANDLE>(Value), &Flags)) ++H.Handles;
    return H;
}
}  // namespace

// 200 page changes, each downloading its three previews, and 50 applies in one process leave its
// memory, GDI objects, windows and kernel handles where they were after the first rounds.
TEST_F(GetStatus, ManyPageChangesAndAppliesHoldNothingMore) {
    TBoxAnswerer Boxes;
    TfrmGet* F = frmGet;
    const std::string Gallery = Site + "/programs/velmora3/gallery/";
    F->CategoryLabels[0]->SetCaption("Soak");
    F->CategoryIndex = 0;
    F->ClearGallery();
    const char* const Names[] = {"meadow", "ocean", "forest"};
    for (int I = 0; I < 6; ++I) {
        GalleryEntries[I].ThumbUrl = Gallery + "nature/" + Names[I % 3] + "-thumb.jpg";
        GalleryEntries[I].SkinUrl = Gallery + "nature/" + Names[I % 3] + ".jpg";
    }
    F->chkCloseExplorerWindows->SetChecked(false);
    const std::string Previews = GetAppFolder() + "Previews\\Soak\\";
    int Pages = 0, Applies = 0, Failures = 0;
    auto Round = [&](int Number) {
        F->PageNumber = 1 + Number % 2;
        EmptyFolder(Previews);
        if (!Run(&TfrmGet::ReqPage).ClosedItself || !F->PreviewImages[2]->Visible()) ++Failures;
        ++Pages;
        if (Number % 4 == 0) {
            F->SkinIndex = Number / 4 % 3;
            if (!Run(&TfrmGet::ReqSkin).WaitedForClose || frmGetStatus->lblProgress->Caption() != "100%")
                ++Failures;
            ++Applies;
        }
    };
    for (int Number = 0; Number < 20; ++Number) Round(Number);
    const THoldings Before = Holdings();
    for (int Number = 20; Number < 200; ++Number) Round(Number);
    const THoldings After = Holdings();
    EmptyFolder(Previews);
    RemoveDirectoryA(Previews.c_str());
    for (int I = 0; I < 3; ++I) ::DeleteFileA(GetSkinCachePath("Soak", GalleryEntries[I].SkinUrl).c_str());
    RemoveDirectoryA((GetAppFolder() + "Skins\\Soak").c_str());
    DeleteSkinFiles();
    SetToolbarBitmap("");

    EXPECT_EQ(200, Pages);
    EXPECT_EQ(50, Applies);
    EXPECT_EQ(0, Failures);
    std::printf("after 20 rounds: %u KiB, %d GDI objects, %d windows, %lu handles; "
                "after 200 rounds: %u KiB, %d, %d, %lu\n",
                unsigned(Before.MemoryKiB), Before.GdiObjects, Before.Windows, Before.Handles,
                unsigned(After.MemoryKiB), After.GdiObjects, After.Windows, After.Handles);
    EXPECT_GT(Before.GdiObjects, 0) << "GDI objects cannot be counted here";
    EXPECT_LE(After.GdiObjects, Before.GdiObjects + 5);
    EXPECT_LE(After.Windows, Before.Windows);
    EXPECT_LE(After.Handles, Before.Handles + 5);
    EXPECT_LT(After.MemoryKiB, Before.MemoryKiB + 1024);
    EXPECT_TRUE(Boxes.Asked.empty());
}

// A click at "&Abort" made while the skin is applied (closing Explorer windows blocks without turning
// the loop) is dropped: it does not land on "&OK", shown in its place, so the outcome waits to be read.
TEST_F(GetStatus, AClickAtAbortDuringTheApplyLeavesTheOutcomeShown) {
    TBoxAnswerer Boxes;
    TScratchFolder Folder;
    TStandInBrowser Browser(RECORDER_EXE, Folder.Path() + "browser.txt");
    TfrmGet* F = frmGet;
    ASSERT_TRUE(ChooseOceanSkin());
    F->chkCloseExplorerWindows->SetChecked(true);
    HWND Abort = frmGetStatus->btnAbort->Handle();
    ASSERT_TRUE(MakeStepWindow("CabinetWClass", WM_SYSCOMMAND, [Abort] { ClickCenter(Abort); }));
    bool Rested = false;  // the pointer waits on "&Abort" while the skin downloads
    F->ResetRequests();
    F->ReqSkin = true;
    const TEnding Ending = WatchWhile(
        frmGetStatus, [] { frmGetStatus->ShowModal(); },
        [&](TStatusDialog* D) {
            if (!Rested && D->btnAbort->Visible()) MoveMouseTo(D->btnAbort->Handle(), 5, 5);
            Rested = true;
        },
        true);
    EXPECT_TRUE(EndedWith(Ending, "Your new skin has been applied.\n\nClick OK", false, false));
    DeleteSkinFiles();
    SetToolbarBitmap("");
}
