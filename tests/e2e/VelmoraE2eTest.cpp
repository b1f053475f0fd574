// Velmora3.exe as a user starts it: single instance, the error caption, Exit.
#include <winsock2.h>
#include <windows.h>

#include <commdlg.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "E2eSupport.h"

namespace {
const char* const kMainCaption = "Velmora! Version 3.1";

// Lights a menu button of the main window and clicks it, as the pointer would.
void ClickMenu(HWND MainWindow, int X, int Y) {
    const LPARAM At = MAKELPARAM(X, Y);
    PostMessageA(MainWindow, WM_MOUSEMOVE, 0, At);
    PostMessageA(MainWindow, WM_LBUTTONDOWN, MK_LBUTTON, At);
    PostMessageA(MainWindow, WM_LBUTTONUP, 0, At);
}
void ClickExit(HWND MainWindow) { ClickMenu(MainWindow, 211 + 197 / 2, 312 + 20); }

// A web server on the compiled-in site's port that hangs up on every request without a reply.
class THangingUpSite {
public:
    explicit THangingUpSite(int Port) {
        WSADATA Data;
        WSAStartup(MAKEWORD(2, 2), &Data);
        FListener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in Address{};
        Address.sin_family = AF_INET;
        Address.sin_port = htons(static_cast<u_short>(Port));
        Address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        Listening = FListener != INVALID_SOCKET &&
                    bind(FListener, reinterpret_cast<sockaddr*>(&Address), sizeof Address) == 0 &&
                    listen(FListener, 8) == 0;
        if (Listening)
            FThread = std::thread([this] {
                for (SOCKET Client; (Client = accept(FListener, nullptr, nullptr)) != INVALID_SOCKET;)
                    closesocket(Client);
            });
    }
    ~THangingUpSite() {
        closesocket(FListener);  // ends the accept loop
        if (FThread.joinable()) FThread.join();
        WSACleanup();
    }
    bool Listening = false;

private:
    SOCKET FListener = INVALID_SOCKET;
    std::thread FThread;
};

TEST(Velmora, ASecondStartEndsAtOnceWithoutAWindow) {
    TProgram First(VELMORA_EXE);
    ASSERT_TRUE(First.Started);
    HWND Main = WaitForWindow(First.Id(), kMainCaption);
    ASSERT_TRUE(Main);
    TProgram Second(VELMORA_EXE);
    ASSERT_TRUE(Second.Started);
    EXPECT_EQ(0u, Second.WaitForExit(20000));
    EXPECT_TRUE(TopLevelWindows(Second.Id(), "", false).empty());
    EXPECT_TRUE(IsWindow(Main));
    ClickExit(Main);
    EXPECT_EQ(0u, First.WaitForExit(20000));
}

TEST(Velmora, AfterTheErrorCaptionANewStartRuns) {
    TProgram Old(VELMORA_EXE);
    HWND OldMain = WaitForWindow(Old.Id(), kMainCaption);
    ASSERT_TRUE(OldMain);
    SetWindowTextA(OldMain, "Velmora! - Error");
    TProgram New(VELMORA_EXE);
    HWND NewMain = WaitForWindow(New.Id(), kMainCaption);
    ASSERT_TRUE(NewMain) << "the new start did not show its window";
    EXPECT_EQ(STILL_ACTIVE, New.WaitForExit(0));
    ClickExit(NewMain);
    ClickExit(OldMain);
    EXPECT_EQ(0u, New.WaitForExit(20000));
    EXPECT_EQ(0u, Old.WaitForExit(20000));
}

TEST(Velmora, ExitEndsTheProgram) {
    TProgram Program(VELMORA_EXE);
    HWND Main = WaitForWindow(Program.Id(), kMainCaption);
    ASSERT_TRUE(Main);
    ClickExit(Main);
    EXPECT_EQ(0u, Program.WaitForExit(20000));
    EXPECT_FALSE(IsWindow(Main));
}

// The visible button captioned Text inside a visible window of the process captioned Caption.
HWND FindButtonIn(const TProgram& Program, const std::string& Caption, const char* Text) {
    for (HWND Window : TopLevelWindows(Program.Id(), Caption))
        if (HWND Found = Button(Window, Text)) return Found;
    return nullptr;
}

HWND WaitForButton(const TProgram& Program, const std::string& Caption, const char* Text) {
    return WaitFor([&] { return FindButtonIn(Program, Caption, Text); });
}

// Fills the edit boxes of Window, in their tab order, with Texts.
void FillEdits(HWND Window, const std::vector<std::string>& Texts) {
    HWND Edit = nullptr;
    for (const std::string& Text : Texts) {
        Edit = FindWindowExA(Window, Edit, "Edit", nullptr);
        SendMessageA(Edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Text.c_str()));
    }
}

// Starts Velmora against a compiled-in site that hangs up on every request. Feature drives the
// program until its feature's status dialog ends, and returns that dialog's closing button. After
// it the main window takes the error caption and gives notice, this Velmora ends, and a new one
// shows its main window.
void ExpectRestartAfter(const std::function<HWND(const TProgram&, HWND)>& Feature) {
    const std::string Site = VELMORA_SITE, Local = "http://127.0.0.1:";
    if (Site.compare(0, Local.size(), Local) != 0) GTEST_SKIP() << "the compiled-in site is not on this machine";
    THangingUpSite Server(std::atoi(Site.c_str() + Local.size()));
    if (!Server.Listening) GTEST_SKIP() << "the compiled-in site's port is taken (is make run up?)";
    TProgram Old(VELMORA_EXE);
    // However the test ends, no Velmora it started stays behind to refuse the next tests' starts.
    struct TCleanUp {
        ~TCleanUp() { EndProcessesOf(kMainCaption); }
    } CleanUp;
    HWND OldMain = WaitForWindow(Old.Id(), kMainCaption);
    ASSERT_TRUE(OldMain);
    HWND Close = Feature(Old, OldMain);
    ASSERT_TRUE(Close) << "the status dialog never ended with its closing button";
    PostMessageA(Close, BM_CLICK, 0, 0);
    HWND Notice = WaitFor([&]() -> HWND {
        for (HWND Box : TopLevelWindows(Old.Id(), "Velmora!")) {
            char Class[32] = "";
            GetClassNameA(Box, Class, sizeof Class);
            if (std::string(Class) == "#32770") return Box;
        }
        return nullptr;
    });
    ASSERT_TRUE(Notice) << "no notice of the internet problem";
    char Caption[64] = "";
    GetWindowTextA(OldMain, Caption, sizeof Caption);
    EXPECT_STREQ("Velmora! - Error", Caption);
    PostMessageA(Notice, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(0u, Old.WaitForExit(20000));
    // The new process shows the main window.
    HWND NewMain = WaitFor([&]() -> HWND {
        HWND Window = FindWindowA(nullptr, kMainCaption);
        DWORD Owner = 0;
        if (Window) GetWindowThreadProcessId(Window, &Owner);
        return Window && Owner != Old.Id() && IsWindowVisible(Window) ? Window : nullptr;
    });
    ASSERT_TRUE(NewMain) << "no new Velmora started";
    DWORD NewId = 0;
    GetWindowThreadProcessId(NewMain, &NewId);
    HANDLE New = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, NewId);
    ClickExit(NewMain);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(New, 20000));
    CloseHandle(New);
}
}  // namespace

// Each feature that cannot fetch the application data says so in its status dialog; after its
// closing button and the main window's notice a new Velmora starts and this one ends.
TEST(Velmora, AnInternetProblemInTheGalleryRestartsTheProgram) {
    ExpectRestartAfter([](const TProgram& Program, HWND Main) {
        ClickMenu(Main, 8 + 400 / 2, 4 + 20);  // "Get Skins!"
        return WaitForButton(Program, "Get Skins Status", "&OK");
    });
}

TEST(Velmora, AnInternetProblemWhileSubmittingRestartsTheProgram) {
    char Temp[MAX_PATH];
    GetTempPathA(MAX_PATH, Temp);
    const std::string Picture = std::string(Temp) + "e2e-skin.jpg";
    std::FILE* File = std::fopen(Picture.c_str(), "wb");
    ASSERT_TRUE(File);
    std::fputs("a picture", File);
    std::fclose(File);
    ExpectRestartAfter([&](const TProgram& Program, HWND Main) -> HWND {
        ClickMenu(Main, 8 + 400 / 2, 180 + 20);  // "Submit A Skin"
        HWND Form = WaitForWindow(Program.Id(), "Submit A Skin");
        if (!Form) return nullptr;
        FillEdits(Form, {"Jane", "jane@example.com", "http://", Picture});
        PostMessageA(FindWindowExA(Form, nullptr, "Button", "&Submit"), BM_CLICK, 0, 0);
        HWND Ok = WaitForButton(Program, "Skin Submission Agreement", "&OK");
        if (!Ok) return nullptr;
        PostMessageA(Ok, BM_CLICK, 0, 0);
        return WaitForButton(Program, "Skin Submit Status", "&Close");
    });
    DeleteFileA(Picture.c_str());
}

TEST(Velmora, AnInternetProblemWhileTellingAFriendRestartsTheProgram) {
    ExpectRestartAfter([](const TProgram& Program, HWND Main) -> HWND {
        ClickMenu(Main, 8 + 400 / 2, 224 + 20);  // "Tell A Friend"
        HWND Form = WaitForWindow(Program.Id(), "Tell A Friend");
        if (!Form) return nullptr;
        FillEdits(Form, {"friend@example.com", "Jane", "jane@example.com"});
        PostMessageA(FindWindowExA(Form, nullptr, "Button", "&Submit"), BM_CLICK, 0, 0);
        HWND Ok = WaitForButton(Program, "Tell A Friend Agreement", "&OK");
        if (!Ok) return nullptr;
        PostMessageA(Ok, BM_CLICK, 0, 0);
        return WaitForButton(Program, "Tell A Friend", "&Close");
    });
}

// The colours of button text and face, menu text and menu as a new process sees them (this one's
// own view of them is not brought up to date).
std::vector<COLORREF> FreshColors() {
    char Temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, Temp);
    const std::string File = std::string(Temp) + "sys-colors.txt";
    DeleteFileA(File.c_str());
    TProgram Reader(SYS_COLORS_EXE, " \"" + File + "\"");
    Reader.WaitForExit(10000);
    std::vector<COLORREF> Colors;
    for (unsigned long Color; FILE* In = std::fopen(File.c_str(), "r");) {
        while (std::fscanf(In, "%lx", &Color) == 1) Colors.push_back(Color);
        std::fclose(In);
        break;
    }
    return Colors;
}

// The program ended (its main window closed) while the text colours are previewed: the colours in
// force before the preview come back, as after Cancel.
TEST(Velmora, EndingTheProgramDuringAColourPreviewPutsTheColoursBack) {
    const std::vector<COLORREF> Saved = FreshColors();
    ASSERT_EQ(4u, Saved.size());
    const COLORREF Pink = RGB(255, 0, 128) == Saved[0] ? RGB(255, 0, 127) : RGB(255, 0, 128);
    TProgram Program(VELMORA_EXE);
    HWND Main = WaitForWindow(Program.Id(), kMainCaption);
    ASSERT_TRUE(Main);
    ClickMenu(Main, 8 + 200, 92 + 20);  // Change Text Color
    HWND Pick = WaitForButton(Program, "Change Text Color", "Select &Text Color");
    ASSERT_TRUE(Pick);
    PostMessageA(Pick, BM_CLICK, 0, 0);
    HWND Dialog = WaitForWindow(Program.Id(), "Color");
    ASSERT_TRUE(Dialog) << "no colour dialog";
    // The red, green and blue boxes, as typed.
    for (const auto& Box : {std::pair<int, BYTE>{706, GetRValue(Pink)}, {707, GetGValue(Pink)}, {708, GetBValue(Pink)}})
        SendMessageA(GetDlgItem(Dialog, Box.first), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>(std::to_string(Box.second).c_str()));
    PostMessageA(Dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(Dialog, IDOK)));
    WaitFor([&]() -> HWND { return IsWindow(Dialog) ? nullptr : Main; });
    PostMessageA(FindButtonIn(Program, "Change Text Color", "&Preview"), BM_CLICK, 0, 0);
    Sleep(500);
    const std::vector<COLORREF> Previewed = FreshColors();
    PostMessageA(Main, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, Program.WaitForExit(20000));
    const std::vector<COLORREF> After = FreshColors();
    const int Elements[] = {COLOR_BTNTEXT, COLOR_BTNFACE, COLOR_MENUTEXT, COLOR_MENU};
    SetSysColors(4, Elements, Saved.data());
    ASSERT_EQ(4u, Previewed.size());
    EXPECT_EQ(Pink, Previewed[0]) << "the preview did not take";
    EXPECT_EQ(Saved, After);
}
