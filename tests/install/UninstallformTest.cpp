// The uninstaller window's dealings with the preparing window of the first process, and with the
// requests to close it before the uninstall has ended.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <thread>

#include "Names.h"
#include "TestSupport.h"
#include "Uninstallform.h"

// A window with the preparing caption whose thread never answers (hung, or not ours) holds the
// uninstaller only for a bounded time.
TEST(Uninstaller, APreparingWindowThatNeverAnswersDoesNotHoldIt) {
    HANDLE Created = CreateEventA(nullptr, TRUE, FALSE, nullptr), Release = CreateEventA(nullptr, TRUE, FALSE, nullptr),
           Closed = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread Hung([&] {
        HWND Window = CreateWindowA("STATIC", kPreparingCaption, WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        SetEvent(Created);
        WaitForSingleObject(Release, INFINITE);  // no message is ever handled meanwhile
        DestroyWindow(Window);
    });
    WaitForSingleObject(Created, 5000);
    // On a thread of its own, so that a close that waits for ever fails the test instead of hanging it.
    std::thread Closing([&] {
        ClosePreparingWindow();
        SetEvent(Closed);
    });
    const DWORD Start = GetTickCount();
    const bool Returned = WaitForSingleObject(Closed, 4000) == WAIT_OBJECT_0;
    EXPECT_TRUE(Returned) << "still waiting after " << GetTickCount() - Start << " ms";
    SetEvent(Release);
    Hung.join();
    Closing.join();
    for (HANDLE Event : {Created, Release, Closed}) CloseHandle(Event);
}

// The window may close only once the uninstall has ended: a close request during the count is
// refused, and Alt+F4 made while the files are deleted does not close it once it may close.
TEST(Uninstaller, ACloseRequestBeforeTheEndIsRefused) {
    struct TUninstaller : TfrmUninstall {
        using TfrmUninstall::TfrmUninstall;
        using TUninstallWindow::PermitClose;
    };
    auto Form = std::make_unique<TUninstaller>(nullptr);
    Form->FormCreate(nullptr);
    Form->Show();
    ASSERT_TRUE(PumpUntil([&] { return Form->Active() && Form->timProgress->Enabled(); })) << "the count did not start";
    const HWND Self = Form->Handle();
    PostMessageA(Self, WM_CLOSE, 0, 0);
    PressKey(VK_F4, false, false, true);
    PumpFor(300);
    EXPECT_TRUE(IsWindowVisible(Self)) << "closed during the count";
    Form->timProgress->SetEnabled(false);  // the removal begins

    PressKey(VK_F4, false, false, true);
    Sleep(200);  // the files are deleted
    Form->PermitClose();
    PumpFor(300);
    EXPECT_TRUE(IsWindowVisible(Self)) << "closed by Alt+F4 made while the files were deleted";
    PostMessageA(Self, WM_CLOSE, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(Self); })) << "a close made now is refused";
}
