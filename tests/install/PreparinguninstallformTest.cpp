// The preparing window's own work, without showing it: the temporary copy with its fall-back, the
// bar's widths, and the argument the copy is started with.
#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

#include <fstream>
#include <memory>

#include "Globals.h"
#include "Links.h"
#include "Preparinguninstallform.h"
#include "TestSupport.h"

namespace {
std::string Folder(UINT (*Call)(char*, UINT)) {
    char Buffer[MAX_PATH] = "";
    Call(Buffer, MAX_PATH);
    std::string Path = Buffer;
    return Path.back() == '\\' ? Path : Path + "\\";
}
UINT TempFolder(char* Buffer, UINT Size) { return GetTempPathA(Size, Buffer); }
UINT SystemFolder(char* Buffer, UINT Size) { return GetSystemDirectoryA(Buffer, Size); }

// Where a copy may go: nothing there, or a folder in its way.
void Block(const std::string& Path, bool Blocked) {
    DeleteFileA(Path.c_str());
    RemoveDirectoryA(Path.c_str());
    if (Blocked) CreateDirectoryA(Path.c_str(), nullptr);
}
}  // namespace

TEST(PreparingUninstall, TheTemporaryCopyGoesToTheTempFolderElseTheSystemFolder) {
    const std::string Temp = Folder(TempFolder) + "vlmuntmp0.exe", System = Folder(SystemFolder) + "vlmuntmp0.exe";
    char Tmp[MAX_PATH] = "";
    GetEnvironmentVariableA("TMP", Tmp, MAX_PATH);
    const std::string TooLong = "C:\\" + std::string(300, 'x');
    TScratchFolder Scratch;
    const std::string Tax = Scratch.Path() + "tax.txt";
    std::ofstream(Tax) << "the user's own";
    const struct {
        bool TempBlocked, SystemBlocked, TempTooLong, TempLinked;
        std::string Result, Path;
    } Cases[] = {
        {false, false, false, false, "SUCCESS", Temp},
        {true, false, false, false, "SUCCESS", System},
        {false, false, true, false, "SUCCESS", System},  // a temp folder longer than a path may be is not cut short
        {false, false, false, true, "SUCCESS", System},  // a link there is neither written through nor deleted
        {true, true, false, false, "Uninstall output file could not be opened or created!", ""},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Path);
        Block(Temp, Case.TempBlocked);
        Block(System, Case.SystemBlocked);
        if (Case.TempLinked) ASSERT_TRUE(MakeFileLink(Temp, Tax));
        SetEnvironmentVariableA("TMP", Case.TempTooLong ? TooLong.c_str() : Tmp);
        auto Form = std::make_unique<TfrmPreparingUninstall>(nullptr);
        EXPECT_EQ(Case.Result, Form->CreateTempUninstaller());
        SetEnvironmentVariableA("TMP", Tmp);
        EXPECT_EQ(Case.Path, Form->TempUninstallerPath);
        if (!Case.Path.empty()) {
            EXPECT_TRUE(WholeFile(Case.Path) == WholeFile(Application->ExeName()));
        }
        if (Case.TempLinked) EXPECT_TRUE(RemoveFolderLink(Temp));
    }
    EXPECT_EQ("the user's own", WholeFile(Tax));
    Block(Temp, false);
    Block(System, false);
}

TEST(PreparingUninstall, BarWidthsAndTheFolderArgument) {
    for (const auto& Case : {std::pair<int, int>{0, 0}, {1, 2}, {50, 131}, {99, 260}, {100, 263}})
        EXPECT_EQ(Case.second, ProgressWidth(Case.first, 263)) << Case.first;
    // The folder reaches the copy whole, blanks and trailing backslash included.
    for (const char* Program : {"C:\\PROGRA~1\\VELMORA3\\Uninstall.exe", "C:\\Program Files\\My Velmora3\\Uninstall.exe"}) {
        const std::string Argument = UninstallerArgument(Program);
        const std::wstring Line = L"vlmuntmp0.exe " + std::wstring(Argument.begin(), Argument.end());
        int Count = 0;
        LPWSTR* Arguments = CommandLineToArgvW(Line.c_str(), &Count);
        ASSERT_EQ(2, Count) << Argument;
        const std::string Program_(Program);
        const std::string Expected = Program_.substr(0, Program_.find_last_of('\\') + 1);
        EXPECT_EQ(std::wstring(Expected.begin(), Expected.end()), Arguments[1]) << Argument;
        LocalFree(Arguments);
    }
}

// The copy starts in its own folder, so no program works in the installation folder; a start that
// gives no process handle ends the preparing program instead of leaving it hidden for ever.
TEST(PreparingUninstall, TheCopyStartsInItsOwnFolderAndNoHandleEndsThePreparing) {
    auto Form = std::make_unique<TfrmPreparingUninstall>(nullptr);
    Form->TempUninstallerPath = "C:\\users\\Public\\Temp\\vlmuntmp0.exe";
    std::string Directory = "<not started>";
    Form->StartProgram = [&](SHELLEXECUTEINFOA& Start) {
        Directory = Start.lpDirectory ? Start.lpDirectory : "<none>";
        Start.hProcess = nullptr;  // as for a start the shell handed on
        return true;
    };
    bool Closed = false;
    Form->OnClose = [&](TObject*, TCloseAction&) { Closed = true; };
    for (int Tick = 0; Tick <= 100; ++Tick) Form->timProgressTimer(nullptr);
    EXPECT_EQ("C:\\users\\Public\\Temp\\", Directory);
    EXPECT_TRUE(Closed);
    EXPECT_FALSE(Form->timWatch->Enabled());
}

// A key made while the copy failed, which reaches the queue only once the message shows (its time
// tells when it was made), does not answer the message unread.
TEST(PreparingUninstall, InputMadeWhileTheCopyFailedLeavesTheMessageOpen) {
    const std::string Temp = Folder(TempFolder) + "vlmuntmp0.exe", System = Folder(SystemFolder) + "vlmuntmp0.exe";
    Block(Temp, true);
    Block(System, true);
    auto Form = std::make_unique<TfrmPreparingUninstall>(nullptr);
    const DWORD Made = GetTickCount();
    bool Checked = false, Stayed = false;
    RunWhen([&] { return BoxOwnedBy(Form->Handle()) != nullptr; },
            [&] {
                const HWND Box = BoxOwnedBy(Form->Handle());
                INPUT Enter[2]{};
                for (int I = 0; I < 2; ++I) {
                    Enter[I].type = INPUT_KEYBOARD;
                    Enter[I].ki.wVk = VK_RETURN;
                    Enter[I].ki.dwFlags = I == 0 ? 0 : KEYEVENTF_KEYUP;
                    Enter[I].ki.time = Made;
                }
                SendInput(2, Enter, sizeof Enter[0]);
                RunLater(500, [&, Box] {
                    Stayed = IsWindow(Box) && IsWindowVisible(Box);
                    Checked = true;
                    if (Stayed) PostMessageA(Box, WM_COMMAND, IDOK, 0);
                });
            });
    Form->Show();  // its first activation makes the copy, and tells the failure
    EXPECT_TRUE(PumpUntil([&] { return Checked; })) << "no message";
    EXPECT_TRUE(Stayed) << "the key answered the message";
    EXPECT_TRUE(PumpUntil([&] { return !Form->Visible(); })) << "the window stayed";
    Block(Temp, false);
    Block(System, false);
}
