// install.exe as a user runs it: the modes its file name chooses, an express and a custom
// installation through the wizard's own windows, and what they leave in the file system, the
// registry and the shell links. Everything here shares the Start menu, the uninstall key and the
// captions, so CTest runs it alone.
#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "E2eSupport.h"

namespace {
const char* const kWizard = "Velmora V3.1 Setup";
const char* const kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velmora for IE";

bool Exists(const std::string& Path) { return GetFileAttributesA(Path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string SpecialFolder(int Csidl) {
    char Path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, Csidl, nullptr, 0, Path);
    return Path;
}

void Click(HWND Control) { PostMessageA(Control, BM_CLICK, 0, 0); }

// A control's text, also one of another process (GetWindowText gives only captions there).
std::string TextOf(HWND Window) {
    char Text[1024] = "";
    SendMessageA(Window, WM_GETTEXT, sizeof Text, reinterpret_cast<LPARAM>(Text));
    return Text;
}

// Answers the message box captioned Caption that the process shows, with the button Answer;
// returns its text ("<none>" when none came).
std::string AnswerBox(const TProgram& Program, const char* Caption, int Answer) {
    HWND Box = WaitFor([&]() -> HWND {
        for (HWND Window : TopLevelWindows(Program.Id(), Caption)) {
            char Class[32] = "";
            GetClassNameA(Window, Class, sizeof Class);
            if (std::string(Class) == "#32770") return Window;
        }
        return nullptr;
    });
    if (!Box) return "<none>";
    const std::string Text = TextOf(GetDlgItem(Box, 0xFFFF));
    PostMessageA(Box, WM_COMMAND, Answer, 0);
    // Gone, so that the next look finds the next box, and what the answer sets off has begun.
    WaitFor([&]() -> HWND { return IsWindow(Box) ? nullptr : GetDesktopWindow(); });
    Sleep(200);
    return Text;
}

std::string IniValue(const std::string& File, const char* Section, const char* Key) {
    char Value[1024] = "";
    GetPrivateProfileStringA(Section, Key, "<missing>", Value, sizeof Value, File.c_str());
    return Value;
}

std::string LinkTarget(const std::string& File) {
    std::string Target = "<unreadable>";
    CoInitialize(nullptr);
    IShellLinkA* Link = nullptr;
    IPersistFile* Persist = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&Link))) &&
        SUCCEEDED(Link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&Persist)))) {
        std::wstring Wide(File.begin(), File.end());
        char Path[MAX_PATH] = "";
        if (SUCCEEDED(Persist->Load(Wide.c_str(), STGM_READ)) && SUCCEEDED(Link->GetPath(Path, MAX_PATH, nullptr, 0)))
            Target = Path;
    }
    if (Persist) Persist->Release();
    if (Link) Link->Release();
    CoUninitialize();
    return Target;
}

// What Wine's own uninstaller lists, one entry a line.
std::string UninstallerList() {
    char Temp[MAX_PATH];
    GetTempPathA(MAX_PATH, Temp);
    const std::string Out = std::string(Temp) + "uninstaller-list.txt";
    SECURITY_ATTRIBUTES Inherit{sizeof Inherit, nullptr, TRUE};
    HANDLE File = CreateFileA(Out.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &Inherit, CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOA Startup{};
    Startup.cb = sizeof Startup;
    Startup.dwFlags = STARTF_USESTDHANDLES;
    Startup.hStdOutput = Startup.hStdError = File;
    PROCESS_INFORMATION Info{};
    char CommandLine[] = "uninstaller.exe --list";
    if (CreateProcessA(nullptr, CommandLine, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &Startup, &Info)) {
        WaitForSingleObject(Info.hProcess, 30000);
        CloseHandle(Info.hProcess);
        CloseHandle(Info.hThread);
    }
    CloseHandle(File);
    return WholeFile(Out);
}

// An express installation through the wizard, finished without starting Velmora.
::testing::AssertionResult InstallExpress() {
    TProgram Install(INSTALL_EXE);
    HWND Wizard = WaitForWindow(Install.Id(), kWizard);
    if (!Wizard) return ::testing::AssertionFailure() << "no wizard";
    Click(Button(Wizard, "&Next"));
    if (!WaitFor([&] { return Button(Wizard, "&Finish"); })) return ::testing::AssertionFailure() << "no finish page";
    SendMessageA(Button(Wizard, "Launch Velmora When I Click Finish"), BM_SETCHECK, BST_UNCHECKED, 0);
    Click(Button(Wizard, "&Finish"));
    if (Install.WaitForExit(20000) != 0) return ::testing::AssertionFailure() << "setup did not end";
    return ::testing::AssertionSuccess();
}

// Each test starts and ends without an installation.
class Setup : public testing::Test {
protected:
    void SetUp() override { RemoveInstallation(); }
    void TearDown() override {
        // Whatever a failure left running would hold CTest's output open and the next test's captions.
        for (const char* Caption : {kWizard, "Velmora V3.1 - Confirm Uninstall", "Velmora V3.1 - Preparing To Uninstall",
                                    "Velmora V3.1 - Uninstalling...", "Velmora V3.1 - Uninstall Complete",
                                    "Velmora! Version 3.1"})
            EndProcessesOf(Caption);
        RemoveInstallation();
    }
    void RemoveInstallation() {
        for (const char* File : {"Velmora3.exe", "Uninstall.exe", "Uninstall.ini"}) DeleteFileA((Folder + File).c_str());
        RemoveDirectoryA(Folder.c_str());
        for (const std::string& Group : {Programs + "Velmora 3.1", Programs + "My Tools 2.0"}) {
            for (const char* Link : {"\\Velmora3.lnk", "\\Uninstall Velmora3.lnk"}) DeleteFileA((Group + Link).c_str());
            RemoveDirectoryA(Group.c_str());
        }
        DeleteFileA((Desktop + "Velmora3.lnk").c_str());
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
    }
    // install.exe copied into a folder of its own under Name.
    std::string CopyAs(const std::string& Name) {
        char Temp[MAX_PATH];
        GetTempPathA(MAX_PATH, Temp);
        const std::string Dir = std::string(Temp) + "setup-" + std::to_string(++Copies) + "\\";
        CreateDirectoryA(Dir.c_str(), nullptr);
        CopyFileA(WindowsPath(INSTALL_EXE).c_str(), (Dir + Name).c_str(), FALSE);
        return Dir + Name;
    }
    const std::string Folder = "C:\\Program Files\\Velmora3\\";
    const std::string Programs = SpecialFolder(CSIDL_COMMON_PROGRAMS) + "\\";
    const std::string Desktop = SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY) + "\\";
    int Copies = 0;
};
}  // namespace

TEST_F(Setup, ExpressInstallsEverythingAndFinishStartsVelmoraOnlyWhenAsked) {
    for (bool Launch : {false, true}) {
        SCOPED_TRACE(Launch ? "launch ticked" : "launch unticked");
        TProgram Install(INSTALL_EXE);
        HWND Wizard = WaitForWindow(Install.Id(), kWizard);
        ASSERT_TRUE(Wizard);
        Click(Button(Wizard, "&Next"));  // express is chosen at the start
        HWND Finish = WaitFor([&] { return Button(Wizard, "&Finish"); });
        ASSERT_TRUE(Finish) << "no finish page";
        EXPECT_TRUE(WholeFile(Folder + "Velmora3.exe") == WholeFile(WindowsPath(VELMORA_EXE)));
        EXPECT_TRUE(WholeFile(Folder + "Uninstall.exe") == WholeFile(WindowsPath(INSTALL_EXE)));
        const std::string List = Folder + "Uninstall.ini", Group = Programs + "Velmora 3.1";
        EXPECT_EQ(Group + "\\Uninstall Velmora3.lnk", IniValue(List, "Shortcuts", "Uninstall Shortcut"));
        EXPECT_EQ(Group, IniValue(List, "Program Group", "Group Name"));
        EXPECT_EQ(Group + "\\Velmora3.lnk", IniValue(List, "Shortcuts", "Program Shortcut"));
        EXPECT_EQ(Desktop + "Velmora3.lnk", IniValue(List, "Shortcuts", "Desktop Shortcut"));
        EXPECT_EQ(Folder + "Uninstall.exe", LinkTarget(Group + "\\Uninstall Velmora3.lnk"));
        EXPECT_EQ(Folder + "Velmora3.exe", LinkTarget(Group + "\\Velmora3.lnk"));
        EXPECT_EQ(Folder + "Velmora3.exe", LinkTarget(Desktop + "Velmora3.lnk"));
        EXPECT_NE(std::string::npos, UninstallerList().find("Velmora for Internet Explorer"));

        HWND LaunchBox = Button(Wizard, "Launch Velmora When I Click Finish");
        ASSERT_TRUE(LaunchBox);
        if (!Launch) SendMessageA(LaunchBox, BM_SETCHECK, BST_UNCHECKED, 0);
        Click(Finish);
        EXPECT_EQ(0u, Install.WaitForExit(20000));
        HWND Velmora = WaitFor([] { return FindWindowA(nullptr, "Velmora! Version 3.1"); }, Launch ? 20000 : 3000);
        EXPECT_EQ(Launch, Velmora != nullptr);
        if (Velmora) {
            DWORD Id = 0;
            GetWindowThreadProcessId(Velmora, &Id);
            HANDLE Process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, Id);
            TerminateProcess(Process, 0);
            WaitForSingleObject(Process, 10000);
            CloseHandle(Process);
        }
    }
}

TEST_F(Setup, CustomTakesTheTypedGroupRefusesGroupsOutsideProgramsAndKeepsEarlierListKeys) {
    CreateDirectoryA(Folder.c_str(), nullptr);
    WritePrivateProfileStringA("Shortcuts", "Desktop Shortcut", "C:\\earlier.lnk", (Folder + "Uninstall.ini").c_str());
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, (Folder + "Uninstall.ini").c_str());
    TProgram Install(INSTALL_EXE);
    HWND Wizard = WaitForWindow(Install.Id(), kWizard);
    ASSERT_TRUE(Wizard);
    Click(Button(Wizard, "Custom Setup"));
    Click(Button(Wizard, "&Next"));
    // The group's box: the edit box that is not read-only (the folder's is).
    HWND Group = WaitFor([&]() -> HWND {
        for (HWND Edit = FindWindowExA(Wizard, nullptr, "Edit", nullptr); Edit;
             Edit = FindWindowExA(Wizard, Edit, "Edit", nullptr))
            if (IsWindowVisible(Edit) && !(GetWindowLongA(Edit, GWL_STYLE) & ES_READONLY)) return Edit;
        return nullptr;
    });
    ASSERT_TRUE(Group) << "no custom page";
    // Pasted groups that would leave the Programs folder: refused, nothing written.
    for (const char* Refused : {".", "..", " . ", "a\\b", "C:x", "x/y"}) {
        SCOPED_TRACE(Refused);
        SendMessageA(Group, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Refused));
        Click(Button(Wizard, "&Next"));
        EXPECT_EQ("Please enter a program group.", AnswerBox(Install, "Velmora Setup", IDOK));
        EXPECT_EQ("", TextOf(Group));
        EXPECT_FALSE(Exists(Folder + "Velmora3.exe"));
    }
    // Typed: the characters a group may not hold are swallowed.
    SendMessageA(Group, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    for (char C : std::string("My\\ Tools: 2.0'\xe9")) SendMessageA(Group, WM_CHAR, static_cast<unsigned char>(C), 0);
    EXPECT_EQ("My Tools 2.0", TextOf(Group));
    SendMessageA(Button(Wizard, "Place a shortcut on the desktop"), BM_SETCHECK, BST_UNCHECKED, 0);
    Click(Button(Wizard, "&Next"));
    ASSERT_TRUE(WaitFor([&] { return Button(Wizard, "&Finish"); })) << "no finish page";
    const std::string List = Folder + "Uninstall.ini", Custom = Programs + "My Tools 2.0";
    EXPECT_EQ(Folder + "Velmora3.exe", LinkTarget(Custom + "\\Velmora3.lnk"));
    EXPECT_EQ(Custom, IniValue(List, "Program Group", "Group Name"));
    EXPECT_FALSE(Exists(Desktop + "Velmora3.lnk"));
    EXPECT_EQ("C:\\earlier.lnk", IniValue(List, "Shortcuts", "Desktop Shortcut"));
    SendMessageA(Button(Wizard, "Launch Velmora When I Click Finish"), BM_SETCHECK, BST_UNCHECKED, 0);
    Click(Button(Wizard, "&Finish"));
    EXPECT_EQ(0u, Install.WaitForExit(20000));
}

TEST_F(Setup, ARunningVelmoraEndsExpressButCustomCanRetry) {
    CreateDirectoryA(Folder.c_str(), nullptr);
    CopyFileA(WindowsPath(VELMORA_EXE).c_str(), (Folder + "Velmora3.exe").c_str(), FALSE);
    {
        TProgram Running(Folder + "Velmora3.exe");
        ASSERT_TRUE(WaitForWindow(Running.Id(), "Velmora! Version 3.1"));
        TProgram Install(INSTALL_EXE);
        HWND Wizard = WaitForWindow(Install.Id(), kWizard);
        ASSERT_TRUE(Wizard);
        Click(Button(Wizard, "&Next"));
        EXPECT_EQ("Unable to create or open file '" + Folder + "Velmora3.exe'.", AnswerBox(Install, "Velmora Setup", IDOK));
        EXPECT_EQ("Express installation could not be completed!\n\nPlease restart your computer and try again.",
                  AnswerBox(Install, "Velmora Setup", IDOK));
        EXPECT_EQ(0u, Install.WaitForExit(20000));

        TProgram Custom(INSTALL_EXE);
        Wizard = WaitForWindow(Custom.Id(), kWizard);
        ASSERT_TRUE(Wizard);
        Click(Button(Wizard, "Custom Setup"));
        Click(Button(Wizard, "&Next"));
        ASSERT_TRUE(WaitFor([&] { return Button(Wizard, "&Back"); }));
        Click(Button(Wizard, "&Next"));
        AnswerBox(Custom, "Velmora Setup", IDOK);
        EXPECT_EQ("Custom installation could not be completed!\n\nPlease restart your computer and try again.",
                  AnswerBox(Custom, "Velmora Setup", IDOK));
        EXPECT_TRUE(Button(Wizard, "&Back")) << "the custom page went away";
        // Velmora ends; the same page installs.
        PostMessageA(WaitForWindow(Running.Id(), "Velmora! Version 3.1"), WM_CLOSE, 0, 0);
        Running.WaitForExit(10000);
        TerminateProcess(OpenProcess(PROCESS_TERMINATE, FALSE, Running.Id()), 0);
        Running.WaitForExit(10000);
        Click(Button(Wizard, "&Next"));
        EXPECT_TRUE(WaitFor([&] { return Button(Wizard, "&Finish"); })) << "the retry did not install";
        SendMessageA(Button(Wizard, "Launch Velmora When I Click Finish"), BM_SETCHECK, BST_UNCHECKED, 0);
        Click(Button(Wizard, "&Finish"));
        EXPECT_EQ(0u, Custom.WaitForExit(20000));
    }
}

TEST_F(Setup, TheFileNameChoosesTheModeAndOneWizardRunsAtATime) {
    for (const char* Name : {"UNINSTALL.EXE", "uninstall.exe"}) {
        SCOPED_TRACE(Name);
        TProgram Confirm(CopyAs(Name));
        EXPECT_EQ("Do you want to completely uninstall Velmora?",
                  AnswerBox(Confirm, "Velmora V3.1 - Confirm Uninstall", IDNO));
        EXPECT_EQ(0u, Confirm.WaitForExit(20000));
        EXPECT_TRUE(TopLevelWindows(0, kWizard).empty());
    }
    for (const char* Name : {"vlmuntmp1.exe", "setup.exe", "Uninstall.exe.exe"}) {
        SCOPED_TRACE(Name);
        TProgram Wizard(CopyAs(Name));
        HWND Window = WaitForWindow(Wizard.Id(), kWizard);
        ASSERT_TRUE(Window);
        // A second start raises the open wizard and opens nothing new.
        TProgram Second(INSTALL_EXE);
        EXPECT_EQ(0u, Second.WaitForExit(20000));
        EXPECT_EQ(1u, TopLevelWindows(0, kWizard).size());
        PostMessageA(Window, WM_CLOSE, 0, 0);
        EXPECT_EQ(0u, Wizard.WaitForExit(20000));
    }
}

// Express setup, some skins and caches, then the uninstall as Windows starts it: Wine's own
// uninstaller runs the entry's UninstallString.
TEST_F(Setup, UninstallRemovesEverythingTheInstallWroteAndKeepsTheRest) {
    ASSERT_TRUE(InstallExpress());
    for (const char* Cache : {"Skins", "Previews"}) {
        CreateDirectoryA((Folder + Cache).c_str(), nullptr);
        std::ofstream(Folder + Cache + "\\sky.jpg") << "jpg";
    }
    std::ofstream(Folder + "skin42.skin") << "skin";

    TProgram Remove("uninstaller.exe", " --remove \"Velmora for IE\"");
    HWND Confirm = WaitFor([] { return FindWindowA(nullptr, "Velmora V3.1 - Confirm Uninstall"); });
    ASSERT_TRUE(Confirm) << "no confirmation";
    PostMessageA(Confirm, WM_COMMAND, IDYES, 0);
    HWND Preparing = WaitFor([] { return FindWindowA(nullptr, "Velmora V3.1 - Preparing To Uninstall"); });
    ASSERT_TRUE(Preparing) << "no preparing window";
    HWND Uninstaller = WaitFor([] { return FindWindowA(nullptr, "Velmora V3.1 - Uninstalling..."); }, 30000);
    ASSERT_TRUE(Uninstaller) << "the uninstaller did not start";
    HWND Complete = WaitFor([] { return FindWindowA(nullptr, "Velmora V3.1 - Uninstall Complete"); }, 60000);
    ASSERT_TRUE(Complete) << "the uninstall did not complete";
    EXPECT_FALSE(IsWindow(Preparing)) << "the preparing window is still there";
    EXPECT_FALSE(Exists(Folder)) << "the installation folder is still there";
    EXPECT_FALSE(Exists(Programs + "Velmora 3.1"));
    EXPECT_FALSE(Exists(Desktop + "Velmora3.lnk"));
    HKEY Key;
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &Key));
    char Temp[MAX_PATH];
    GetTempPathA(MAX_PATH, Temp);
    EXPECT_TRUE(Exists(std::string(Temp) + "vlmuntmp0.exe")) << "the temporary copy is kept";
    // Setup is accepted again while the completed uninstaller is still open.
    {
        TProgram Again(INSTALL_EXE);
        HWND Wizard = WaitForWindow(Again.Id(), kWizard);
        EXPECT_TRUE(Wizard);
        if (Wizard) PostMessageA(Wizard, WM_CLOSE, 0, 0);
        EXPECT_EQ(0u, Again.WaitForExit(20000));
    }
    HWND Ok = WaitFor([&] { return Button(Complete, "&OK"); });  // shown just after the caption changes
    ASSERT_TRUE(Ok);
    Click(Ok);
    EXPECT_TRUE(WaitFor([&]() -> HWND { return IsWindow(Complete) ? nullptr : GetDesktopWindow(); }));
}

// Cancel during the count: No first continues, Yes runs the bar back; both processes end and
// nothing is removed.
TEST_F(Setup, CancelledUninstallRemovesNothing) {
    ASSERT_TRUE(InstallExpress());
    TProgram Confirming(Folder + "Uninstall.exe");
    HWND Confirm = WaitFor([] { return FindWindowA(nullptr, "Velmora V3.1 - Confirm Uninstall"); });
    ASSERT_TRUE(Confirm);
    PostMessageA(Confirm, WM_COMMAND, IDYES, 0);
    HWND Uninstaller = WaitFor([] { return FindWindowA(nullptr, "Velmora V3.1 - Uninstalling..."); }, 30000);
    ASSERT_TRUE(Uninstaller);
    DWORD Id = 0;
    GetWindowThreadProcessId(Uninstaller, &Id);
    HANDLE Process = OpenProcess(SYNCHRONIZE, FALSE, Id);
    for (int Answer : {IDNO, IDYES}) {
        HWND Cancel = WaitFor([&] { return Button(Uninstaller, "&Cancel"); });  // its window comes after the caption
        ASSERT_TRUE(Cancel);
        Click(Cancel);
        HWND Box = WaitFor([&]() -> HWND {
            HWND Found = FindWindowA("#32770", "Velmora Setup");
            return Found && IsWindowVisible(Found) ? Found : nullptr;
        });
        ASSERT_TRUE(Box) << "no question";
        EXPECT_EQ("Are you sure you want to cancel?", TextOf(GetDlgItem(Box, 0xFFFF)));
        PostMessageA(Box, WM_COMMAND, Answer, 0);
        WaitFor([&]() -> HWND { return IsWindow(Box) ? nullptr : GetDesktopWindow(); });
    }
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(Process, 30000)) << "the uninstaller did not end";
    CloseHandle(Process);
    EXPECT_EQ(0u, Confirming.WaitForExit(20000)) << "the preparing process did not end";
    EXPECT_TRUE(Exists(Folder + "Velmora3.exe"));
    EXPECT_TRUE(Exists(Programs + "Velmora 3.1\\Velmora3.lnk"));
    HKEY Key;
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &Key));
    RegCloseKey(Key);
}
