// The gallery window with its real controls: layout, hover, the requests its clicks start, the
// courtesy links through stand-in programs, the height filter and the progress of a skin download.
// The status dialog's own work is replaced by a stand-in that records the request and closes.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <memory>

#include "Getform.h"
#include "Getstatusform.h"
#include "TestSupport.h"
#include "Velmoraform.h"

namespace {

// What the gallery had asked for when the status dialog came up.
struct TRequest {
    bool Connect, Category, Page, Skin;
    int CategoryIndex, PrevCategoryIndex, PageNumber, SkinIndex;
};

void MoveTo(TWinControl* Surface, int X, int Y) {
    SendMessageA(Surface->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(X, Y));
}
void MoveOnto(TControl* Control) {
    MoveTo(Control->Parent(), Control->Left() + Control->Width() / 2, Control->Top() + Control->Height() / 2);
}
void ClickOnto(TControl* Control) {
    const LPARAM At = MAKELPARAM(Control->Left() + Control->Width() / 2, Control->Top() + Control->Height() / 2);
    SendMessageA(Control->Parent()->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At);
    SendMessageA(Control->Parent()->Handle(), WM_LBUTTONUP, 0, At);
}

// The names of the white labels, and "frame" while the apply frame shows.
std::string Highlighted(TfrmGet* F) {
    std::string Names;
    auto Add = [&](TLabel* Label, const std::string& Name) {
        if (Label->Font.Color == clWhite) Names += Name + " ";
    };
    for (int I = 0; I < kCategoryCount; ++I) Add(F->CategoryLabels[I], "category" + std::to_string(I));
    for (int I = 0; I < kPageCount; ++I) Add(F->PageLabels[I], "page" + std::to_string(I));
    for (int I = 0; I < kSlotCount; ++I) Add(F->LinkLabels[I], "link" + std::to_string(I));
    if (F->imgIE->Visible()) Names += "frame@" + std::to_string(F->imgIE->Top());
    return Names;
}

void GivePicture(TImage* Image) {
    auto Picture = std::make_unique<TBitmap>();
    Picture->SetSize(8, 8);
    Image->Picture.SetGraphic(std::move(Picture));
    Image->Show();
}

// Page Page (from 1) is the current one, as a shown page leaves it.
void MarkCurrentPage(TfrmGet* F, int Page) {
    for (int I = 0; I < kPageCount; ++I) {
        F->PageLabels[I]->Show();
        F->PageLabels[I]->SetEnabled(I != Page - 1);
    }
}

// Opens the gallery as a shown window; its Connect request reaches the stand-in status dialog.
class Gallery : public testing::Test {
protected:
    void SetUp() override {
        SavedActivate = frmGetStatus->OnActivate;
        MainWasVisible = frmVelmora->Visible();
        frmGetStatus->OnActivate = [this](TObject*) {
            TfrmGet* F = frmGet;
            Requests.push_back({F->ReqConnect, F->ReqCategory, F->ReqPage, F->ReqSkin, F->CategoryIndex,
                                F->PrevCategoryIndex, F->PageNumber, F->SkinIndex});
            frmGetStatus->CloseGallery = CloseGalleryNext;
            frmGetStatus->ModalResult = mrOk;
        };
        frmGet->Show();
        ASSERT_TRUE(PumpUntil([&] { return !Requests.empty(); }));
        PumpFor(50);
    }
    void TearDown() override {
        frmGet->Close();
        frmGetStatus->OnActivate = SavedActivate;
        frmGetStatus->CloseGallery = frmGetStatus->Aborted = false;
        frmVelmora->SetVisible(MainWasVisible);
    }
    std::vector<TRequest> Requests;
    bool CloseGalleryNext = false;
    TNotifyEvent SavedActivate;
    bool MainWasVisible = false;
};
}  // namespace

TEST_F(Gallery, CategoryLabelsAndPreviewsAreLaidOutForTheScreenFont) {
    TfrmGet* F = frmGet;
    if (F->PixelsPerInch != 96) GTEST_SKIP() << "the screen has " << F->PixelsPerInch << " pixels per inch";
    EXPECT_EQ(13, F->CategoryLabels[0]->Height());
    EXPECT_EQ(13, F->scrCategory->VertScrollBar.Increment);
    const int Lefts[] = {7, 102, 197};
    for (int J : {0, 1, 2, 3, 100, 101}) {
        SCOPED_TRACE(J);
        EXPECT_EQ(90, F->CategoryLabels[J]->Width());
        EXPECT_EQ(Lefts[J % 3], F->CategoryLabels[J]->Left());
        EXPECT_EQ(J / 3 * 13, F->CategoryLabels[J]->Top());
        EXPECT_EQ(F->scrCategory, F->CategoryLabels[J]->Parent());
    }
    EXPECT_EQ(35, F->imgIE->Left());
    for (int I = 0; I < kSlotCount; ++I) {
        SCOPED_TRACE(I);
        EXPECT_EQ(37, F->PreviewImages[I]->Left());
        EXPECT_EQ(398, F->PreviewImages[I]->Width());
        EXPECT_EQ(58, F->PreviewImages[I]->Height());
        EXPECT_EQ(70 + 89 * I, F->NoteLabels[I]->Top());
        EXPECT_EQ(83 + 89 * I, F->LinkLabels[I]->Top());
    }

    // Larger screen fonts widen the labels; the form reads PixelsPerInch before its creation handler.
    for (const auto& Case : {std::make_pair(120, 112), std::make_pair(144, 135)}) {
        SCOPED_TRACE(Case.first);
        std::unique_ptr<TfrmGet> Large(new TfrmGet(nullptr));
        Large->PixelsPerInch = Case.first;
        Large->DoCreate();
        for (int J = 0; J < 3; ++J) {
            EXPECT_EQ(Case.second, Large->CategoryLabels[J]->Width());
            EXPECT_EQ(7 + J * (Case.second + 5), Large->CategoryLabels[J]->Left());
        }
    }
}

TEST_F(Gallery, OneThingAtATimeIsHighlighted) {
    TfrmGet* F = frmGet;
    for (int J = 0; J < 4; ++J) {
        F->CategoryLabels[J]->SetCaption("Cat " + std::to_string(J));
        F->CategoryLabels[J]->Show();
    }
    MarkCurrentPage(F, 1);
    F->lblLink2->SetCaption("Made by someone");
    F->lblLink2->Show();
    GivePicture(F->imgSkin1);
    F->imgSkin0->Show();  // a slot without a picture
    const int Preview1Top = F->imgSkin1->Top();

    MoveOnto(F->CategoryLabels[0]);
    EXPECT_EQ("category0 ", Highlighted(F));
    MoveOnto(F->CategoryLabels[1]);
    EXPECT_EQ("category1 ", Highlighted(F));
    MoveOnto(F->PageLabels[3]);
    EXPECT_EQ("page3 ", Highlighted(F));
    MoveOnto(F->lblLink2);
    EXPECT_EQ("link2 ", Highlighted(F));
    MoveOnto(F->imgSkin1);
    EXPECT_EQ("frame@" + std::to_string(Preview1Top - 2), Highlighted(F));
    MoveOnto(F->lblNote1);
    EXPECT_EQ("", Highlighted(F));
    MoveOnto(F->imgSkin0);
    EXPECT_EQ("", Highlighted(F));
    MoveOnto(F->CategoryLabels[2]);
    MoveTo(F->pnlControls, 2, F->pnlControls->Height() - 2);
    EXPECT_EQ("", Highlighted(F));
    // A disabled label, the current page, takes no highlight: the surface beneath resets.
    MoveOnto(F->PageLabels[1]);
    MoveOnto(F->PageLabels[0]);
    EXPECT_EQ("", Highlighted(F));
}

TEST_F(Gallery, ClicksStartTheirRequestsAndOnlyAClosingOutcomeClosesTheGallery) {
    TfrmGet* F = frmGet;
    ASSERT_EQ(1u, Requests.size());
    EXPECT_TRUE(Requests[0].Connect);
    // The activations after each status dialog do not connect again.
    F->CategoryIndex = 2;
    for (int J = 0; J < 6; ++J) F->CategoryLabels[J]->Show();
    ClickOnto(F->CategoryLabels[5]);
    ASSERT_EQ(2u, Requests.size());
    EXPECT_TRUE(Requests[1].Category && !Requests[1].Connect);
    EXPECT_EQ(5, Requests[1].CategoryIndex);
    EXPECT_EQ(2, Requests[1].PrevCategoryIndex);

    MarkCurrentPage(F, 1);
    ClickOnto(F->PageLabels[0]);  // the current page takes no click
    ClickOnto(F->PageLabels[6]);
    ASSERT_EQ(3u, Requests.size());
    EXPECT_TRUE(Requests[2].Page);
    EXPECT_EQ(7, Requests[2].PageNumber);
    PumpFor(100);
    EXPECT_TRUE(F->Visible());

    CloseGalleryNext = true;
    ClickOnto(F->PageLabels[2]);
    ASSERT_TRUE(PumpUntil([&] { return !F->Visible(); }, 2000));
    EXPECT_TRUE(frmVelmora->Visible());
}

TEST_F(Gallery, TheFrameAppliesTheSkinUnderItAfterAYes) {
    TfrmGet* F = frmGet;
    MarkCurrentPage(F, 3);
    GivePicture(F->imgSkin1);
    MoveTo(F, 100, F->imgSkin1->Top() + 20);
    ASSERT_TRUE(F->imgIE->Visible());
    F->SkinIndex = 29;
    {
        TBoxAnswerer Boxes({IDNO});
        ClickOnto(F->imgIE);
        ASSERT_EQ(1u, Boxes.Asked.size());
        EXPECT_EQ("Do you want to apply this skin?", Boxes.Asked[0].Text);
        EXPECT_EQ("Velmora!", Boxes.Asked[0].Caption);
        EXPECT_EQ(static_cast<unsigned>(MB_YESNO | MB_ICONQUESTION), Boxes.Asked[0].Flags);
        EXPECT_EQ(F->Handle(), Boxes.Asked[0].Owner);
    }
    EXPECT_EQ(29, F->SkinIndex);
    EXPECT_EQ(1u, Requests.size());
    TBoxAnswerer Boxes({IDYES});
    ClickOnto(F->imgIE);
    ASSERT_EQ(2u, Requests.size());
    EXPECT_TRUE(Requests[1].Skin);
    EXPECT_EQ(7, Requests[1].SkinIndex);
}

TEST_F(Gallery, CourtesyLinksGoToTheShellOnlyForMailtoInSmallLetters) {
    TfrmGet* F = frmGet;
    TScratchFolder Folder;
    const std::string Browser = WindowsPath(RECORDER_EXE), Handler = Folder.Path() + "handler.exe";
    ASSERT_TRUE(CopyFileA(Browser.c_str(), Handler.c_str(), FALSE));
    const std::string Command = "\"" + Handler + "\" \"%1\"";
    // Put back afterwards: the shell's handlers and Wine's own browser, which must not start meanwhile.
    struct TSaved {
        HKEY Root;
        std::string Path, Name, Value;
        bool Present;
    };
    std::vector<TSaved> Saved;
    auto Set = [&](HKEY Root, const std::string& Path, const char* Name, const std::string& Value) {
        char Old[1024] = "";
        DWORD Size = sizeof Old;
        const bool Present = RegGetValueA(Root, Path.c_str(), Name, RRF_RT_REG_SZ, nullptr, Old, &Size) == 0;
        Saved.push_back({Root, Path, Name ? Name : "", Old, Present});
        RegSetKeyValueA(Root, Path.c_str(), Name, REG_SZ, Value.c_str(), static_cast<DWORD>(Value.size() + 1));
    };
    Set(HKEY_CURRENT_USER, "Software\\Wine\\DllOverrides", "winebrowser.exe", "");
    Set(HKEY_CLASSES_ROOT, "mailto\\shell\\open\\command", nullptr, Command);
    Set(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", nullptr, Command);

    MarkCurrentPage(F, 3);
    const struct {
        const char* Url;
        const char* Program;
    } Cases[] = {
        {"mailto:artist@example.invalid", "handler.exe"},
        {"MAILTO:artist@example.invalid", "test_recorder.exe"},
        {"http://127.0.0.1/artist.html", "test_recorder.exe"},
    };
    int Logs = 0;
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Url);
        GalleryEntries[7].CourtesyLinkUrl = Case.Url;
        TStandInBrowser Stand(RECORDER_EXE, Folder.Path() + "start" + std::to_string(++Logs) + ".txt");
        F->lblLink1->SetCaption("Made by an artist");
        F->lblLink1->Show();
        ClickOnto(F->lblLink1);
        // The record is complete once it holds the program, its show command and the address.
        const std::vector<std::string> Lines = Stand.Record();
        ASSERT_GE(Lines.size(), 3u);
        EXPECT_EQ(Case.Program, Lines[0].substr(Lines[0].find_last_of('\\') + 1));
        EXPECT_EQ(Case.Url, Lines[2]);
    }
    for (auto It = Saved.rbegin(); It != Saved.rend(); ++It) {
        const char* Name = It->Name.empty() ? nullptr : It->Name.c_str();
        if (It->Present)
            RegSetKeyValueA(It->Root, It->Path.c_str(), Name, REG_SZ, It->Value.c_str(),
                            static_cast<DWORD>(It->Value.size() + 1));
        else
            RegDeleteKeyValueA(It->Root, It->Path.c_str(), Name);
    }
    GalleryEntries[7] = GalleryEntry{};
}

TEST_F(Gallery, TheHeightTakesDigitsAndBackspaceOnly) {
    TEdit* Height = frmGet->txtHeight;
    Height->SetText("");
    // 0xE9 and 0xB2 (a superscript two) lie above 127; the fourth digit exceeds the length.
    for (char Key : std::string("1a-\xE9\xB2" "2 34"))
        SendMessageA(Height->Handle(), WM_CHAR, static_cast<unsigned char>(Key), 0);
    EXPECT_EQ("123", Height->Text());
    SendMessageA(Height->Handle(), WM_CHAR, '\b', 0);
    EXPECT_EQ("12", Height->Text());
    Height->SetText("116");
}

TEST_F(Gallery, ProgressOfASkinDownload) {
    TfrmGet* F = frmGet;
    TImage* Bar = frmGetStatus->imgProgress;
    TLabel* Text = frmGetStatus->lblProgress;
    const int Full = frmGetStatus->pnlProgress->Width();
    const struct {
        bool Skin;
        long long Total, Received;
        const char* Caption;
        int Width;  // -1: as it was
    } Cases[] = {
        {true, 1000, 290, "29%", Full * 29 / 100},   {true, 1000, 530, "52%", 139},
        {false, 1000, 900, "0%", -1},                {true, 0, 123 * 1024 + 5, "123 KB", -1},
        {true, 1000, 1500, "150%", Full},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Caption);
        Bar->SetWidth(5);
        Text->SetCaption("0%");
        F->ReqSkin = Case.Skin;
        F->http->BytesTotal = Case.Total;
        F->http->BytesRecvd = Case.Received;
        F->httpPacketRecvd(F->http);
        EXPECT_EQ(Case.Caption, Text->Caption());
        EXPECT_EQ(Case.Width < 0 ? 5 : Case.Width, Bar->Width());
    }

    // The success event after Abort counts for nothing.
    Bar->SetWidth(5);
    F->ResetRequests();
    F->ReqSkin = true;
    frmGetStatus->Aborted = true;
    F->httpSuccess(CmdGET);
    EXPECT_TRUE(F->ReqSkin);
    EXPECT_FALSE(SkinDone);
    frmGetStatus->Aborted = false;
    F->httpSuccess(CmdGET);
    EXPECT_FALSE(F->ReqSkin);
    EXPECT_TRUE(SkinDone);
    EXPECT_EQ("100%", Text->Caption());
    EXPECT_EQ(Full, Bar->Width());
    F->ReqPage = true;
    F->httpSuccess(CmdGET);  // a page has no success flag of its own
    EXPECT_TRUE(F->ReqPage);
    F->ResetRequests();
}

// Closing lets the pictures go at once: the memory may be needed before the gallery opens again.
TEST_F(Gallery, ReopeningClearsTheGalleryButKeepsTheOptions) {
    TfrmGet* F = frmGet;
    F->CategoryLabels[4]->SetCaption("Cars");
    F->CategoryLabels[4]->Show();
    F->CategoryIndex = F->PrevCategoryIndex = 4;
    MarkCurrentPage(F, 2);
    GivePicture(F->imgSkin2);
    F->lblNote2->SetCaption("Thanks");
    F->lblLink2->SetCaption("Artist");
    F->lblLink2->Show();
    GalleryEntries[29].ApplyUrl = "http://127.0.0.1/apply";
    F->txtHeight->SetText("80");
    F->chkCloseExplorerWindows->SetChecked(false);

    F->Close();
    EXPECT_TRUE(frmVelmora->Visible());
    EXPECT_EQ(nullptr, F->imgSkin2->Picture.Graphic()) << "a closed gallery keeps its pictures";
    F->Show();
    ASSERT_TRUE(PumpUntil([&] { return Requests.size() == 2; }));
    EXPECT_TRUE(Requests[1].Connect);
    EXPECT_EQ(0, Requests[1].CategoryIndex);
    EXPECT_EQ(0, Requests[1].PrevCategoryIndex);
    EXPECT_FALSE(frmVelmora->Visible());
    EXPECT_EQ("", F->CategoryLabels[4]->Caption());
    EXPECT_FALSE(F->CategoryLabels[4]->Visible());
    for (TLabel* Page : F->PageLabels) EXPECT_FALSE(Page->Visible());
    EXPECT_FALSE(F->imgSkin2->Visible());
    EXPECT_EQ(nullptr, F->imgSkin2->Picture.Graphic());
    EXPECT_EQ("", F->lblNote2->Caption());
    EXPECT_FALSE(F->lblLink2->Visible());
    EXPECT_EQ("", GalleryEntries[29].ApplyUrl);
    EXPECT_EQ("80", F->txtHeight->Text());
    EXPECT_FALSE(F->chkCloseExplorerWindows->Checked());
    F->txtHeight->SetText("116");
    F->chkCloseExplorerWindows->SetChecked(true);
}
