// The handle holders: what they hold is closed once, when the holder goes or takes another, and
// never what was given up or moved on to a holder that lives on.
#include <gtest/gtest.h>

#include <functional>

#include "Handles.h"

namespace {
bool IsOpen(HANDLE Handle) {
    DWORD Flags = 0;
    return GetHandleInformation(Handle, &Flags) != 0;
}

bool IsOpen(HKEY Key) {
    DWORD Values = 0;
    return RegQueryInfoKeyA(Key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &Values, nullptr, nullptr,
                            nullptr, nullptr) == ERROR_SUCCESS;
}
}  // namespace

TEST(Handles, AHeldHandleIsClosedOnceItsHolderLetsGo) {
    THeldHandle LivesOn;
    const struct {
        const char* Case;
        std::function<void(HANDLE)> Use;
        bool Closed;
    } Cases[] = {
        {"the holder goes", [](HANDLE Event) { THeldHandle Held(Event); }, true},
        {"it takes another", [](HANDLE Event) { THeldHandle(Event).Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr)); },
         true},
        {"moved on to one that goes", [](HANDLE Event) { THeldHandle Moved(THeldHandle{Event}); }, true},
        {"moved on to one that lives on", [&](HANDLE Event) { LivesOn = THeldHandle(Event); }, false},
        {"another moved into its holder",
         [&](HANDLE Event) {
             LivesOn = THeldHandle(Event);
             LivesOn = THeldHandle(CreateEventA(nullptr, TRUE, FALSE, nullptr));
         },
         true},
        {"given up", [](HANDLE Event) { THeldHandle(Event).Release(); }, false},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Case);
        const HANDLE Event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        ASSERT_TRUE(IsOpen(Event));
        Case.Use(Event);
        EXPECT_NE(Case.Closed, IsOpen(Event));
        if (!Case.Closed && Event != LivesOn.Get()) CloseHandle(Event);
    }
    EXPECT_FALSE(THeldHandle(INVALID_HANDLE_VALUE)) << "a failed CreateFile holds nothing";
    EXPECT_FALSE(THeldSearch(INVALID_HANDLE_VALUE));
}

// A holder that receives a new key closes the one it held before the call fills it in.
TEST(Handles, AKeyReceivedTwiceClosesTheFirst) {
    THeldKey Key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, Key.Receive()));
    const HKEY First = Key.Get();
    EXPECT_TRUE(IsOpen(First));
    HKEY* Slot = Key.Receive();
    EXPECT_FALSE(IsOpen(First));
    EXPECT_FALSE(Key);
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, Slot));
    const HKEY Second = Key.Get();
    EXPECT_TRUE(IsOpen(Second));
    Key.Reset();
    EXPECT_FALSE(Key);
    EXPECT_FALSE(IsOpen(Second));
}
