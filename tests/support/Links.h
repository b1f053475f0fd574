// File and folder links for the tests of what the uninstaller must never follow. Wine 8 makes no link through
// the Windows API (CreateSymbolicLink does nothing), but reports a Unix symbolic link inside a drive
// as a folder with FILE_ATTRIBUTE_REPARSE_POINT, as Windows reports a junction, and a link to a file as
// a plain file: the tests make those with the host's ln, which Wine starts as it starts any program.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

// The host's path of a Windows path (Wine's own export); empty where there is none.
inline std::string UnixPathOf(const std::string& Path) {
    using TUnixName = char*(CDECL*)(LPCWSTR);
    const auto UnixName = reinterpret_cast<TUnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!UnixName) return "";
    const std::wstring Wide(Path.begin(), Path.end());
    char* Name = UnixName(Wide.c_str());
    if (!Name) return "";
    const std::string Result = Name;
    HeapFree(GetProcessHeap(), 0, Name);
    return Result;
}

// Runs a host program (Z:\bin\Name) and waits up to 5 s for Done(): the handle Wine gives for a
// host program does not tell when it ends.
template <class TDone>
::testing::AssertionResult RunHostProgram(const char* Name, std::string Arguments, TDone Done) {
    std::string CommandLine = std::string(Name) + " " + Arguments;
    STARTUPINFOA Startup{};
    Startup.cb = sizeof Startup;
    PROCESS_INFORMATION Info{};
    if (!CreateProcessA(("Z:\\bin\\" + std::string(Name)).c_str(), &CommandLine[0], nullptr, nullptr, FALSE, 0,
                        nullptr, nullptr, &Startup, &Info))
        return ::testing::AssertionFailure() << Name << " did not start: " << GetLastError();
    CloseHandle(Info.hThread);
    CloseHandle(Info.hProcess);
    for (int Tries = 0; Tries < 500; ++Tries, Sleep(10))
        if (Done()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << CommandLine << " did not take effect";
}

inline bool IsLink(const std::string& Path) {
    const DWORD Attributes = GetFileAttributesA(Path.c_str());
    return Attributes != INVALID_FILE_ATTRIBUTES && (Attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// The host's path of the item Path names, whose folder is looked up, not the item itself: Windows
// would take an item whose name differs only in letter case for it (a Wine host tells them apart).
inline std::string HostPathOf(const std::string& Path) {
    const size_t Name = Path.find_last_of('\\') + 1;
    const std::string Folder = UnixPathOf(Path.substr(0, Name));
    return Folder.empty() ? "" : Folder + "/" + Path.substr(Name);
}

// The folder's listing holds the name of Path in this letter case.
inline bool IsListed(const std::string& Path) {
    const size_t Name = Path.find_last_of('\\') + 1;
    WIN32_FIND_DATAA Found;
    HANDLE Search = FindFirstFileA((Path.substr(0, Name) + "*").c_str(), &Found);
    bool Listed = false;
    if (Search == INVALID_HANDLE_VALUE) return false;
    do Listed = Listed || Path.substr(Name) == Found.cFileName;
    while (FindNextFileA(Search, &Found));
    FindClose(Search);
    return Listed;
}

// Makes Link (which must not exist) a host link to Target, and waits until Seen(Link).
template <class TSeen>
::testing::AssertionResult MakeHostLink(const std::string& Link, const std::string& Target, TSeen Seen) {
    const std::string From = UnixPathOf(Target), To = HostPathOf(Link);
    if (From.empty() || To.empty()) return ::testing::AssertionFailure() << "no host path for " << Link;
    return RunHostProgram("ln", "-s \"" + From + "\" \"" + To + "\"", [&] { return Seen(Link); });
}

// Makes Link (which must not exist) a link to the folder Target, and waits until Windows sees it.
inline ::testing::AssertionResult MakeFolderLink(const std::string& Link, const std::string& Target) {
    return MakeHostLink(Link, Target, IsLink);
}

// Makes Link (which must not exist) a link to the file Target; Windows sees it as a plain file.
inline ::testing::AssertionResult MakeFileLink(const std::string& Link, const std::string& Target) {
    return MakeHostLink(Link, Target,
                        [](const std::string& Path) { return GetFileAttributesA(Path.c_str()) != INVALID_FILE_ATTRIBUTES; });
}

// Makes the folder Path on the host, also beside one whose name differs only in letter case.
inline ::testing::AssertionResult MakeHostFolder(const std::string& Path) {
    const std::string Host = HostPathOf(Path);
    if (Host.empty()) return ::testing::AssertionFailure() << "no host path for " << Path;
    return RunHostProgram("mkdir", "-p \"" + Host + "\"", [&] { return IsListed(Path); });
}

// Removes a link made by MakeFolderLink or MakeFileLink (Windows cannot remove it under Wine).
inline ::testing::AssertionResult RemoveFolderLink(const std::string& Link) {
    const std::string Host = HostPathOf(Link);
    if (Host.empty()) return ::testing::AssertionFailure() << "no host path for " << Link;
    return RunHostProgram("rm", "-f \"" + Host + "\"", [&] { return !IsListed(Link); });
}
