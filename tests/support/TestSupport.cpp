#include "TestSupport.h"

#include <gtest/gtest.h>

#include <colordlg.h>
#include <dlgs.h>
#include <shellapi.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>

bool PumpUntil(const std::function<bool()>& Condition, int Milliseconds) {
    const DWORD Start = GetTickCount();
    while (!Condition()) {
        if (GetTickCount() - Start > static_cast<DWORD>(Milliseconds)) return Condition();
        Application->ProcessMessages();
        Sleep(5);
    }
    return true;
}

void PumpFor(int Milliseconds) {
    PumpUntil([] { return false; }, Milliseconds);
}

namespace {
std::map<UINT_PTR, std::function<void()>>& LaterActions() {
    static std::map<UINT_PTR, std::function<void()>> Actions;
    return Actions;
}

void CALLBACK RunLaterTick(HWND, UINT, UINT_PTR Timer, DWORD) {
    KillTimer(nullptr, Timer);
    auto Found = LaterActions().find(Timer);
    if (Found == LaterActions().end()) return;
    auto Action = std::move(Found->second);
    LaterActions().erase(Found);
    Action();
}
}  // namespace

void RunLater(int Milliseconds, std::function<void()> Action) {
    const UINT_PTR Timer = SetTimer(nullptr, 0, static_cast<UINT>(Milliseconds), RunLaterTick);
    LaterActions()[Timer] = std::move(Action);
}

void RunWhen(std::function<bool()> Condition, std::function<void()> Action, int Milliseconds) {
    constexpr int kPollMs = 100;
    RunLater(kPollMs, [=] {
        if (Condition()) Action();
        else if (Milliseconds > kPollMs) RunWhen(Condition, Action, Milliseconds - kPollMs);
    });
}

void WhenActive(TForm* Form, std::function<void()> Steps) {
    constexpr int kWaitMs = 10000;
    const DWORD Deadline = GetTickCount() + kWaitMs;
    RunWhen([=] { return Form->Active() || GetTickCount() > Deadline; },
            [=] {
                EXPECT_TRUE(Form->Active()) << Form->Caption() << " never became active";
                Steps();
            },
            2 * kWaitMs);
}

TModalResult RunModal(TForm* Form, const std::function<void()>& Steps, int Milliseconds) {
    RunLater(50, [=] {
        EXPECT_TRUE(PumpUntil([=] { return Form->Active(); })) << Form->Caption() << " never became active";
        Steps();
        if (!PumpUntil([=] { return Form->ModalResult != mrNone; }, Milliseconds)) Form->ModalResult = mrAbort;
    });
    return Form->ShowModal();
}

TBoxAnswerer::TBoxAnswerer(std::vector<int> Answers, int Default)
    : FAnswers(std::move(Answers)), FDefault(Default), FPrevious(Application->MessageBoxResponder) {
    Application->MessageBoxResponder = [this](const TMessageBoxRequest& Request) {
        Asked.push_back(Request);
        if (OnAsk) OnAsk(Request);
        const size_t Index = Asked.size() - 1;
        return Index < FAnswers.size() ? FAnswers[Index] : FDefault;
    };
}

TBoxAnswerer::~TBoxAnswerer() { Application->MessageBoxResponder = FPrevious; }

int FailOnUnexpectedBox(const TMessageBoxRequest& Request) {
    ADD_FAILURE() << "unexpected message box \"" << Request.Caption << "\": " << Request.Text;
    switch (Request.Flags & MB_TYPEMASK) {
        case MB_OKCANCEL:
        case MB_YESNOCANCEL:
        case MB_RETRYCANCEL:
            return IDCANCEL;
        case MB_YESNO:
            return IDNO;
        case MB_ABORTRETRYIGNORE:
            return IDABORT;
        default:
            return IDOK;
    }
}

TScratchFolder::TScratchFolder() {
    char Temp[MAX_PATH];
    GetTempPathA(MAX_PATH, Temp);
    static int Counter = 0;
    FPath = std::string(Temp) + "velmora-test-" + std::to_string(GetCurrentProcessId()) + "-" +
            std::to_string(++Counter) + "\\";
    CreateDirectoryA(FPath.c_str(), nullptr);
}

TScratchFolder::~TScratchFolder() {
    std::string From = FPath.substr(0, FPath.size() - 1);
    From.push_back('\0');  // a double-zero-terminated list
    SHFILEOPSTRUCTA Operation{};
    Operation.wFunc = FO_DELETE;
    Operation.pFrom = From.c_str();
    Operation.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&Operation);
}

// Reserved from the largest pieces down, as the system places them: Wine hands out its own reserved
// areas too, which a walk over the free regions would not see.
TAddressSpaceFilled::TAddressSpaceFilled(size_t MinBytes) {
    for (size_t Size = size_t(1) << 30; Size >= MinBytes; Size /= 2)
        while (void* Reserved = VirtualAlloc(nullptr, Size, MEM_RESERVE, PAGE_NOACCESS)) FReserved.push_back(Reserved);
}

TAddressSpaceFilled::~TAddressSpaceFilled() {
    for (void* Reserved : FReserved) VirtualFree(Reserved, 0, MEM_RELEASE);
}

std::string WindowsPath(const std::string& Path) {
    if (Path.empty() || Path[0] != '/') return Path;
    std::string Result = "Z:" + Path;
    for (char& C : Result)
        if (C == '/') C = '\\';
    return Result;
}

bool FileExists(const std::string& Path) {
    const DWORD Attributes = GetFileAttributesA(Path.c_str());
    return Attributes != INVALID_FILE_ATTRIBUTES && !(Attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<std::string> FilesIn(const std::string& Folder, const char* Pattern) {
    std::vector<std::string> Names;
    WIN32_FIND_DATAA Found;
    HANDLE Search = FindFirstFileA((Folder + Pattern).c_str(), &Found);
    if (Search == INVALID_HANDLE_VALUE) return Names;
    do
        if (!(Found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) Names.push_back(Found.cFileName);
    while (FindNextFileA(Search, &Found));
    FindClose(Search);
    return Names;
}

void EmptyFolder(const std::string& Folder) {
    for (const std::string& Name : FilesIn(Folder)) DeleteFileA((Folder + Name).c_str());
}

std::vector<std::string> ReadLines(const std::string& Path) {
    std::vector<std::string> Lines;
    std::ifstream In(Path, std::ios::binary);
    for (std::string Line; std::getline(In, Line);) {
        if (!Line.empty() && Line.back() == '\r') Line.pop_back();
        Lines.push_back(Line);
    }
    return Lines;
}

namespace {
const char* const kBrowserKey = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE";
}

TStandInBrowser::TStandInBrowser(const std::string& Recorder, const std::string& Log) : FLog(Log) {
    const std::string Path = WindowsPath(Recorder);
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, kBrowserKey, nullptr, REG_SZ, Path.c_str(), static_cast<DWORD>(Path.size() + 1));
    SetEnvironmentVariableA("VELMORA_RECORDER_LOG", Log.c_str());
}

TStandInBrowser::~TStandInBrowser() {
    SetEnvironmentVariableA("VELMORA_RECORDER_LOG", nullptr);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kBrowserKey);
}

std::vector<std::string> TStandInBrowser::Record(size_t Count, int Milliseconds) const {
    std::vector<std::string> Lines;
    PumpUntil([&] { return (Lines = ReadLines(FLog)).size() >= Count; }, Milliseconds);
    return Lines;
}

// ---- real input ----

namespace {
// Only the tests move the pointer. Wine's desktop process reports the X server's pointer, which
// stays where the last test left it, whenever a window appears or goes under it; under load such
// a report can arrive between a test's move and its click and send the click to the old place.
// Input that did not come from SendInput is dropped for as long as the test process runs.
LRESULT CALLBACK DropForeignMouseInput(int Code, WPARAM Message, LPARAM Info) {
    if (Code == HC_ACTION && !(reinterpret_cast<const MSLLHOOKSTRUCT*>(Info)->flags & LLMHF_INJECTED)) return 1;
    return CallNextHookEx(nullptr, Code, Message, Info);
}

void OwnThePointer() {
    static const HHOOK Hook = SetWindowsHookExA(WH_MOUSE_LL, DropForeignMouseInput, GetModuleHandleA(nullptr), 0);
    (void)Hook;
}

void SendKey(WORD VirtualKey, bool Up) {
    INPUT Input{};
    Input.type = INPUT_KEYBOARD;
    Input.ki.wVk = VirtualKey;
    Input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(VirtualKey, MAPVK_VK_TO_VSC));
    Input.ki.dwFlags = Up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &Input, sizeof Input);
}

void SendMouse(DWORD Flags, POINT Screen = {}, DWORD Data = 0) {
    OwnThePointer();
    INPUT Input{};
    Input.type = INPUT_MOUSE;
    if (Flags & MOUSEEVENTF_ABSOLUTE) {
        Input.mi.dx = Screen.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
        Input.mi.dy = Screen.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    }
    Input.mi.mouseData = Data;
    Input.mi.dwFlags = Flags;
    SendInput(1, &Input, sizeof Input);
}

// Whether the point shows Window's top-level window (a disabled control is not found at a point: its
// parent is).
bool ShowsWindowAt(HWND Window, POINT Screen) {
    return GetAncestor(WindowFromPoint(Screen), GA_ROOT) == GetAncestor(Window, GA_ROOT);
}
}  // namespace

void PressKey(WORD VirtualKey, bool Shift, bool Control, bool Alt) {
    if (Alt) SendKey(VK_MENU, false);
    if (Control) SendKey(VK_CONTROL, false);
    if (Shift) SendKey(VK_SHIFT, false);
    SendKey(VirtualKey, false);
    SendKey(VirtualKey, true);
    if (Shift) SendKey(VK_SHIFT, true);
    if (Control) SendKey(VK_CONTROL, true);
    if (Alt) SendKey(VK_MENU, true);
}

void TypeKeys(const std::string& Text) {
    for (char C : Text) {
        const SHORT Key = VkKeyScanA(C);
        PressKey(LOBYTE(Key), (HIBYTE(Key) & 1) != 0);
    }
}

void MoveMouseTo(HWND Window, int X, int Y) {
    POINT P{X, Y};
    ClientToScreen(Window, &P);
    // A window that is still going away (the last test's form, a tooltip) may cover the point.
    if (!PumpUntil([&] { return ShowsWindowAt(Window, P); }))
        ADD_FAILURE() << "another window lies at " << X << "," << Y << " of the window to click";
    SendMouse(MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE, P);
}

bool InputPending() {
    MSG Msg;
    return PeekMessageA(&Msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE) ||
           PeekMessageA(&Msg, nullptr, WM_LBUTTONDOWN, WM_MOUSELAST, PM_NOREMOVE);
}

namespace {
struct TStepHook {
    UINT Message;
    std::function<void()> Action;
};
std::map<HWND, TStepHook>& StepHooks() {
    static std::map<HWND, TStepHook> Hooks;
    return Hooks;
}

LRESULT CALLBACK StepWindowProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    auto Found = StepHooks().find(Window);
    if (Found != StepHooks().end()) {
        if (Msg == Found->second.Message && Found->second.Action) Found->second.Action();
        if (Msg == WM_NCDESTROY) StepHooks().erase(Window);
    }
    return DefWindowProcA(Window, Msg, WParam, LParam);
}
}  // namespace

HWND MakeStepWindow(const char* ClassName, UINT Message, std::function<void()> Action) {
    WNDCLASSA Class{};
    Class.lpfnWndProc = DefWindowProcA;
    Class.hInstance = GetModuleHandleA(nullptr);
    Class.lpszClassName = ClassName;
    RegisterClassA(&Class);  // fails harmlessly when a test made the class before
    HWND Window = CreateWindowA(ClassName, "Stand-in", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                Class.hInstance, nullptr);
    if (!Window) return nullptr;
    StepHooks()[Window] = TStepHook{Message, std::move(Action)};
    SetWindowLongPtrA(Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StepWindowProc));
    return Window;
}

void TurnWheel(int Notches) { SendMouse(MOUSEEVENTF_WHEEL, {}, static_cast<DWORD>(Notches * WHEEL_DELTA)); }

void ClickAt(HWND Window, int X, int Y) {
    MoveMouseTo(Window, X, Y);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_LEFTUP);
}

void ClickCenter(HWND Window) {
    RECT R;
    GetClientRect(Window, &R);
    ClickAt(Window, R.right / 2, R.bottom / 2);
}

// ---- the open-file dialog ----

namespace {
constexpr int kDialogWaitMs = 30000;  // the first one under Wine loads the shell: slow
constexpr int kAnswerGraceMs = 5000;

BOOL CALLBACK FindEditBox(HWND Window, LPARAM Found) {
    char Class[16] = "";
    GetClassNameA(Window, Class, sizeof Class);
    if (lstrcmpiA(Class, "Edit") != 0) return TRUE;
    *reinterpret_cast<HWND*>(Found) = Window;
    return FALSE;
}

// The edit box that takes the file name: inside control cmb13 on today's dialogs (Wine nests it in
// a ComboBoxEx), edt1 on older ones.
HWND FileNameBox(HWND Dialog) {
    HWND Edit = nullptr;
    if (HWND Combo = GetDlgItem(Dialog, cmb13)) EnumChildWindows(Combo, FindEditBox, reinterpret_cast<LPARAM>(&Edit));
    return Edit ? Edit : GetDlgItem(Dialog, edt1);
}

BOOL CALLBACK FindOwnedBox(HWND Window, LPARAM OwnerAndBox) {
    auto* Found = reinterpret_cast<std::pair<HWND, HWND>*>(OwnerAndBox);
    char Class[16] = "";
    GetClassNameA(Window, Class, sizeof Class);
    if (GetWindow(Window, GW_OWNER) != Found->first || lstrcmpA(Class, "#32770") != 0) return TRUE;
    Found->second = Window;
    return FALSE;
}

void PressDialogButton(HWND Dialog, int Id) {
    PostMessageA(Dialog, WM_COMMAND, MAKEWPARAM(Id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(Dialog, Id)));
}

// Runs Action with the dialog once a visible dialog titled Title exists and holds control Ready
// (found by Find).
void WhenDialogShows(const std::string& Title, std::function<HWND(HWND)> Find, std::function<void(HWND)> Action) {
    auto Shown = [=] {
        HWND Dialog = FindWindowA("#32770", Title.c_str());
        return Dialog && IsWindowVisible(Dialog) && Find(Dialog) ? Dialog : nullptr;
    };
    RunWhen([=] { return Shown() != nullptr; }, [=] { Action(Shown()); }, kDialogWaitMs);
}

std::string DialogItemText(HWND Dialog, int Id) {
    char Text[32] = "";
    GetDlgItemTextA(Dialog, Id, Text, sizeof Text);
    return Text;
}
}  // namespace

void WhenOpenDialogShows(const std::string& Title, std::function<void(HWND Dialog)> Action) {
    WhenDialogShows(Title, FileNameBox, std::move(Action));
}

HWND BoxOwnedBy(HWND Owner) {
    std::pair<HWND, HWND> OwnerAndBox{Owner, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), FindOwnedBox, reinterpret_cast<LPARAM>(&OwnerAndBox));
    return OwnerAndBox.second;
}

void AnswerOpenDialog(const std::string& Title, const std::string& Path) {
    WhenOpenDialogShows(Title, [Path](HWND Dialog) {
        SetWindowTextA(FileNameBox(Dialog), Path.c_str());
        PressDialogButton(Dialog, IDOK);
        RunLater(kAnswerGraceMs, [Dialog] {
            if (!IsWindow(Dialog)) return;
            // First the message box in which the dialog complains about the name, then the dialog.
            if (HWND Box = BoxOwnedBy(Dialog)) PressDialogButton(Box, IDOK);
            PressDialogButton(Dialog, IDCANCEL);
        });
    });
}

void CancelOpenDialog(const std::string& Title) {
    WhenOpenDialogShows(Title, [](HWND Dialog) { PressDialogButton(Dialog, IDCANCEL); });
}

void AnswerColorDialog(COLORREF Color, std::string* Shown, bool Cancel) {
    auto RedBox = [](HWND Dialog) { return GetDlgItem(Dialog, COLOR_RED); };
    WhenDialogShows(kColorDialogTitle, RedBox, [=](HWND Dialog) {
        if (Shown)
            *Shown = DialogItemText(Dialog, COLOR_RED) + " " + DialogItemText(Dialog, COLOR_GREEN) + " " +
                     DialogItemText(Dialog, COLOR_BLUE);
        // The dialog takes a colour typed into its red, green and blue boxes.
        SetDlgItemInt(Dialog, COLOR_RED, GetRValue(Color), FALSE);
        SetDlgItemInt(Dialog, COLOR_GREEN, GetGValue(Color), FALSE);
        SetDlgItemInt(Dialog, COLOR_BLUE, GetBValue(Color), FALSE);
        PressDialogButton(Dialog, Cancel ? IDCANCEL : IDOK);
    });
}

std::string SiteFile(const std::string& Name) {
    const char* Info = std::getenv("VELMORA_SITE_INFO");
    if (!Info) return "";
    std::ifstream In(std::string(Info) + "\\" + Name);
    std::string Value;
    In >> Value;
    return Value;
}

std::string WholeFile(const std::string& Path) {
    std::ifstream In(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}

std::string SiteLog() {
    const char* Info = std::getenv("VELMORA_SITE_INFO");
    if (!Info) return "";
    std::ifstream In(std::string(Info) + "\\log\\requests.log", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}
