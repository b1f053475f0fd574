#include "Shellfunctions.h"

#include <windows.h>

#include <algorithm>

#include "Delayload.h"
#include "Registryvalues.h"
#include "Sysutils.h"
#include "Webtexts.h"

namespace {
const char* const kBrowserKey = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE";
// Dialog boxes (message boxes too), Internet Explorer, and Explorer's two kinds of window.
const char* const kExplorerWindowClasses[] = {"#32770", "IEFrame", "ExploreWClass", "CabinetWClass"};
constexpr int kSearchesPerClass = 500;
// A window that takes longer than this to answer a close request is left alone.
constexpr UINT kCloseRequestTimeout = 2000;

std::string InternetExplorerPath() {
    HKEY Key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kBrowserKey, 0, KEY_QUERY_VALUE, &Key) != ERROR_SUCCESS) return "";
    THeldKey Held(Key);
    char Buffer[260] = "";
    DWORD Size = sizeof Buffer - 1;
    DWORD Type = 0;
    if (RegQueryValueExA(Key, nullptr, nullptr, &Type, reinterpret_cast<BYTE*>(Buffer), &Size) != ERROR_SUCCESS ||
        (Type != REG_SZ && Type != REG_EXPAND_SZ))
        return "";
    Buffer[Size] = 0;
    return Buffer;
}

// The address stays the browser's only parameter even when it holds blanks, tabs or quotes: they
// are written as %XX, as they would be in a well-formed address.
std::string AsSingleParameter(const std::string& Address) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string Result;
    for (char C : Address) {
        const unsigned char U = static_cast<unsigned char>(C);
        if (U <= ' ' || C == '"') {
            Result += '%';
            Result += kHex[U >> 4];
            Result += kHex[U & 15];
        } else {
            Result += C;
        }
    }
    return Result;
}
}  // namespace

const char* const kApplyPagePath = "/programs/velmora3/application/applyskin.html";

std::string WebSiteAddress(const std::string& Path) {
    return VELMORA_SITE + Path;
}

void CloseExplorerWindows() {
    for (const char* ClassName : kExplorerWindowClasses) {
        for (int Search = 0; Search < kSearchesPerClass; ++Search) {
            HWND Window = FindWindowA(ClassName, nullptr);
            if (!Window) break;
            DWORD_PTR Answer;
            if (!SendMessageTimeoutA(Window, WM_SYSCOMMAND, SC_CLOSE, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                                     kCloseRequestTimeout, &Answer) &&
                IsWindow(Window))
                break;  // it does not answer: every further search would find it and wait again
        }
    }
}

// Internet Explorer reads its one parameter as its address bar would ("www.example.com",
// ftp://...). The shell would start whatever the text names, so without the browser only web and
// mail addresses are opened.
void OpenInBrowser(const std::string& Address) {
    const auto IsControl = [](char C) { return static_cast<unsigned char>(C) < 32 || C == 127; };
    if (Trim(Address).empty() || std::any_of(Address.begin(), Address.end(), IsControl)) return;
    const std::string Browser = InternetExplorerPath();
    if (!Browser.empty()) {
        const DWORD Attributes = GetFileAttributesA(Browser.c_str());
        if (Attributes != INVALID_FILE_ATTRIBUTES && !(Attributes & FILE_ATTRIBUTE_DIRECTORY) &&
            reinterpret_cast<INT_PTR>(Delayload::ShellExecuteA(GetDesktopWindow(), "open", Browser.c_str(),
                                                               AsSingleParameter(Address).c_str(), nullptr,
                                                               SW_SHOWMAXIMIZED)) > 32)
            return;
    }
    ShellOpen(Address);
}

void ShellOpen(const std::string& Target) {
    if (!IsShellAddress(Target)) return;
    Delayload::ShellExecuteA(GetDesktopWindow(), "open", Target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
