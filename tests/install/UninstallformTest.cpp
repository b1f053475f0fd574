// The uninstaller window's dealings with the preparing window of the first process.
#include <gtest/gtest.h>

#include <windows.h>

#include <thread>

#include "Names.h"
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
