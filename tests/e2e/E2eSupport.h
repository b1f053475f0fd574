// What the end-to-end tests share: programs started as a user starts them, and waiting for windows.
#pragma once

#include <windows.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

// The Windows path of a file that the build names by its Unix path (Wine's drive Z: is the root).
inline std::string WindowsPath(const std::string& Path) {
    std::string Result = Path[0] == '/' ? "Z:" + Path : Path;
    for (char& C : Result)
        if (C == '/') C = '\\';
    return Result;
}

// A started program, ended at the latest when the test ends.
class TProgram {
public:
    explicit TProgram(const std::string& Path, const std::string& Arguments = "") {
        STARTUPINFOA Startup{};
        Startup.cb = sizeof Startup;
        std::string CommandLine = "\"" + WindowsPath(Path) + "\"" + Arguments;
        Started = CreateProcessA(nullptr, &CommandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &Startup, &FInfo);
    }
    ~TProgram() {
        if (!Started) return;
        if (WaitForSingleObject(FInfo.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(FInfo.hProcess, 1);
        CloseHandle(FInfo.hProcess);
        CloseHandle(FInfo.hThread);
    }
    TProgram(const TProgram&) = delete;
    TProgram& operator=(const TProgram&) = delete;
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

// Waits up to Milliseconds for Found() to give a window, looking every 10 ms (start-up times are
// read through it).
inline HWND WaitFor(const std::function<HWND()>& Found, DWORD Milliseconds = 20000) {
    const DWORD Start = GetTickCount();
    do {
        if (HWND Window = Found()) return Window;
        Sleep(10);
    } while (GetTickCount() - Start < Milliseconds);
    return nullptr;
}

// The whole content of a file, byte for byte (empty when it cannot be read).
inline std::string WholeFile(const std::string& Path) {
    std::ifstream In(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}

// Ends every process that shows a window captioned Caption (what a failed test left running would
// hold CTest's output open and refuse the next start).
inline void EndProcessesOf(const char* Caption) {
    for (int Tries = 0; Tries < 5; ++Tries) {
        HWND Window = FindWindowA(nullptr, Caption);
        if (!Window) return;
        DWORD Id = 0;
        GetWindowThreadProcessId(Window, &Id);
        HANDLE Process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, Id);
        if (!Process) return;
        TerminateProcess(Process, 1);
        WaitForSingleObject(Process, 5000);
        CloseHandle(Process);
    }
}

// The top-level windows of process Id (of any process when Id is 0) captioned Caption (whatever
// their caption when Caption is empty); only the visible ones unless told otherwise.
inline std::vector<HWND> TopLevelWindows(DWORD Id, const std::string& Caption, bool VisibleOnly = true) {
    struct TSearch {
        DWORD Id;
        const std::string& Caption;
        bool VisibleOnly;
        std::vector<HWND> Found;
        static BOOL CALLBACK Match(HWND Window, LPARAM Param) {
            auto* S = reinterpret_cast<TSearch*>(Param);
            DWORD Owner = 0;
            GetWindowThreadProcessId(Window, &Owner);
            char Title[256] = "";
            GetWindowTextA(Window, Title, sizeof Title);
            if ((S->Id == 0 || Owner == S->Id) && (S->Caption.empty() || S->Caption == Title) &&
                (!S->VisibleOnly || IsWindowVisible(Window)))
                S->Found.push_back(Window);
            return TRUE;
        }
    } Search{Id, Caption, VisibleOnly, {}};
    EnumWindows(TSearch::Match, reinterpret_cast<LPARAM>(&Search));
    return Search.Found;
}

// The first visible window of process Id captioned Caption, waited for up to Milliseconds.
inline HWND WaitForWindow(DWORD Id, const std::string& Caption, DWORD Milliseconds = 20000) {
    return WaitFor(
        [&]() -> HWND {
            const std::vector<HWND> Found = TopLevelWindows(Id, Caption);
            return Found.empty() ? nullptr : Found[0];
        },
        Milliseconds);
}

// The visible child button of Window captioned Text.
inline HWND Button(HWND Window, const char* Text) {
    HWND Found = FindWindowExA(Window, nullptr, "Button", Text);
    return Found && IsWindowVisible(Found) ? Found : nullptr;
}

// Real input, as a person gives it (SendInput): it reaches whatever window is under the pointer, or
// has the focus, when the program that owns it next reads its input.
// Moves the pointer to the middle of Window and gives the program a moment to see it there: under Wine
// a click whose move arrives while the program blocks does not always reach the control under it, so a
// test that clicks during a blocking step moves the pointer before the step.
inline void RealMoveTo(HWND Window) {
    RECT R;
    GetWindowRect(Window, &R);
    INPUT Input{};
    Input.type = INPUT_MOUSE;
    Input.mi.dx = (R.left + R.right) / 2 * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    Input.mi.dy = (R.top + R.bottom) / 2 * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    Input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    SendInput(1, &Input, sizeof Input);
    Sleep(200);
}
// A left click where the pointer is.
inline void RealClick() {
    INPUT Input[2]{};
    Input[0].type = Input[1].type = INPUT_MOUSE;
    Input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    Input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, Input, sizeof Input[0]);
}
// A key pressed and released, with Alt held when asked, to the window with the focus.
inline void RealKey(WORD Key, bool Alt = false) {
    std::vector<INPUT> Input;
    const auto Add = [&](WORD Code, bool Up) {
        INPUT Each{};
        Each.type = INPUT_KEYBOARD;
        Each.ki.wVk = Code;
        Each.ki.wScan = static_cast<WORD>(MapVirtualKeyA(Code, MAPVK_VK_TO_VSC));
        Each.ki.dwFlags = Up ? KEYEVENTF_KEYUP : 0;
        Input.push_back(Each);
    };
    if (Alt) Add(VK_MENU, false);
    Add(Key, false);
    Add(Key, true);
    if (Alt) Add(VK_MENU, true);
    SendInput(static_cast<UINT>(Input.size()), Input.data(), sizeof(INPUT));
}
