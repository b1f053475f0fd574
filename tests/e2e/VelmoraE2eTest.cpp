// Velmora3.exe as a user starts it: single instance, the error caption, Exit, start-up time.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {
const char* const kMainCaption = "Velmora! Version 3.1";

std::string WindowsPath(const std::string& Path) {
    std::string Result = Path[0] == '/' ? "Z:" + Path : Path;
    for (char& C : Result)
        if (C == '/') C = '\\';
    return Result;
}

// A started program, ended at the latest when the test ends.
class TProgram {
public:
    explicit TProgram(const std::string& Path) {
        STARTUPINFOA Startup{};
        Startup.cb = sizeof Startup;
        std::string CommandLine = "\"" + WindowsPath(Path) + "\"";
        Started = CreateProcessA(nullptr, &CommandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &Startup, &FInfo);
    }
    ~TProgram() {
        if (!Started) return;
        if (WaitForSingleObject(FInfo.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(FInfo.hProcess, 1);
        CloseHandle(FInfo.hProcess);
        CloseHandle(FInfo.hThread);
    }
    bool Started = false;
    DWORD Id() const { return FInfo.dwProcessId; }
    // The exit code, or STILL_ACTIVE when it has not ended within Milliseconds.
    DWORD WaitForExit(DWORD Milliseconds) const {
        WaitForSingleObject(FInfo.hProcess, Milliseconds);
        DWORD Code = STILL_ACTIVE;
        GetExitCodeProcess(FInfo.hProcess, &Code);
        return Code;
    }

private:
    PROCESS_INFORMATION FInfo{};
};

struct TWindowSearch {
    DWORD ProcessId;
    std::string Caption;
    HWND Found = nullptr;
    int Count = 0;  // top-level windows of the process (with the caption, when one is given)
};

BOOL CALLBACK MatchWindow(HWND Window, LPARAM Param) {
    auto* Search = reinterpret_cast<TWindowSearch*>(Param);
    DWORD Owner = 0;
    GetWindowThreadProcessId(Window, &Owner);
    char Text[256] = "";
    GetWindowTextA(Window, Text, sizeof Text);
    if (Owner == Search->ProcessId && (Search->Caption.empty() || Search->Caption == Text)) {
        ++Search->Count;
        if (!Search->Found) Search->Found = Window;
    }
    return TRUE;
}

TWindowSearch FindWindows(DWORD ProcessId, const std::string& Caption) {
    TWindowSearch Search{ProcessId, Caption};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&Search));
    return Search;
}

// The visible window of the process with the caption, waited for up to Milliseconds.
HWND WaitForWindow(const TProgram& Program, const std::string& Caption, DWORD Milliseconds = 20000) {
    const DWORD Start = GetTickCount();
    do {
        HWND Window = FindWindows(Program.Id(), Caption).Found;
        if (Window && IsWindowVisible(Window)) return Window;
        Sleep(10);
    } while (GetTickCount() - Start < Milliseconds);
    return nullptr;
}

// Lights the Exit button and clicks it, as the pointer would.
void ClickExit(HWND MainWindow) {
    const LPARAM Centre = MAKELPARAM(211 + 197 / 2, 312 + 20);
    PostMessageA(MainWindow, WM_MOUSEMOVE, 0, Centre);
    PostMessageA(MainWindow, WM_LBUTTONDOWN, MK_LBUTTON, Centre);
    PostMessageA(MainWindow, WM_LBUTTONUP, 0, Centre);
}
}  // namespace

TEST(Velmora, ASecondStartEndsAtOnceWithoutAWindow) {
    TProgram First(VELMORA_EXE);
    ASSERT_TRUE(First.Started);
    HWND Main = WaitForWindow(First, kMainCaption);
    ASSERT_TRUE(Main);
    TProgram Second(VELMORA_EXE);
    ASSERT_TRUE(Second.Started);
    EXPECT_EQ(0u, Second.WaitForExit(20000));
    EXPECT_EQ(0, FindWindows(Second.Id(), "").Count);
    EXPECT_TRUE(IsWindow(Main));
    ClickExit(Main);
    EXPECT_EQ(0u, First.WaitForExit(20000));
}

TEST(Velmora, AfterTheErrorCaptionANewStartRuns) {
    TProgram Old(VELMORA_EXE);
    HWND OldMain = WaitForWindow(Old, kMainCaption);
    ASSERT_TRUE(OldMain);
    SetWindowTextA(OldMain, "Velmora! - Error");
    TProgram New(VELMORA_EXE);
    HWND NewMain = WaitForWindow(New, kMainCaption);
    ASSERT_TRUE(NewMain) << "the new start did not show its window";
    EXPECT_EQ(STILL_ACTIVE, New.WaitForExit(0));
    ClickExit(NewMain);
    ClickExit(OldMain);
    EXPECT_EQ(0u, New.WaitForExit(20000));
    EXPECT_EQ(0u, Old.WaitForExit(20000));
}

TEST(Velmora, ExitEndsTheProgram) {
    TProgram Program(VELMORA_EXE);
    HWND Main = WaitForWindow(Program, kMainCaption);
    ASSERT_TRUE(Main);
    ClickExit(Main);
    EXPECT_EQ(0u, Program.WaitForExit(20000));
    EXPECT_FALSE(IsWindow(Main));
}

// Not a pass/fail check: prints start-up time against a minimal window program under the same Wine.
TEST(Velmora, StartupTimeAgainstAMinimalWindowProgram) {
    auto TimeToWindow = [](const char* Path, const char* Caption) {
        const auto Start = std::chrono::steady_clock::now();
        TProgram Program(Path);
        HWND Window = WaitForWindow(Program, Caption);
        const double Ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - Start).count();
        EXPECT_TRUE(Window) << Path;
        if (Window) PostMessageA(Window, WM_CLOSE, 0, 0);
        Program.WaitForExit(20000);
        return Ms;
    };
    TimeToWindow(MINIMAL_EXE, "Minimal Window");  // warm Wine's caches for both
    TimeToWindow(VELMORA_EXE, kMainCaption);
    // The median of three alternating starts of each evens out the machine's noise.
    std::vector<double> Minimals, Velmoras;
    for (int Round = 0; Round < 3; ++Round) {
        Minimals.push_back(TimeToWindow(MINIMAL_EXE, "Minimal Window"));
        Velmoras.push_back(TimeToWindow(VELMORA_EXE, kMainCaption));
    }
    std::sort(Minimals.begin(), Minimals.end());
    std::sort(Velmoras.begin(), Velmoras.end());
    const double Minimal = Minimals[1], Velmora = Velmoras[1];
    std::printf("start-up to visible main window: Velmora %.0f ms, minimal window %.0f ms, ratio %.2f\n", Velmora,
                Minimal, Velmora / Minimal);
    RecordProperty("startup_ratio", std::to_string(Velmora / Minimal));
}
