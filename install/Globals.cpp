#include "Globals.h"

#include <windows.h>

#include <vector>

#include "Classes.h"
#include "Forms.h"
#include "Sysutils.h"

const char* const kProductFolder = "Velmora3\\";

std::string GetProgramFilesDir() {
    char System[MAX_PATH] = "";
    const UINT Length = GetSystemDirectoryA(System, MAX_PATH);
    // A failed call, or a folder longer than the buffer, leaves nothing to take the drive from.
    if (Length < 3 || Length >= MAX_PATH) return "C:\\Program Files\\";
    return std::string(System, 3) + "Program Files\\";
}

std::string GetDefaultInstallDir() { return IncludeTrailingPathDelimiter(GetProgramFilesDir()) + kProductFolder; }

std::string CopySelfTo(const std::string& FileName) {
    std::vector<char> Buffer;
    {
        HANDLE In = CreateFileA(Application->ExeName().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (In == INVALID_HANDLE_VALUE) return "Uninstall input file could not be opened!";
        const DWORD Size = GetFileSize(In, nullptr);
        DWORD Read = 0;
        bool Complete = false;
        if (Size != INVALID_FILE_SIZE) {
            Buffer.resize(static_cast<size_t>(Size) + 1);
            Complete = ReadFile(In, Buffer.data(), Size, &Read, nullptr) && Read == Size;
            Buffer.resize(Read);
        }
        CloseHandle(In);
        if (!Complete) return "Uninstall input file could not be read!";
    }
    DeleteFileA(FileName.c_str());
    try {
        TFileStream Out(FileName, fmCreate);
        return Out.Write(Buffer.data(), Buffer.size()) == Buffer.size() ? "SUCCESS" : "Uninstall file not written properly!";
    } catch (const Exception&) {
        return "Uninstall output file could not be opened or created!";
    }
}

TSetupMode ModeOfFileName(const std::string& FileName) {
    if (SameText(FileName, "Uninstall.exe")) return smConfirmUninstall;
    if (SameText(FileName, "vlmuntmp0.exe")) return smUninstaller;
    return smSetup;
}
