#include "Hotbarcheck.h"

#include <memory>

#include "Classes.h"
#include "Forms.h"
#include "Registry.h"
#include "Sysutils.h"

namespace {
const char* const kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
// Two blanks after "computer." and after "Hotbar!", as the box has always shown them.
const char* const kHotbarFoundText =
    "Velmora has found Hotbar installed on your computer.  \n\nVelmora is not compatible with Hotbar!  "
    "Velmora can attempt to run Hotbar's uninstall program by clicking OK.";
const char* const kHotbarFoundCaption = "Velmora! - Hotbar Found!";
}  // namespace

bool IsHotbarName(const std::string& DisplayName) {
    const std::string Name = AnsiUpperCase(DisplayName);
    for (const char* Word : {"HOTBAR", "HOT BAR", "HOT-BAR", "HOT_BAR"})
        if (Name.find(Word) != std::string::npos) return true;
    return false;
}

void CheckForHotbar(HWND Owner) {
    auto Registry = std::make_unique<TRegistry>(KEY_READ);
    Registry->RootKey = HKEY_LOCAL_MACHINE;
    TStringList Products;
    if (!Registry->OpenKeyReadOnly(kUninstallKey)) return;
    Registry->GetKeyNames(&Products);
    Registry->CloseKey();
    for (const std::string& Product : Products) {
        if (!Registry->OpenKeyReadOnly(std::string("\\") + kUninstallKey + "\\" + Product)) continue;
        try {
            const std::string Command = Registry->ReadString("UninstallString");
            const std::string DisplayName = Registry->ReadString("DisplayName");
            if (IsHotbarName(DisplayName) && !Trim(Command).empty() &&
                Application->MessageBox(kHotbarFoundText, kHotbarFoundCaption, MB_ICONERROR | MB_OKCANCEL, Owner) ==
                    IDOK)
                WinExec(Command.c_str(), SW_SHOWNORMAL);  // not waited for, result not examined
        } catch (const Exception&) {
            // An entry whose values cannot be read is skipped.
        }
        Registry->CloseKey();
    }
}
