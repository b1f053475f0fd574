// The about box: Online Support reaches the recording stand-in browser; Escape is not bound.
#include <gtest/gtest.h>

#include "Aboutform.h"
#include "TestSupport.h"
#include "Velmoracolors.h"
#include "Velmoraform.h"

TEST(AboutBox, OnlineSupportOpensTheHelpPageAndClosesInOneClickButEscapeDoesNothing) {
    TfrmAbout* F = frmAbout;
    TScratchFolder Folder;
    TStandInBrowser Browser(RECORDER_EXE, Folder.Path() + "browser.txt");
    COLORREF Corner = 0, Frog = 0;
    EXPECT_EQ(mrOk, RunModal(F, [&] {
                  PressKey(VK_ESCAPE);
                  PumpFor(300);
                  EXPECT_EQ(mrNone, F->ModalResult);
                  // The pictures' black corners are left out: the dialog's purple shows there.
                  RedrawWindow(F->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
                  HDC DC = GetDC(F->Handle());
                  Corner = GetPixel(DC, F->imgIcon->Left() + 1, F->imgIcon->Top() + 1);
                  Frog = GetPixel(DC, F->imgIcon->Left() + 24, F->imgIcon->Top() + 17);
                  ReleaseDC(F->Handle(), DC);
                  ClickCenter(F->btnOnlineSupport->Handle());
              }));
    EXPECT_EQ(ColorToRGB(kPurple), Corner);
    EXPECT_NE(ColorToRGB(kPurple), Frog);
    const std::vector<std::string> Lines = Browser.Record(3, 30000);
    ASSERT_GE(Lines.size(), 3u);
    EXPECT_EQ(std::string(VELMORA_SITE) + "/programs/velmora3/application/help.html", Lines[2]);
    // Centred on the main window's client area.
    const TPoint Origin = frmVelmora->ClientOrigin();
    EXPECT_EQ(Origin.X + 40, F->Left());
    EXPECT_EQ(Origin.Y + 50, F->Top());
}

// A picture from the resources is read at its first use, and that use sees the real picture: its
// size, and its bitmap to set a transparent colour on (not an empty one in its place).
TEST(ResourcePicture, ReadAtFirstUseButAMissingOneIsRefusedAtOnce) {
    TPicture Picture;
    int Changes = 0;
    Picture.OnChange = [&] { ++Changes; };
    EXPECT_THROW(Picture.LoadFromResourceName(Application->Instance(), "NO_SUCH_PICTURE"), EInvalidGraphic);
    Picture.LoadFromResourceName(Application->Instance(), "ABOUTFROG");
    EXPECT_EQ(1, Changes);
    EXPECT_EQ(48, Picture.Bitmap()->Width());
    EXPECT_EQ(48, Picture.Height());
    EXPECT_EQ(1, Changes) << "reading it is no change";
    EXPECT_NE(0u, GetPixel(Picture.Bitmap()->Canvas()->Handle, 24, 17) & 0xFFFFFF) << "the frog is drawn";
}
