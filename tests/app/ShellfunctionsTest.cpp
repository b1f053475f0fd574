// CloseExplorerWindows against real windows of another process (explorer_windows.exe), and
// OpenInBrowser and ShellOpen through stand-ins registered as the browser and as the shell's
// handlers of web and mail addresses.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <memory>

#include "Shellfunctions.h"
#include "TestSupport.h"

namespace {
const char* const kExplorerClasses[] = {"#32770", "IEFrame", "ExploreWClass", "CabinetWClass"};


::testing::AssertionResult NoExplorerWindowOpen() {
    for (const char* ClassName : kExplorerClasses)
        if (FindWindowA(ClassName, nullptr))
            return ::testing::AssertionFailure() << "a window of class " << ClassName << " is open";
    return ::testing::AssertionSuccess();
}

bool WindowOpen(const char* ClassName) {
    return FindWindowA(ClassName, nullptr) != nullptr;
}

// explorer_windows.exe with the windows that Windows lists (as on its command line), ended with
// them when this goes.
class TExplorerWindows {
public:
    explicit TExplorerWindows(const std::string& Windows) : FLog(FFolder.Path() + "requests.txt") {
        std::string CommandLine = "\"" + WindowsPath(EXPLORER_WINDOWS_EXE) + "\" \"" + FLog + "\" " + Windows;
        STARTUPINFOA Startup{};
        Startup.cb = sizeof Startup;
        if (!CreateProcessA(nullptr, &CommandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &Startup,
                            &FProcess))
            return;
        FReady = PumpUntil([this] { return !ReadLines(FLog).empty() || !Running(); }, 20000) &&
                 ReadLines(FLog) == std::vector<std::string>{"ready"};
    }
    ~TExplorerWindows() {
        if (!FProcess.hProcess) return;
        PostThreadMessageA(FProcess.dwThreadId, WM_QUIT, 0, 0);
        if (WaitForSingleObject(FProcess.hProcess, 5000) != WAIT_OBJECT_0) {
            TerminateProcess(FProcess.hProcess, 1);
            WaitForSingleObject(FProcess.hProcess, 5000);
        }
        CloseHandle(FProcess.hThread);
        CloseHandle(FProcess.hProcess);
    }
    // Every window is open.
    bool Ready() const { return FReady; }
    bool Running() const { return FProcess.hProcess && WaitForSingleObject(FProcess.hProcess, 0) == WAIT_TIMEOUT; }
    // The close requests that each window has received so far, by its name ("IEFrame 2").
    std::map<std::string, int> Requests() const {
        std::map<std::string, int> Result;
        const std::string Head = "SC_CLOSE ";
        for (const std::string& Line : ReadLines(FLog))
            if (Line.compare(0, Head.size(), Head) == 0)
                ++Result[Line.substr(Head.size(), Line.rfind(' ') - Head.size())];
        return Result;
    }

private:
    TScratchFolder FFolder;
    std::string FLog;
    PROCESS_INFORMATION FProcess{};
    bool FReady = false;
};

using TRequests = std::map<std::string, int>;
}  // namespace

TEST(CloseExplorerWindows, WithNoneOpenAsksNothingAndReturnsAtOnce) {
    ASSERT_TRUE(NoExplorerWindowOpen());
    // Windows of another class that carry the four class names as their titles.
    TExplorerWindows Decoys("decoys");
    ASSERT_TRUE(Decoys.Ready());
    const DWORD Start = GetTickCount();
    CloseExplorerWindows();
    EXPECT_LT(GetTickCount() - Start, 1000u);
    EXPECT_EQ(TRequests(), Decoys.Requests());
}

TEST(CloseExplorerWindows, AsksEachWindowOnceAndAllClose) {
    ASSERT_TRUE(NoExplorerWindowOpen());
    TExplorerWindows Windows("IEFrame*2 CabinetWClass decoys");
    ASSERT_TRUE(Windows.Ready());
    CloseExplorerWindows();
    EXPECT_EQ((TRequests{{"IEFrame 1", 1}, {"IEFrame 2", 1}, {"CabinetWClass 1", 1}}), Windows.Requests());
    EXPECT_TRUE(NoExplorerWindowOpen());
    EXPECT_TRUE(Windows.Running());  // the windows closed, not the program that owns them
}

TEST(CloseExplorerWindows, ADialogThatStaysOpenIsAsked500TimesAndTheNextClassesStillClose) {
    ASSERT_TRUE(NoExplorerWindowOpen());
    TExplorerWindows Windows("#32770:ignore IEFrame");
    ASSERT_TRUE(Windows.Ready());
    CloseExplorerWindows();
    EXPECT_EQ((TRequests{{"#32770 1", 500}, {"IEFrame 1", 1}}), Windows.Requests());
    EXPECT_TRUE(WindowOpen("#32770"));
    EXPECT_FALSE(WindowOpen("IEFrame"));
}

TEST(CloseExplorerWindows, AWindowThatDoesNotAnswerIsLeftAloneAndTheNextClassesStillClose) {
    ASSERT_TRUE(NoExplorerWindowOpen());
    TExplorerWindows Windows("#32770 IEFrame:hang ExploreWClass CabinetWClass");
    ASSERT_TRUE(Windows.Ready());
    const DWORD Start = GetTickCount();
    CloseExplorerWindows();
    // One wait of 2 s for the window that does not answer, and no second one.
    EXPECT_LT(GetTickCount() - Start, 3800u);
    EXPECT_EQ((TRequests{{"#32770 1", 1}, {"IEFrame 1", 1}, {"ExploreWClass 1", 1}, {"CabinetWClass 1", 1}}),
              Windows.Requests());
    EXPECT_TRUE(WindowOpen("IEFrame"));
    EXPECT_FALSE(WindowOpen("#32770"));
    EXPECT_FALSE(WindowOpen("ExploreWClass"));
    EXPECT_FALSE(WindowOpen("CabinetWClass"));
}

namespace {
const char* const kBrowserKey = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE";
const char* const kRecorderLogVariable = "VELMORA_RECORDER_LOG";
// Every scheme whose handler a wrong call could reach. Wine's handler of each is winebrowser,
// which would open a browser on the host.
const char* const kSchemes[] = {"http", "https", "mailto", "ftp", "javascript"};

std::string FileNameOf(const std::string& Path) {
    return Path.substr(Path.find_last_of('\\') + 1);
}

bool WriteString(HKEY Root, const std::string& Path, const char* Name, const std::string& Value) {
    HKEY Key;
    if (RegCreateKeyExA(Root, Path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &Key, nullptr) != ERROR_SUCCESS)
        return false;
    const LONG Result = RegSetValueExA(Key, Name, 0, REG_SZ, reinterpret_cast<const BYTE*>(Value.c_str()),
                                       static_cast<DWORD>(Value.size() + 1));
    RegCloseKey(Key);
    return Result == ERROR_SUCCESS;
}

std::string ReadString(HKEY Root, const std::string& Path) {
    char Buffer[1024] = "";
    DWORD Size = sizeof Buffer;
    return RegGetValueA(Root, Path.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, Buffer, &Size) == ERROR_SUCCESS
               ? Buffer
               : "";
}

// A key's values as they were, put back when this goes (the keys it serves have no subkeys). A key
// that did not exist is removed again, from the first part of its path that was missing.
class TSavedKey {
public:
    TSavedKey(HKEY Root, const std::string& Path) : FRoot(Root), FPath(Path) {
        for (size_t End = 0; End != std::string::npos;) {
            End = Path.find('\\', End + 1);
            HKEY Key;
            if (RegOpenKeyExA(Root, Path.substr(0, End).c_str(), 0, KEY_READ, &Key) != ERROR_SUCCESS) {
                FFirstMissing = Path.substr(0, End);
                return;
            }
            RegCloseKey(Key);
        }
        FPath = ActualPath(Root, Path);
        HKEY Key;
        RegOpenKeyExA(Root, FPath.c_str(), 0, KEY_READ, &Key);
        for (DWORD Index = 0;; ++Index) {
            char Name[16384];
            DWORD NameSize = sizeof Name, Type, DataSize = 0;
            if (RegEnumValueA(Key, Index, Name, &NameSize, nullptr, &Type, nullptr, &DataSize) != ERROR_SUCCESS)
                break;
            TValue Value{Name, Type, std::vector<BYTE>(DataSize + 1)};
            NameSize = sizeof Name;
            RegEnumValueA(Key, Index, Name, &NameSize, nullptr, &Type, Value.Data.data(), &DataSize);
            Value.Data.resize(DataSize);
            FValues.push_back(Value);
        }
        RegCloseKey(Key);
    }
    ~TSavedKey() {
        if (!FFirstMissing.empty()) {
            RegDeleteTreeA(FRoot, FFirstMissing.c_str());
            return;
        }
        // Made anew, so that it also gets back its own spelling when a test has made it under another.
        RegDeleteTreeA(FRoot, FPath.c_str());
        HKEY Key;
        if (RegCreateKeyExA(FRoot, FPath.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &Key, nullptr) !=
            ERROR_SUCCESS)
            return;
        for (const TValue& Value : FValues)
            RegSetValueExA(Key, Value.Name.c_str(), 0, Value.Type, Value.Data.data(),
                           static_cast<DWORD>(Value.Data.size()));
        RegCloseKey(Key);
    }

private:
    struct TValue {
        std::string Name;
        DWORD Type;
        std::vector<BYTE> Data;
    };
    // The path with its last part spelt as the registry spells it.
    static std::string ActualPath(HKEY Root, const std::string& Path) {
        const size_t Slash = Path.rfind('\\');
        if (Slash == std::string::npos) return Path;
        HKEY Parent;
        if (RegOpenKeyExA(Root, Path.substr(0, Slash).c_str(), 0, KEY_READ, &Parent) != ERROR_SUCCESS) return Path;
        std::string Result = Path;
        char Name[256];
        for (DWORD Index = 0, Size = sizeof Name;
             RegEnumKeyExA(Parent, Index, Name, &Size, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
             ++Index, Size = sizeof Name)
            if (lstrcmpiA(Name, Path.c_str() + Slash + 1) == 0) Result = Path.substr(0, Slash + 1) + Name;
        RegCloseKey(Parent);
        return Result;
    }

    HKEY FRoot;
    std::string FPath, FFirstMissing;
    std::vector<TValue> FValues;
};

// What a stand-in wrote when it ran.
struct TStart {
    bool Ran = false;
    std::string Program;  // file name
    int Show = -1;        // the show command it was started with, -1 for none
    std::vector<std::string> Arguments;
};
}  // namespace

// The recorder stands in for Internet Explorer (its App Paths entry) and a copy of it, handler.exe,
// for the shell's handler of every scheme in kSchemes. The registry is restored afterwards.
class ShellStandIns : public ::testing::Test {
protected:
    void SetUp() override {
        // Before anything else: Wine does not start winebrowser while this override is in place.
        Save(HKEY_CURRENT_USER, "Software\\Wine\\DllOverrides");
        ASSERT_TRUE(WriteString(HKEY_CURRENT_USER, "Software\\Wine\\DllOverrides", "winebrowser.exe", ""));
        ASSERT_TRUE(CopyFileA(Browser.c_str(), Handler.c_str(), FALSE));
        // Written through HKEY_CLASSES_ROOT and read back from it: that is where the shell looks. (Wine's
        // HKEY_CLASSES_ROOT is HKLM\Software\Classes alone; a key under HKCU\Software\Classes is not seen.)
        const std::string Command = "\"" + Handler + "\" \"%1\"";
        for (const char* Scheme : kSchemes) {
            const std::string Key = std::string(Scheme) + "\\shell\\open\\command";
            Save(HKEY_CLASSES_ROOT, Key);
            ASSERT_TRUE(WriteString(HKEY_CLASSES_ROOT, Key, nullptr, Command));
            ASSERT_EQ(Command, ReadString(HKEY_CLASSES_ROOT, Key)) << Scheme;
        }
        Save(HKEY_LOCAL_MACHINE, kBrowserKey);
        ASSERT_TRUE(WriteString(HKEY_LOCAL_MACHINE, kBrowserKey, nullptr, Browser));
    }
    void TearDown() override {
        SetEnvironmentVariableA(kRecorderLogVariable, nullptr);
        while (!FSaved.empty()) FSaved.pop_back();  // the last saved first
    }

    void Save(HKEY Root, const std::string& Path) { FSaved.push_back(std::make_unique<TSavedKey>(Root, Path)); }

    // Makes Call with the stand-ins writing to Log (they inherit our environment).
    void CallLogged(const std::string& Log, const std::function<void()>& Call) {
        SetEnvironmentVariableA(kRecorderLogVariable, Log.c_str());
        Call();
        SetEnvironmentVariableA(kRecorderLogVariable, nullptr);
    }

    // What the stand-in that Call starts writes, within a few seconds.
    TStart Record(const std::function<void()>& Call) {
        const std::string Log = FFolder.Path() + "start" + std::to_string(++FLogs) + ".txt";
        CallLogged(Log, Call);
        TStart Start;
        // The log holds at least the stand-in's path and its show command once it is complete.
        std::vector<std::string> Lines;
        if (!PumpUntil([&] { return (Lines = ReadLines(Log)).size() >= 2; }, 15000)) return Start;
        Start.Ran = true;
        Start.Program = FileNameOf(Lines[0]);
        Start.Show = std::stoi(Lines[1]);
        Start.Arguments.assign(Lines.begin() + 2, Lines.end());
        return Start;
    }

    TScratchFolder FFolder;
    const std::string Browser = WindowsPath(RECORDER_EXE);
    const std::string Handler = FFolder.Path() + "handler.exe";

private:
    std::vector<std::unique_ptr<TSavedKey>> FSaved;
    int FLogs = 0;
};

TEST_F(ShellStandIns, OpenInBrowserGivesTheBrowserTheAddressAsItsOnlyParameter) {
    const struct {
        const char* Address;
        const char* Parameter;  // nullptr: any one parameter
    } Cases[] = {
        {"http://127.0.0.1:8080/programs/velmora3/application/applyskin.html",
         "http://127.0.0.1:8080/programs/velmora3/application/applyskin.html"},
        {"https://127.0.0.1/search?q=red car&page=2", "https://127.0.0.1/search?q=red%20car&page=2"},
        {"HTTP://127.0.0.1/\"quoted\" name\\", "HTTP://127.0.0.1/%22quoted%22%20name\\"},
        {"Mailto:someone@example.invalid?subject=Hello there", "Mailto:someone@example.invalid?subject=Hello%20there"},
        // What a user could type into the browser's address bar.
        {"www.example.com", "www.example.com"},
        {"ftp://x", "ftp://x"},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Address);
        const TStart Start = Record([&] { OpenInBrowser(Case.Address); });
        ASSERT_TRUE(Start.Ran);
        EXPECT_EQ(FileNameOf(Browser), Start.Program);
        EXPECT_EQ(SW_SHOWMAXIMIZED, Start.Show);
        if (Case.Parameter) EXPECT_EQ(std::vector<std::string>{Case.Parameter}, Start.Arguments);
        else EXPECT_EQ(1u, Start.Arguments.size());
    }
}

TEST_F(ShellStandIns, OpenInBrowserWithoutAUsableBrowserEntryLeavesTheAddressToTheShell) {
    const std::string NoProgram = FFolder.Path() + "browser.xyz";  // a file that no program opens
    std::ofstream(NoProgram) << "x";
    ASSERT_EQ("", ReadString(HKEY_CLASSES_ROOT, ".xyz"));
    const struct {
        const char* Entry;
        std::function<void()> Make;
    } Cases[] = {
        {"no entry", [] { RegDeleteTreeA(HKEY_LOCAL_MACHINE, kBrowserKey); }},
        {"no default value", [] { RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kBrowserKey, nullptr); }},
        {"a missing file",
         [this] { WriteString(HKEY_LOCAL_MACHINE, kBrowserKey, nullptr, FFolder.Path() + "iexplore.exe"); }},
        {"a folder", [] { WriteString(HKEY_LOCAL_MACHINE, kBrowserKey, nullptr, "C:\\windows"); }},
        {"a file that cannot be started", [&] { WriteString(HKEY_LOCAL_MACHINE, kBrowserKey, nullptr, NoProgram); }},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.Entry);
        ASSERT_TRUE(WriteString(HKEY_LOCAL_MACHINE, kBrowserKey, nullptr, Browser));
        Case.Make();
        const std::string Address = "http://127.0.0.1:8080/programs/velmora3/application/applyskin.html";
        const TStart Start = Record([&] { OpenInBrowser(Address); });
        ASSERT_TRUE(Start.Ran);
        EXPECT_EQ(FileNameOf(Handler), Start.Program);
        EXPECT_EQ(std::vector<std::string>{Address}, Start.Arguments);
    }
    // The shell is given web and mail addresses only: a program's path would be started.
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kBrowserKey);
    const std::string Log = FFolder.Path() + "no-scheme.txt";
    CallLogged(Log, [&] { OpenInBrowser(Browser); });
    PumpFor(2000);
    EXPECT_FALSE(FileExists(Log)) << "the shell was given a program's path";
}

TEST_F(ShellStandIns, ShellOpenGivesWebAndMailAddressesToTheirHandlers) {
    for (const char* Address : {"http://127.0.0.1:8080/programs/velmora3/", "HTTPS://127.0.0.1/terms.html",
                                "mailto:someone@example.invalid"}) {
        SCOPED_TRACE(Address);
        const TStart Start = Record([&] { ShellOpen(Address); });
        ASSERT_TRUE(Start.Ran);
        EXPECT_EQ(FileNameOf(Handler), Start.Program);  // not the browser of the App Paths entry
        EXPECT_EQ(std::vector<std::string>{Address}, Start.Arguments);
    }
}

TEST_F(ShellStandIns, OtherAddressesStartNothing) {
    std::string RecorderUrl = "file:///" + Browser;
    for (char& C : RecorderUrl)
        if (C == '\\') C = '/';
    const struct {
        std::string Address;
        bool ShellOpenShows;  // whether a stand-in would show it if ShellOpen let it through
        bool BrowserRefuses;  // whether OpenInBrowser refuses it too (else the browser gets it)
    } Cases[] = {
        {"file:///C:/windows/win.ini", false, false},
        {"C:\\windows\\notepad.exe", false, false},
        {RecorderUrl, true, false},
        {Browser, true, false},
        {"javascript:alert(1)", true, false},
        {"ftp://x", true, false},
        {"www.example.com", false, false},
        {"", false, true},
        {" ", false, true},
        {" http://127.0.0.1/", false, false},
        {"http:/127.0.0.1/", false, false},
        // A tab or line break parts arguments as a blank does: an address must not add a switch.
        {"http://127.0.0.1/a\t-extoff", false, true},
        {"http://127.0.0.1/\r\n-extoff", false, true},
        {"http://127.0.0.1/\x7f", false, true},
    };
    // All calls first and one wait after them: each stand-in logs to a file of its own.
    std::vector<std::pair<std::string, std::string>> Logs;  // call, log
    for (size_t I = 0; I < sizeof Cases / sizeof Cases[0]; ++I) {
        const auto& Case = Cases[I];
        const std::string Log = FFolder.Path() + "rejected" + std::to_string(I);
        if (Case.BrowserRefuses) {
            CallLogged(Log + "-browser.txt", [&] { OpenInBrowser(Case.Address); });
            Logs.push_back({"OpenInBrowser(\"" + Case.Address + "\")", Log + "-browser.txt"});
        }
        if (!Case.ShellOpenShows) continue;
        CallLogged(Log + "-shell.txt", [&] { ShellOpen(Case.Address); });
        Logs.push_back({"ShellOpen(\"" + Case.Address + "\")", Log + "-shell.txt"});
    }
    PumpFor(3000);
    for (const auto& Log : Logs) EXPECT_FALSE(FileExists(Log.second)) << Log.first << " started a program";
}
