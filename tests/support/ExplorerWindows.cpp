// Stands in for the dialog boxes, Internet Explorer and Explorer windows that Velmora asks to close
// (CloseExplorerWindows): opens top-level windows of those classes and writes every close request
// they receive to a log, one line per request, so that a test can read it while we run.
//
// Usage: explorer_windows.exe LOGFILE WINDOW...
//   WINDOW is CLASS[*COUNT][:ignore|:hang], CLASS one of #32770 (a real dialog box), IEFrame,
//   ExploreWClass, CabinetWClass; or "decoys": one window of another class titled with each of
//   the four class names.
//   A window closes on a request by default; ":ignore" handles the request and stays open,
//   ":hang" does not answer for a long time.
// Log lines: "ready" once every window is open, then "SC_CLOSE <name> <count>" per request, where
// name is the class and the window's number within its class ("IEFrame 2"), or "decoy <class>".
// Ends on WM_QUIT posted to its main thread, and on its own after a few minutes.
#include <windows.h>

#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace {
enum class TBehaviour { Close, Ignore, Hang };

struct TWantedWindow {
    std::string ClassName;
    std::string Name;   // in the log
    std::string Title;
    TBehaviour Behaviour = TBehaviour::Close;
    int Requests = 0;
};

const char* const kDialogClass = "#32770";
const char* const kDecoyClass = "VelmoraDecoy";
const char* const kExplorerClasses[] = {"#32770", "IEFrame", "ExploreWClass", "CabinetWClass"};
// Long enough for any caller's timeout; the process is ended long before the window answers.
constexpr DWORD kHangMilliseconds = 60000;
// A helper that a failed test forgot must not live on into the next tests.
constexpr UINT kLifetimeMilliseconds = 180000;

HANDLE Log = INVALID_HANDLE_VALUE;
std::mutex LogLock;

void WriteLog(const std::string& Line) {
    std::lock_guard<std::mutex> Guard(LogLock);
    const std::string Text = Line + "\r\n";
    DWORD Written;
    WriteFile(Log, Text.data(), static_cast<DWORD>(Text.size()), &Written, nullptr);
    FlushFileBuffers(Log);
}

// Counts and logs a close request; true when the window should go on to close.
bool CloseRequested(HWND Window) {
    auto* Wanted = reinterpret_cast<TWantedWindow*>(GetWindowLongPtrA(Window, GWLP_USERDATA));
    if (!Wanted) return true;
    WriteLog("SC_CLOSE " + Wanted->Name + " " + std::to_string(++Wanted->Requests));
    if (Wanted->Behaviour == TBehaviour::Hang) Sleep(kHangMilliseconds);
    return Wanted->Behaviour == TBehaviour::Close;
}

bool IsCloseRequest(UINT Message, WPARAM WParam) {
    return Message == WM_SYSCOMMAND && (WParam & 0xFFF0) == SC_CLOSE;
}

LRESULT CALLBACK WindowProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
    if (IsCloseRequest(Message, WParam) && !CloseRequested(Window)) return 0;
    // SC_CLOSE goes on to WM_CLOSE, and WM_CLOSE to DestroyWindow.
    return DefWindowProcA(Window, Message, WParam, LParam);
}

INT_PTR CALLBACK DialogProc(HWND Window, UINT Message, WPARAM WParam, LPARAM) {
    if (IsCloseRequest(Message, WParam)) return CloseRequested(Window) ? FALSE : TRUE;
    // A modeless dialog box is destroyed here, at once: the dialog manager's own answer to
    // WM_CLOSE is a posted IDCANCEL, which would leave the box open a moment longer.
    if (Message == WM_CLOSE) {
        DestroyWindow(Window);
        return TRUE;
    }
    return Message == WM_INITDIALOG;
}

// A dialog template of no controls; the title is set after creation.
struct alignas(4) TEmptyDialogTemplate {
    DLGTEMPLATE Header;
    WORD Menu, WindowClass, Title;
};

HWND OpenWindow(TWantedWindow& Wanted, int Index) {
    const int Left = 40 + 30 * Index, Top = 40 + 30 * Index;
    HWND Window;
    if (Wanted.ClassName == kDialogClass) {
        TEmptyDialogTemplate Template{};
        Template.Header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
        Template.Header.x = static_cast<short>(Left / 2);
        Template.Header.y = static_cast<short>(Top / 2);
        Template.Header.cx = 150;
        Template.Header.cy = 80;
        Window = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), &Template.Header, nullptr, DialogProc, 0);
    } else {
        Window = CreateWindowExA(0, Wanted.ClassName.c_str(), "", WS_OVERLAPPEDWINDOW, Left, Top, 300, 200, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    if (!Window) return nullptr;
    SetWindowLongPtrA(Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&Wanted));
    SetWindowTextA(Window, Wanted.Title.c_str());
    ShowWindow(Window, SW_SHOWNOACTIVATE);
    return Window;
}

// A window that hangs gets a thread of its own, so that the others keep answering.
struct THangingWindow {
    TWantedWindow* Wanted;
    int Index;
    HANDLE Opened;
    bool Ok = false;
};

DWORD WINAPI HangingWindowThread(void* Parameter) {
    auto* Job = static_cast<THangingWindow*>(Parameter);
    Job->Ok = OpenWindow(*Job->Wanted, Job->Index) != nullptr;
    SetEvent(Job->Opened);
    MSG Message;
    while (GetMessageA(&Message, nullptr, 0, 0) > 0) DispatchMessageA(&Message);
    return 0;
}

bool ParseWindows(const std::string& Argument, std::vector<std::unique_ptr<TWantedWindow>>& WantedWindows) {
    if (Argument == "decoys") {
        for (const char* ClassName : kExplorerClasses) {
            auto Wanted = std::make_unique<TWantedWindow>();
            Wanted->ClassName = kDecoyClass;
            Wanted->Name = std::string("decoy ") + ClassName;
            Wanted->Title = ClassName;  // what a search by title instead of by class would find
            WantedWindows.push_back(std::move(Wanted));
        }
        return true;
    }
    std::string ClassName = Argument;
    TBehaviour Behaviour = TBehaviour::Close;
    const size_t Colon = ClassName.find(':');
    if (Colon != std::string::npos) {
        const std::string Word = ClassName.substr(Colon + 1);
        if (Word == "ignore") Behaviour = TBehaviour::Ignore;
        else if (Word == "hang") Behaviour = TBehaviour::Hang;
        else return false;
        ClassName.erase(Colon);
    }
    int Count = 1;
    const size_t Star = ClassName.find('*');
    if (Star != std::string::npos) {
        Count = std::atoi(ClassName.c_str() + Star + 1);
        ClassName.erase(Star);
    }
    bool Known = false;
    for (const char* Candidate : kExplorerClasses) Known = Known || ClassName == Candidate;
    if (!Known || Count < 1) return false;
    int Number = 0;
    for (const auto& Wanted : WantedWindows) Number += Wanted->ClassName == ClassName;
    for (int I = 0; I < Count; ++I) {
        auto Wanted = std::make_unique<TWantedWindow>();
        Wanted->ClassName = ClassName;
        Wanted->Name = ClassName + " " + std::to_string(++Number);
        Wanted->Title = Wanted->Name;
        Wanted->Behaviour = Behaviour;
        WantedWindows.push_back(std::move(Wanted));
    }
    return true;
}

void CALLBACK LifetimeOver(HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(0); }

bool RegisterWindowClass(const char* ClassName) {
    WNDCLASSA Class{};
    Class.lpfnWndProc = WindowProc;
    Class.hInstance = GetModuleHandleA(nullptr);
    Class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    Class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    Class.lpszClassName = ClassName;
    return RegisterClassA(&Class) != 0;
}
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (__argc < 2) return 1;
    std::vector<std::unique_ptr<TWantedWindow>> WantedWindows;
    for (int I = 2; I < __argc; ++I)
        if (!ParseWindows(__argv[I], WantedWindows)) return 1;
    Log = CreateFileA(__argv[1], FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (Log == INVALID_HANDLE_VALUE) return 2;
    for (const char* ClassName : {"IEFrame", "ExploreWClass", "CabinetWClass", kDecoyClass})
        if (!RegisterWindowClass(ClassName)) return 3;

    std::vector<std::unique_ptr<THangingWindow>> Hanging;
    for (size_t I = 0; I < WantedWindows.size(); ++I) {
        if (WantedWindows[I]->Behaviour == TBehaviour::Hang) {
            auto Job = std::make_unique<THangingWindow>();
            Job->Wanted = WantedWindows[I].get();
            Job->Index = static_cast<int>(I);
            Job->Opened = CreateEventA(nullptr, TRUE, FALSE, nullptr);
            HANDLE Thread = CreateThread(nullptr, 0, HangingWindowThread, Job.get(), 0, nullptr);
            if (!Thread) return 4;
            CloseHandle(Thread);
            WaitForSingleObject(Job->Opened, INFINITE);
            CloseHandle(Job->Opened);
            if (!Job->Ok) return 4;
            Hanging.push_back(std::move(Job));
        } else if (!OpenWindow(*WantedWindows[I], static_cast<int>(I))) {
            return 4;
        }
    }
    SetTimer(nullptr, 0, kLifetimeMilliseconds, LifetimeOver);
    WriteLog("ready");

    MSG Message;
    while (GetMessageA(&Message, nullptr, 0, 0) > 0) DispatchMessageA(&Message);
    // Leaving WinMain ends the process, and with it a thread that is still asleep in a hang.
    CloseHandle(Log);
    return 0;
}
