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
#include <memory>
#include <string>
#include <vector>

#include "E2eSupport.h"
#include "Links.h"

namespace {
const char* const kWizard = "Velmora V3.1 Setup";
const char* const kToolbarKey = "Software\\Microsoft\\Internet Explorer\\Toolbar";
const char* const kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velmora for IE";

bool Exists(const std::string& Path) { return GetFileAttributesA(Path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string SpecialFolder(int Csidl) {
    char Path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, Csidl, nullptr, 0, Path);
    return Path;
}

std::string ShortPath(const std::string& Path) {
    char Short[MAX_PATH] = "";
    GetShortPathNameA(Path.c_str(), Short, MAX_PATH);
    return Short;
}

std::string TempFolder() {
    char Temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, Temp);
    return Temp;
}

// How many columns of the uninstall bar at Left, Top (client) of Window show the magenta picture,
// read from the screen along the picture's top row.
int BarPixels(HWND Window, int Left, int Top) {
    POINT Row{Left + 1, Top + 1};
    ClientToScreen(Window, &Row);
    HDC Screen = GetDC(nullptr);
    int Filled = 0;
    for (int X = 0; X < 263; ++X) {
        const COLORREF Colour = GetPixel(Screen, Row.x + X, Row.y);
        if (GetGValue(Colour) == 0 && GetRValue(Colour) == GetBValue(Colour) && GetRValue(Colour) >= 100) ++Filled;
    }
    ReleaseDC(nullptr, Screen);
    return Filled;
}

void Click(HWND Control) { PostMessageA(Control, BM_CLICK, 0, 0); }

// A control's text, also one of another process (GetWindowText gives only captions there).
std::string TextOf(HWND Window) {
    char Text[1024] = "";
    SendMessageA(Window, WM_GETTEXT, sizeof Text, reinterpret_cast<LPARAM>(Text));
    return Text;
}

constexpr int kEnter = -1;  // an answer: the Enter key

// Answers the message box captioned Caption that the process shows, with the button Answer;
// returns its text ("<none>" when none came). Given an Owner, the box must be owned by it and have
// disabled it ("<not owned>" otherwise).
std::string AnswerBox(const TProgram& Program, const char* Caption, int Answer, HWND Owner = nullptr) {
    HWND Box = WaitFor([&]() -> HWND {
        for (HWND Window : TopLevelWindows(Program.Id(), Caption)) {
            char Class[32] = "";
            GetClassNameA(Window, Class, sizeof Class);
            if (std::string(Class) == "#32770") return Window;
        }
        return nullptr;
    });
    if (!Box) return "<none>";
    const bool Owned = !Owner || (GetWindow(Box, GW_OWNER) == Owner && !IsWindowEnabled(Owner));
    const std::string Text = Owned ? TextOf(GetDlgItem(Box, 0xFFFF)) : "<not owned>";
    if (Answer == kEnter) {
        // The key goes where the box put the focus, as a person's Enter would.
        GUITHREADINFO Thread{};
        Thread.cbSize = sizeof Thread;
        GetGUIThreadInfo(GetWindowThreadProcessId(Box, nullptr), &Thread);
        PostMessageA(Thread.hwndFocus ? Thread.hwndFocus : Box, WM_KEYDOWN, VK_RETURN, 1);
        PostMessageA(Thread.hwndFocus ? Thread.hwndFocus : Box, WM_KEYUP, VK_RETURN, 0xC0000001);
    } else {
        PostMessageA(Box, WM_COMMAND, Answer, 0);
    }
    // Gone, so that the next look finds the next box, and what the answer sets off has begun.
    WaitFor([&]() -> HWND { return IsWindow(Box) ? nullptr : GetDesktopWindow(); });
    Sleep(200);
    return Text;
}

// The names in Folder (a path ending with a backslash).
std::vector<std::string> Entries(const std::string& Folder) {
    std::vector<std::string> Names;
    WIN32_FIND_DATAA Found;
    HANDLE Search = FindFirstFileA((Folder + "*").c_str(), &Found);
    if (Search == INVALID_HANDLE_VALUE) return Names;
    do Names.push_back(Found.cFileName);
    while (FindNextFileA(Search, &Found));
    FindClose(Search);
    return Names;
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

// Deletes Folder with all it holds (once the links in it are gone).
void DeleteTree(const std::string& Folder) {
    const std::string Tree = (Folder.back() == '\\' ? Folder.substr(0, Folder.size() - 1) : Folder) + std::string(2, '\0');
    SHFILEOPSTRUCTA Operation{};
    Operation.wFunc = FO_DELETE;
    Operation.pFrom = Tree.c_str();
    Operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
    SHFileOperationA(&Operation);
}

// What Wine's own uninstaller lists, one entry a line.
std::string UninstallerList() {
    const std::string Out = TempFolder() + "uninstaller-list.txt";
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

// An express installation through the wizard, finished without starting Velmora. After a visit
// to the custom page, when asked, where the desktop box is unticked before going Back.
::testing::AssertionResult InstallExpress(bool CustomPageFirst = false) {
    TProgram Install(INSTALL_EXE);
    HWND Wizard = WaitForWindow(Install.Id(), kWizard);
    if (!Wizard) return ::testing::AssertionFailure() << "no wizard";
    if (CustomPageFirst) {
        Click(Button(Wizard, "Custom Setup"));
        Click(Button(Wizard, "&Next"));
        HWND Desktop = WaitFor([&] { return Button(Wizard, "Place a shortcut on the desktop"); });
        if (!Desktop) return ::testing::AssertionFailure() << "no custom page";
        SendMessageA(Desktop, BM_SETCHECK, BST_UNCHECKED, 0);
        Click(Button(Wizard, "&Back"));
        HWND Express = WaitFor([&] { return Button(Wizard, "Express Setup (Recommended)"); });
        if (!Express) return ::testing::AssertionFailure() << "no welcome page";
        Click(Express);
    }
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
        if (IsLink(Folder + "Skins")) RemoveFolderLink(Folder + "Skins");
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
        const std::string Dir = TempFolder() + "setup-" + std::to_string(++Copies) + "\\";
        CreateDirectoryA(Dir.c_str(), nullptr);
        CopyFileA(WindowsPath(INSTALL_EXE).c_str(), (Dir + Name).c_str(), FALSE);
        return Dir + Name;
    }
    // The uninstaller as the preparing window starts it, a copy named vlmuntmp0.exe, given Arguments;
    // run through to its completion and closed with OK.
    ::testing::AssertionResult Uninstall(const std::string& Arguments) {
        TProgram Copy(CopyAs("vlmuntmp0.exe"), Arguments);
        HWND Complete = WaitForWindow(Copy.Id(), "Velmora V3.1 - Uninstall Complete", 60000);
        if (!Complete) return ::testing::AssertionFailure() << "no completion for" << Arguments;
        HWND Ok = WaitFor([&] { return Button(Complete, "&OK"); });  // shown just after the caption changes
        if (!Ok) return ::testing::AssertionFailure() << "no OK";
        Click(Ok);
        if (Copy.WaitForExit(20000) != 0) return ::testing::AssertionFailure() << "the uninstaller did not end";
        return ::testing::AssertionSuccess();
    }
    // A second uninstall and a setup start: each ends at once, without a word.
    void ExpectStartsRefused(const char* While) {
        SCOPED_TRACE(While);
        for (const std::string& Path : {CopyAs("Uninstall.exe"), WindowsPath(INSTALL_EXE)}) {
            TProgram Start(Path);
            EXPECT_EQ(0u, Start.WaitForExit(10000)) << Path;
        }
    }
    // Where the temporary copy may go: nothing there, or a folder in its way.
    static void Block(const std::string& Path, bool Blocked) {
        DeleteFileA(Path.c_str());
        RemoveDirectoryA(Path.c_str());
        if (Blocked) CreateDirectoryA(Path.c_str(), nullptr);
    }
    const std::string Folder = "C:\\Program Files\\Velmora3\\";
    const std::string Programs = SpecialFolder(CSIDL_COMMON_PROGRAMS) + "\\";
    const std::string Desktop = SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY) + "\\";
    const std::string TempCopy = TempFolder() + "vlmuntmp0.exe", SystemCopy = SpecialFolder(CSIDL_SYSTEM) + "\\vlmuntmp0.exe";
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
    // Pasted groups that name no folder of their own inside Programs, are a link, or are too long for
    // the uninstaller to reach their links: refused, nothing written.
    ASSERT_TRUE(MakeFolderLink(Programs + "Linked Group", "C:\\users\\Public\\Documents"));
    const std::vector<std::string> Before = Entries(Programs);
    const std::string TooLong(MAX_PATH - Programs.size() - std::string("\\Uninstall Velmora3.lnk").size(), 'g');
    for (const std::string& Refused : {".", "..", " . ", "a\\b", "C:x", "x/y", "b .", "c..", "NUL", "com1", "Lpt9.txt",
                                       "StartUp", "startup", "Linked Group", TooLong.c_str()}) {
        SCOPED_TRACE(Refused);
        SendMessageA(Group, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Refused.c_str()));
        Click(Button(Wizard, "&Next"));
        EXPECT_EQ("Please enter a program group.", AnswerBox(Install, "Velmora Setup", IDOK));
        EXPECT_EQ("", TextOf(Group));
        EXPECT_FALSE(Exists(Folder + "Velmora3.exe"));
        EXPECT_EQ(Before, Entries(Programs));
    }
    EXPECT_TRUE(RemoveFolderLink(Programs + "Linked Group"));
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
        // Next pressed while another window is active (as a tool that drives windows presses it, without
        // activating the wizard): the wizard is disabled all the same while the engine's box shows, so
        // no second Next can come meanwhile.
        HWND Other = CreateWindowA("STATIC", "another program", WS_POPUP | WS_VISIBLE, 0, 0, 80, 40, nullptr, nullptr,
                                   nullptr, nullptr);
        SetForegroundWindow(Other);
        EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == Other ? Other : nullptr; }));
        HWND Next = Button(Wizard, "&Next");
        PostMessageA(Wizard, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(Next), BN_CLICKED), reinterpret_cast<LPARAM>(Next));
        EXPECT_EQ("Unable to create or open file '" + Folder + "Velmora3.exe'.",
                  AnswerBox(Install, "Velmora Setup", IDOK, Wizard));
        DestroyWindow(Other);
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
    // No is the default: Enter uninstalls nothing.
    for (const auto& Case : {std::pair<const char*, int>{"UNINSTALL.EXE", IDNO}, {"uninstall.exe", kEnter}}) {
        SCOPED_TRACE(Case.first);
        TProgram Confirm(CopyAs(Case.first));
        EXPECT_EQ("Do you want to completely uninstall Velmora?",
                  AnswerBox(Confirm, "Velmora V3.1 - Confirm Uninstall", Case.second));
        EXPECT_EQ(0u, Confirm.WaitForExit(20000));
        EXPECT_TRUE(TopLevelWindows(0, kWizard).empty());
        EXPECT_TRUE(TopLevelWindows(0, "Velmora V3.1 - Preparing To Uninstall", false).empty());
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
    // Quoted: the folder has a blank, and Windows would try C:\Program.exe for the bare path.
    char Command[MAX_PATH] = "";
    DWORD Size = sizeof Command;
    RegGetValueA(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString", RRF_RT_REG_SZ, nullptr, Command, &Size);
    EXPECT_EQ("\"" + Folder + "Uninstall.exe\"", std::string(Command));
    for (const char* Cache : {"Skins", "Previews"}) {
        CreateDirectoryA((Folder + Cache).c_str(), nullptr);
        std::ofstream(Folder + Cache + "\\sky.jpg") << "jpg";
    }
    std::ofstream(Folder + "skin42.skin") << "skin";
    // The picture Velmora put behind the toolbars stays until the user changes it.
    HKEY Toolbar;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CURRENT_USER, kToolbarKey, &Toolbar));
    RegSetValueExA(Toolbar, "BackBitmapIE5", 0, REG_SZ, reinterpret_cast<const BYTE*>("C:\\sky.bmp"), 11);
    RegCloseKey(Toolbar);

    TProgram Remove("uninstaller.exe", " --remove \"Velmora for IE\"");
    HWND Confirm = WaitFor([] { return FindWindowA(nullptr, "Velmora V3.1 - Confirm Uninstall"); });
    ASSERT_TRUE(Confirm) << "no confirmation";
    ExpectStartsRefused("confirming");
    PostMessageA(Confirm, WM_COMMAND, IDYES, 0);
    HWND Preparing = WaitFor([] { return FindWindowA(nullptr, "Velmora V3.1 - Preparing To Uninstall"); });
    ASSERT_TRUE(Preparing) << "no preparing window";
    ExpectStartsRefused("preparing");
    HWND Uninstaller = WaitFor([] { return FindWindowA(nullptr, "Velmora V3.1 - Uninstalling..."); }, 30000);
    ASSERT_TRUE(Uninstaller) << "the uninstaller did not start";
    ExpectStartsRefused("uninstalling");
    HWND Complete = WaitFor([] { return FindWindowA(nullptr, "Velmora V3.1 - Uninstall Complete"); }, 60000);
    ASSERT_TRUE(Complete) << "the uninstall did not complete";
    EXPECT_FALSE(IsWindow(Preparing)) << "the preparing window is still there";
    EXPECT_FALSE(Exists(Folder)) << "the installation folder is still there";
    EXPECT_FALSE(Exists(Programs + "Velmora 3.1"));
    EXPECT_FALSE(Exists(Desktop + "Velmora3.lnk"));
    HKEY Key;
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &Key));
    EXPECT_TRUE(Exists(TempCopy)) << "the temporary copy is kept";
    EXPECT_EQ(ERROR_SUCCESS, RegGetValueA(HKEY_CURRENT_USER, kToolbarKey, "BackBitmapIE5", RRF_RT_REG_SZ, nullptr,
                                          nullptr, nullptr));
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kToolbarKey, "BackBitmapIE5");
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
    Block(TempCopy, true);  // the copy goes to the system folder
    Block(SystemCopy, false);
    TProgram Confirming(Folder + "Uninstall.exe");
    HWND Confirm = WaitFor([] { return FindWindowA(nullptr, "Velmora V3.1 - Confirm Uninstall"); });
    ASSERT_TRUE(Confirm);
    PostMessageA(Confirm, WM_COMMAND, IDYES, 0);
    HWND Uninstaller = WaitFor([] { return FindWindowA(nullptr, "Velmora V3.1 - Uninstalling..."); }, 30000);
    ASSERT_TRUE(Uninstaller);
    DWORD Id = 0;
    GetWindowThreadProcessId(Uninstaller, &Id);
    HANDLE Process = OpenProcess(SYNCHRONIZE, FALSE, Id);
    // No goes on counting; Yes runs the bar back.
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
        Sleep(100);
        const int Before = BarPixels(Uninstaller, 30, 166);
        Sleep(400);
        const int After = BarPixels(Uninstaller, 30, 166);
        EXPECT_EQ(Answer == IDNO, After > Before) << Before << " then " << After;
        EXPECT_NE(Before, After);
    }
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(Process, 30000)) << "the uninstaller did not end";
    CloseHandle(Process);
    EXPECT_EQ(0u, Confirming.WaitForExit(20000)) << "the preparing process did not end";
    EXPECT_TRUE(WholeFile(SystemCopy) == WholeFile(WindowsPath(INSTALL_EXE))) << "no copy in the system folder";
    Block(TempCopy, false);
    Block(SystemCopy, false);
    EXPECT_TRUE(Exists(Folder + "Velmora3.exe"));
    EXPECT_TRUE(Exists(Programs + "Velmora 3.1\\Velmora3.lnk"));
    HKEY Key;
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &Key));
    RegCloseKey(Key);
}

// Neither folder takes the copy: the message, then nothing started and nothing removed.
TEST_F(Setup, PreparingEndsWhenTheCopyCannotBeWrittenOrRun) {
    ASSERT_TRUE(InstallExpress());
    Block(TempCopy, true);
    Block(SystemCopy, true);
    TProgram Confirming(Folder + "Uninstall.exe");
    PostMessageA(WaitFor([] { return FindWindowA(nullptr, "Velmora V3.1 - Confirm Uninstall"); }), WM_COMMAND, IDYES, 0);
    EXPECT_EQ("Temporary uninstall file could not be written!\n\nPlease restart your computer and try again.",
              AnswerBox(Confirming, "Velmora Setup", IDOK));
    EXPECT_EQ(0u, Confirming.WaitForExit(20000));
    Block(TempCopy, false);
    Block(SystemCopy, false);
    EXPECT_FALSE(FindWindowA(nullptr, "Velmora V3.1 - Uninstalling..."));
    EXPECT_TRUE(Exists(Folder + "Uninstall.ini"));

    // A copy that starts and ends at once (here it finds an uninstaller's caption) does not leave
    // the preparing program hidden for ever.
    TProgram Again(Folder + "Uninstall.exe");
    PostMessageA(WaitFor([] { return FindWindowA(nullptr, "Velmora V3.1 - Confirm Uninstall"); }), WM_COMMAND, IDYES, 0);
    ASSERT_TRUE(WaitForWindow(Again.Id(), "Velmora V3.1 - Preparing To Uninstall"));
    HWND Decoy = CreateWindowA("STATIC", "Velmora V3.1 - Uninstalling...", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                               nullptr);
    EXPECT_EQ(0u, Again.WaitForExit(20000)) << "the preparing program is still there";
    DestroyWindow(Decoy);
    DeleteFileA(TempCopy.c_str());
    EXPECT_TRUE(Exists(Folder + "Uninstall.ini"));
}

// The uninstaller started by hand or with odd folders: it deletes the program's items and nothing of
// the user's, and the folder as a whole only when it is the product's own.
TEST_F(Setup, UninstallerKeepsWhatIsNotTheProgramsOwn) {
    const std::string Mine = "C:\\MyVelmora3\\", Notes = "C:\\notes.txt";
    CreateDirectoryA(Folder.c_str(), nullptr);  // for its short name
    const struct {
        const char* Case;
        std::string Folder, Arguments;
        bool UserFile, Running, FolderGone, FilesGone;
    } Cases[] = {
        // Typed without the trailing backslash.
        {"a user file in Velmora3", Folder, " \"C:\\Program Files\\Velmora3\"", true, false, false, true},
        {"MyVelmora3 given by hand", Mine, " " + Mine, false, false, false, true},
        // What the preparing window passes where a folder has no short name.
        {"a long folder with blanks, quoted", Folder, " \"" + Folder + "\\\"", false, false, true, true},
        {"no argument", Folder, "", false, false, false, false},
        {"a running Velmora3.exe", Folder, " " + ShortPath(Folder), false, true, false, true},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Case);
        ASSERT_TRUE(InstallExpress());
        if (Case.Folder != Folder) {
            CreateDirectoryA(Case.Folder.c_str(), nullptr);
            for (const char* File : {"Velmora3.exe", "Uninstall.exe", "Uninstall.ini"})
                CopyFileA((Folder + File).c_str(), (Case.Folder + File).c_str(), FALSE);
        }
        CreateDirectoryA((Case.Folder + "Skins").c_str(), nullptr);
        std::ofstream(Case.Folder + "skin7.skin") << "skin";
        if (Case.UserFile) std::ofstream(Case.Folder + "mine.txt") << "mine";
        // A list entry that names no shortcut.
        std::ofstream(Notes) << "notes";
        WritePrivateProfileStringA("Shortcuts", "Desktop Shortcut", Notes.c_str(), (Case.Folder + "Uninstall.ini").c_str());
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, (Case.Folder + "Uninstall.ini").c_str());
        {
            std::unique_ptr<TProgram> Running;
            if (Case.Running) {
                Running.reset(new TProgram(Case.Folder + "Velmora3.exe"));
                ASSERT_TRUE(WaitForWindow(Running->Id(), "Velmora! Version 3.1"));
            }
            ASSERT_TRUE(Uninstall(Case.Arguments));
        }
        EXPECT_EQ(!Case.FolderGone, Exists(Case.Folder));
        for (const char* Item : {"Velmora3.exe", "Uninstall.exe", "Skins", "skin7.skin"})
            EXPECT_EQ(!Case.FilesGone || (Case.Running && Item == std::string("Velmora3.exe")), Exists(Case.Folder + Item))
                << Item;
        EXPECT_EQ(Case.UserFile, Exists(Case.Folder + "mine.txt"));
        EXPECT_TRUE(Exists(Notes));
        EXPECT_EQ(Case.Arguments.empty(), Exists(Programs + "Velmora 3.1\\Velmora3.lnk"));
        HKEY Key;
        EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &Key)) << "the entry stays";
        for (const char* File : {"Velmora3.exe", "Uninstall.exe", "Uninstall.ini", "skin7.skin", "mine.txt"})
            DeleteFileA((Mine + File).c_str());
        RemoveDirectoryA((Mine + "Skins").c_str());
        RemoveDirectoryA(Mine.c_str());
        DeleteFileA((Folder + "mine.txt").c_str());
        DeleteFileA((Folder + "skin7.skin").c_str());
        RemoveDirectoryA((Folder + "Skins").c_str());
        DeleteFileA(Notes.c_str());
        RemoveInstallation();
    }
}

// Express installs its own defaults whatever the custom page held when the user went Back.
TEST_F(Setup, ExpressAfterTheCustomPageStillPlacesTheDesktopLink) {
    ASSERT_TRUE(InstallExpress(true));
    EXPECT_EQ(Folder + "Velmora3.exe", LinkTarget(Desktop + "Velmora3.lnk"));
    EXPECT_EQ(Desktop + "Velmora3.lnk", IniValue(Folder + "Uninstall.ini", "Shortcuts", "Desktop Shortcut"));
    EXPECT_EQ(Folder + "Velmora3.exe", LinkTarget(Programs + "Velmora 3.1\\Velmora3.lnk"));
}

// vlmuntmp0.exe started with folders that are no installation: each of the user's files stays,
// byte for byte, the shortcuts a list names among them (the list of a folder that lost its program
// is read, and what it names is not setup's); only the uninstall entry goes.
TEST_F(Setup, TheUninstallerTouchesNothingButAnInstallation) {
    const std::string List = "[Shortcuts]\r\nDesktop Shortcut=" + Desktop + "Bank.lnk\r\nProgram Shortcut=" + Programs +
                             "Bank\\Bank.lnk\r\n[Program Group]\r\nGroup Name=" + Programs + "Bank\r\n";
    const std::pair<std::string, std::string> Files[] = {
        {"C:\\Skins\\save.sav", "a game's save"},       {"C:\\Previews\\shot.jpg", "a screenshot"},
        {"C:\\wallpaper.skin", "a wallpaper"},          {"C:\\Uninstall.ini", List},
        {Desktop + "Bank.lnk", "the bank's shortcut"},  {Programs + "Bank\\Bank.lnk", "the bank's shortcut"},
        {"C:\\Games\\Velmora3.exe", "a game"},          {"C:\\Games\\Skins\\level.dat", "a level"},
        {"C:\\Games\\tiles.skin", "tiles"},             {"C:\\Velmora3\\Uninstall.ini", List},
        {"C:\\Velmora3\\Skins\\sky.jpg", "a sky"},
        // Another program's folder with an uninstaller of its own, and one with a list of its own.
        {"C:\\OtherApp\\Uninstall.exe", "its uninstaller"}, {"C:\\OtherApp\\Skins\\blue.bmp", "its skin"},
        {"C:\\OtherApp\\Previews\\blue.jpg", "its preview"},  {"C:\\OtherApp\\theme.skin", "its theme"},
        {"C:\\ListOnly\\uninstall.ini", List},               {"C:\\ListOnly\\Skins\\red.bmp", "its skin"},
        {"C:\\ListOnly\\red.skin", "its theme"},
    };
    for (const auto& File : Files) {
        SHCreateDirectoryExA(nullptr, File.first.substr(0, File.first.find_last_of('\\')).c_str(), nullptr);
        std::ofstream(File.first, std::ios::binary) << File.second;
    }
    // A relative folder is never taken from the current folder, where it would name C:\Velmora3.
    SetCurrentDirectoryA("C:\\");
    for (const char* Argument :
         {"C:\\Velmora3\\..\\", "C:\\", "C:", "Velmora3", "C:\\Games\\", "C:\\OtherApp\\", "C:\\ListOnly\\"}) {
        SCOPED_TRACE(Argument);
        HKEY Key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_LOCAL_MACHINE, kUninstallKey, &Key));
        RegCloseKey(Key);
        ASSERT_TRUE(Uninstall(std::string(" ") + Argument));
        for (const auto& File : Files) EXPECT_EQ(File.second, WholeFile(File.first)) << File.first;
        EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &Key)) << "the entry stays";
    }
    for (const auto& File : Files) DeleteFileA(File.first.c_str());
    const std::vector<std::string> Made = {"C:\\Skins",          "C:\\Previews",        "C:\\Games\\Skins", "C:\\Games",
                                           "C:\\Velmora3\\Skins", "C:\\Velmora3", Programs + "Bank",
                                           "C:\\OtherApp\\Skins", "C:\\OtherApp\\Previews", "C:\\OtherApp",
                                           "C:\\ListOnly\\Skins", "C:\\ListOnly"};
    for (const std::string& Folder : Made)
        RemoveDirectoryA(Folder.c_str());
}

// A copy of install.exe named Uninstall.exe in a folder of the user's, started and answered Yes: the
// folder is no installation, and its skins and caches stay.
TEST_F(Setup, AnUninstallerCopiedIntoAFolderOfTheUsersTouchesNothing) {
    const std::string Copy = CopyAs("Uninstall.exe"), Dir = Copy.substr(0, Copy.find_last_of('\\') + 1);
    const std::pair<std::string, std::string> Files[] = {
        {Dir + "Skins\\blue.bmp", "a skin"}, {Dir + "Previews\\blue.jpg", "a preview"}, {Dir + "theme.skin", "a theme"}};
    for (const auto& File : Files) {
        CreateDirectoryA(File.first.substr(0, File.first.find_last_of('\\')).c_str(), nullptr);
        std::ofstream(File.first, std::ios::binary) << File.second;
    }
    TProgram Confirming(Copy);
    HWND Confirm = WaitFor([] { return FindWindowA(nullptr, "Velmora V3.1 - Confirm Uninstall"); });
    ASSERT_TRUE(Confirm) << "no confirmation";
    PostMessageA(Confirm, WM_COMMAND, IDYES, 0);
    HWND Complete = WaitFor([] { return FindWindowA(nullptr, "Velmora V3.1 - Uninstall Complete"); }, 60000);
    ASSERT_TRUE(Complete) << "the uninstall did not complete";
    for (const auto& File : Files) EXPECT_EQ(File.second, WholeFile(File.first)) << File.first;
    EXPECT_TRUE(Exists(Copy));
    HWND Ok = WaitFor([&] { return Button(Complete, "&OK"); });
    ASSERT_TRUE(Ok);
    Click(Ok);
    EXPECT_TRUE(WaitFor([&]() -> HWND { return IsWindow(Complete) ? nullptr : GetDesktopWindow(); }));
}

// Host links in an installation, which Wine reads as plain files (to files) or folders: what they
// lead to stays, whether the folder would go whole or item by item, and so does a desktop shortcut's
// target when the shortcut is such a link. Item by item, Skins leads to the user's SKINS beside it:
// on a Wine host the two names are two folders.
TEST_F(Setup, LinksToTheUsersFilesAndFoldersKeepWhatTheyLeadTo) {
    const std::string Documents = "C:\\users\\Public\\Documents\\", Thesis = Documents + "thesis.doc",
                      Wallpaper = Documents + "wallpaper.bmp", Empty = Documents + "Empty", Twin = Folder + "SKINS";
    const struct {
        const char* Case;
        std::vector<std::pair<std::string, std::string>> Links;  // in the installation folder, to
    } Cases[] = {
        {"the folder would go whole",
         {{"Previews\\Blue\\thumb.jpg", Thesis}, {"skin42.skin", Wallpaper}, {"Skins\\Empty", Empty}}},
        {"item by item", {{"Previews", Empty}, {"Skins", Twin}}},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Case);
        std::ofstream(Thesis) << "a thesis";
        std::ofstream(Wallpaper) << "a wallpaper";
        CreateDirectoryA(Empty.c_str(), nullptr);
        ASSERT_TRUE(InstallExpress());
        std::vector<std::string> Made = {Desktop + "Velmora3.lnk"};
        ASSERT_TRUE(DeleteFileA(Made[0].c_str()));
        ASSERT_TRUE(MakeFileLink(Made[0], Thesis));
        for (const auto& Link : Case.Links) {
            const std::string Path = Folder + Link.first;
            SHCreateDirectoryExA(nullptr, Path.substr(0, Path.find_last_of('\\')).c_str(), nullptr);
            if (Link.second == Twin) {
                CreateDirectoryA(Twin.c_str(), nullptr);
                std::ofstream(Twin + "\\sky.jpg") << "a sky";
            }
            const bool ToFolder = Link.second == Empty || Link.second == Twin;
            ASSERT_TRUE(ToFolder ? MakeFolderLink(Path, Link.second) : MakeFileLink(Path, Link.second)) << Path;
            Made.push_back(Path);
        }
        ASSERT_TRUE(Uninstall(" " + ShortPath(Folder)));
        EXPECT_EQ("a thesis", WholeFile(Thesis));
        EXPECT_EQ("a wallpaper", WholeFile(Wallpaper));
        EXPECT_TRUE(Exists(Empty));
        for (const auto& Link : Case.Links)
            if (Link.second == Twin) EXPECT_EQ("a sky", WholeFile(Twin + "\\sky.jpg"));
        for (const std::string& Link : Made) EXPECT_TRUE(RemoveFolderLink(Link)) << Link;
        DeleteTree(Folder);
        RemoveInstallation();
        ASSERT_FALSE(Exists(Folder));
    }
    for (const std::string& File : {Thesis, Wallpaper}) DeleteFileA(File.c_str());
    RemoveDirectoryA(Empty.c_str());
}

// Setup writes nothing through a link (Wine reads a host link to a file as a plain file): a link where
// the program goes ends express setup with the engine's message, one on the desktop costs only the
// desktop shortcut. Then the program is lost and Temp\vlmuntmp0.exe is a link: the uninstall copies
// itself into the system folder, and the list still takes setup's shortcuts and group away; the
// files stay. The user's files keep their bytes throughout.
TEST_F(Setup, NothingIsWrittenThroughALinkAndALostProgramStillLosesItsShortcuts) {
    const std::string Documents = "C:\\users\\Public\\Documents\\", Notes = Documents + "notes.txt",
                      Letter = Documents + "letter.txt", Tax = Documents + "tax.txt";
    struct TLinks {
        std::vector<std::string> Made;
        ~TLinks() {
            for (const std::string& Link : Made) RemoveFolderLink(Link);
        }
    } Links;
    for (const std::string& File : {Notes, Letter, Tax}) std::ofstream(File) << "the user's own";
    CreateDirectoryA(Folder.c_str(), nullptr);
    const auto Express = [&](const std::vector<std::string>& Told, bool Completes) {
        TProgram Install(INSTALL_EXE);
        HWND Wizard = WaitForWindow(Install.Id(), kWizard);
        ASSERT_TRUE(Wizard);
        Click(Button(Wizard, "&Next"));
        for (const std::string& Text : Told) EXPECT_EQ(Text, AnswerBox(Install, "Velmora Setup", IDOK));
        if (Completes) {
            ASSERT_TRUE(WaitFor([&] { return Button(Wizard, "&Finish"); })) << "no finish page";
            SendMessageA(Button(Wizard, "Launch Velmora When I Click Finish"), BM_SETCHECK, BST_UNCHECKED, 0);
            Click(Button(Wizard, "&Finish"));
        }
        EXPECT_EQ(0u, Install.WaitForExit(20000));
    };
    Links.Made.push_back(Folder + "Velmora3.exe");
    ASSERT_TRUE(MakeFileLink(Links.Made.back(), Notes));
    Express({"Unable to create or open file '" + Folder + "Velmora3.exe'.",
             "Express installation could not be completed!\n\nPlease restart your computer and try again."},
            false);
    EXPECT_TRUE(RemoveFolderLink(Links.Made.back()));
    Links.Made.push_back(Desktop + "Velmora3.lnk");
    ASSERT_TRUE(MakeFileLink(Links.Made.back(), Letter));
    Express({"Unable to create desktop shortcut!"}, true);

    ASSERT_TRUE(DeleteFileA((Folder + "Velmora3.exe").c_str()));
    Block(TempCopy, false);
    Block(SystemCopy, false);
    Links.Made.push_back(TempCopy);
    ASSERT_TRUE(MakeFileLink(TempCopy, Tax));
    TProgram Confirming(Folder + "Uninstall.exe");
    PostMessageA(WaitFor([] { return FindWindowA(nullptr, "Velmora V3.1 - Confirm Uninstall"); }), WM_COMMAND, IDYES, 0);
    HWND Complete = WaitFor([] { return FindWindowA(nullptr, "Velmora V3.1 - Uninstall Complete"); }, 60000);
    ASSERT_TRUE(Complete) << "the uninstall did not complete";
    Click(WaitFor([&] { return Button(Complete, "&OK"); }));
    EXPECT_EQ(0u, Confirming.WaitForExit(20000));
    EXPECT_TRUE(WholeFile(SystemCopy) == WholeFile(WindowsPath(INSTALL_EXE))) << "no copy in the system folder";
    EXPECT_FALSE(Exists(Programs + "Velmora 3.1")) << "the group and its shortcuts stay";
    EXPECT_TRUE(Exists(Folder + "Uninstall.exe") && Exists(Folder + "Uninstall.ini")) << "the files went";
    HKEY Key;
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &Key)) << "the entry stays";
    for (const std::string& File : {Notes, Letter, Tax}) EXPECT_EQ("the user's own", WholeFile(File)) << File;
    for (const std::string& Link : Links.Made) EXPECT_TRUE(RemoveFolderLink(Link)) << Link;
    Block(SystemCopy, false);
    for (const std::string& File : {Notes, Letter, Tax}) DeleteFileA(File.c_str());
}

// An installation moved below a folder that is a link (as Documents is in a prefix that wineboot
// makes): what lies below the link is the installation the user chose, and it goes whole.
TEST_F(Setup, AnInstallationBelowALinkedFolderGoesWhole) {
    ASSERT_TRUE(InstallExpress());
    const std::string Real = "C:\\users\\Public\\Real", Linked = "C:\\users\\Public\\Linked",
                      Moved = Linked + "\\Velmora3\\";
    CreateDirectoryA(Real.c_str(), nullptr);
    ASSERT_TRUE(MakeFolderLink(Linked, Real));
    ASSERT_TRUE(MoveFileA(Folder.substr(0, Folder.size() - 1).c_str(), (Linked + "\\Velmora3").c_str()));
    CreateDirectoryA((Moved + "Skins").c_str(), nullptr);
    std::ofstream(Moved + "Skins\\sky.jpg") << "jpg";
    std::ofstream(Moved + "skin42.skin") << "skin";
    ASSERT_TRUE(Uninstall(" " + ShortPath(Moved)));
    EXPECT_FALSE(Exists(Real + "\\Velmora3")) << "the installation stays";
    EXPECT_FALSE(Exists(Programs + "Velmora 3.1"));
    EXPECT_FALSE(Exists(Desktop + "Velmora3.lnk"));
    EXPECT_TRUE(RemoveFolderLink(Linked));
    DeleteTree(Real);
}

// An uninstall list edited to name the user's shortcuts and the shell's Startup folder: none of them
// goes, and the program group, which the list no longer names, stays.
TEST_F(Setup, AnEditedListDeletesNoShortcutOrFolderOfTheUsers) {
    ASSERT_TRUE(InstallExpress());
    const std::string Startup = SpecialFolder(CSIDL_COMMON_STARTUP), Accessories = Programs + "Accessories\\";
    std::string Slashed = Desktop + "Velmora 3.1\\..\\Bank2.lnk";
    for (char& C : Slashed)
        if (C == '\\') C = '/';
    CreateDirectoryA(Accessories.c_str(), nullptr);
    CreateDirectoryA(Startup.c_str(), nullptr);
    const std::string Shortcuts[] = {Desktop + "Bank.lnk", Accessories + "Notepad.lnk", Desktop + "Bank2.lnk"};
    for (const std::string& Shortcut : Shortcuts) std::ofstream(Shortcut) << "the user's shortcut";
    const std::string List = Folder + "Uninstall.ini";
    WritePrivateProfileStringA("Shortcuts", "Desktop Shortcut", Shortcuts[0].c_str(), List.c_str());
    WritePrivateProfileStringA("Shortcuts", "Program Shortcut", Shortcuts[1].c_str(), List.c_str());
    WritePrivateProfileStringA("Shortcuts", "Uninstall Shortcut", Slashed.c_str(), List.c_str());
    WritePrivateProfileStringA("Program Group", "Group Name", (Startup + ".").c_str(), List.c_str());
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, List.c_str());
    ASSERT_TRUE(Uninstall(" " + ShortPath(Folder)));
    for (const std::string& Shortcut : Shortcuts) EXPECT_EQ("the user's shortcut", WholeFile(Shortcut)) << Shortcut;
    EXPECT_TRUE(Exists(Startup));
    EXPECT_TRUE(Exists(Programs + "Velmora 3.1\\Velmora3.lnk"));
    EXPECT_FALSE(Exists(Folder));
    for (const std::string& Shortcut : Shortcuts) DeleteFileA(Shortcut.c_str());
    RemoveDirectoryA(Accessories.c_str());
}

// An installation whose Skins is a link to a folder of the user's: the uninstall never walks into it.
TEST_F(Setup, ALinkedCacheKeepsTheFolderItPointsTo) {
    ASSERT_TRUE(InstallExpress());
    const std::string Saves = "C:\\users\\Public\\Saves\\";
    CreateDirectoryA(Saves.c_str(), nullptr);
    std::ofstream(Saves + "game.sav") << "a game's save";
    ASSERT_TRUE(MakeFolderLink(Folder + "Skins", Saves));
    ASSERT_TRUE(Uninstall(" " + ShortPath(Folder)));
    EXPECT_EQ("a game's save", WholeFile(Saves + "game.sav"));
    EXPECT_FALSE(Exists(Folder + "Velmora3.exe")) << "the program's own items stay";
    if (IsLink(Folder + "Skins")) EXPECT_TRUE(RemoveFolderLink(Folder + "Skins"));  // Wine cannot remove it
    DeleteFileA((Saves + "game.sav").c_str());
    RemoveDirectoryA(Saves.c_str());
}

// A Cancel click that arrives once the removal has begun (its waits turn the message loop) does
// nothing: no question, the bar stays full, and the removal completes once.
TEST_F(Setup, CancelComesTooLateOnceTheRemovalHasBegun) {
    ASSERT_TRUE(InstallExpress());
    TProgram Copy(CopyAs("vlmuntmp0.exe"), " " + ShortPath(Folder));
    HWND Uninstaller = WaitForWindow(Copy.Id(), "Velmora V3.1 - Uninstalling...");
    ASSERT_TRUE(Uninstaller);
    HWND Cancel = WaitFor([&] { return Button(Uninstaller, "&Cancel"); });
    ASSERT_TRUE(Cancel);
    // The button hides on the 100 % tick, as the removal begins: the click comes right then.
    ASSERT_TRUE(WaitFor([&]() -> HWND { return IsWindowVisible(Cancel) ? nullptr : Cancel; }, 30000));
    PostMessageA(Cancel, BM_CLICK, 0, 0);
    HWND Complete = nullptr, Question = nullptr;
    WaitFor(
        [&]() -> HWND {
            const std::vector<HWND> Boxes = TopLevelWindows(Copy.Id(), "Velmora Setup");
            if (!Boxes.empty()) return Question = Boxes[0];
            return Complete = FindWindowA(nullptr, "Velmora V3.1 - Uninstall Complete");
        },
        60000);
    if (Question) PostMessageA(Question, WM_COMMAND, IDNO, 0);
    EXPECT_FALSE(Question) << "the late click asked to cancel";
    ASSERT_TRUE(Complete || (Complete = WaitForWindow(Copy.Id(), "Velmora V3.1 - Uninstall Complete", 60000)));
    const int Before = BarPixels(Complete, 30, 166);
    Sleep(500);
    EXPECT_EQ(263, Before);
    EXPECT_EQ(263, BarPixels(Complete, 30, 166));
    EXPECT_TRUE(IsWindow(Complete));
    EXPECT_FALSE(Exists(Folder));
    HWND Ok = WaitFor([&] { return Button(Complete, "&OK"); });
    ASSERT_TRUE(Ok);
    Click(Ok);
    EXPECT_EQ(0u, Copy.WaitForExit(20000));
}

// A click at Exit made while an installation runs (Enter pressed Next; the first file is there, the
// finish page not yet) is dropped, not delivered to Finish in its place: the wizard stays on the finish
// page and starts nothing. Express, and custom from its own page.
TEST_F(Setup, AClickMadeDuringTheInstallationDoesNotReachFinish) {
    for (bool Custom : {false, true}) {
        SCOPED_TRACE(Custom ? "custom" : "express");
        RemoveInstallation();
        TProgram Install(INSTALL_EXE);
        HWND Wizard = WaitForWindow(Install.Id(), kWizard);
        ASSERT_TRUE(Wizard);
        if (Custom) {
            Click(Button(Wizard, "Custom Setup"));
            Click(Button(Wizard, "&Next"));  // the focus stays on Next
            ASSERT_TRUE(WaitFor([&] { return Button(Wizard, "Place a shortcut on the desktop"); }));
        }
        HWND Exit = Button(Wizard, "E&xit");
        ASSERT_TRUE(Exit);
        RealMoveTo(Exit);
        RealKey(VK_RETURN);
        const DWORD Start = GetTickCount();
        while (!Exists(Folder + "Velmora3.exe") && GetTickCount() - Start < 10000) {
        }
        ASSERT_FALSE(Button(Wizard, "&Finish")) << "the installation ended before the click could be made";
        RealClick();
        HWND Finish = WaitFor([&] { return Button(Wizard, "&Finish"); });
        ASSERT_TRUE(Finish) << "no finish page";
        Sleep(1500);
        EXPECT_TRUE(IsWindowVisible(Wizard)) << "the wizard closed";
        EXPECT_TRUE(TopLevelWindows(Install.Id(), "Velmora Setup").empty()) << "the exit question came";
        EXPECT_FALSE(FindWindowA(nullptr, "Velmora! Version 3.1")) << "Velmora was started";
        EndProcessesOf("Velmora! Version 3.1");
        SendMessageA(Button(Wizard, "Launch Velmora When I Click Finish"), BM_SETCHECK, BST_UNCHECKED, 0);
        Click(Finish);
        EXPECT_EQ(0u, Install.WaitForExit(20000));
    }
}

// Alt+F4, or a click where Cancel stood, made during the last wait of the removal is dropped: the
// completion message stays until OK is clicked.
TEST_F(Setup, InputMadeDuringTheRemovalLeavesTheCompletionMessageOpen) {
    for (bool AltF4 : {true, false}) {
        SCOPED_TRACE(AltF4 ? "Alt+F4" : "a click where Cancel stood");
        ASSERT_TRUE(InstallExpress());
        TProgram Copy(CopyAs("vlmuntmp0.exe"), " " + ShortPath(Folder));
        HWND Uninstaller = WaitForWindow(Copy.Id(), "Velmora V3.1 - Uninstalling...");
        ASSERT_TRUE(Uninstaller);
        HWND Cancel = WaitFor([&] { return Button(Uninstaller, "&Cancel"); });
        ASSERT_TRUE(Cancel);
        // During the count: a click on the message gives the window the keys, then the pointer waits on Cancel.
        RealMoveTo(Uninstaller);
        RealClick();
        RealMoveTo(Cancel);
        ASSERT_TRUE(WaitFor([&]() -> HWND { return IsWindowVisible(Cancel) ? nullptr : Cancel; }, 30000));
        Sleep(5500);  // the removal's last wait: 4 s to 8 s after Cancel went
        if (AltF4)
            RealKey(VK_F4, true);
        else
            RealClick();
        HWND Complete = nullptr;
        WaitFor(
            [&]() -> HWND {
                const std::vector<HWND> Found = TopLevelWindows(Copy.Id(), "Velmora V3.1 - Uninstall Complete");
                if (!Found.empty()) return Complete = Found[0];
                return Copy.WaitForExit(0) == STILL_ACTIVE ? nullptr : GetDesktopWindow();
            },
            60000);
        if (Complete) Sleep(1500);
        EXPECT_TRUE(Complete && IsWindowVisible(Complete)) << "closed before its message could be read";
        if (HWND Ok = Complete ? WaitFor([&] { return Button(Complete, "&OK"); }, 3000) : nullptr) Click(Ok);
        EXPECT_EQ(0u, Copy.WaitForExit(20000));
        EXPECT_FALSE(Exists(Folder));
    }
}
