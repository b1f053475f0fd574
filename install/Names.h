// The names setup and uninstall share: the captions by which the program's starts find each other,
// the files an installation holds, the uninstall list's sections and keys, and the uninstall entry.
#pragma once

// Window captions, looked up across processes.
inline constexpr const char* kWizardCaption = "Velmora V3.1 Setup";
inline constexpr const char* kConfirmCaption = "Velmora V3.1 - Confirm Uninstall";
inline constexpr const char* kPreparingCaption = "Velmora V3.1 - Preparing To Uninstall";
inline constexpr const char* kUninstallingCaption = "Velmora V3.1 - Uninstalling...";

// The folder every installation ends in, and the files setup writes into it.
inline constexpr const char* kProductFolder = "Velmora3\\";
inline constexpr const char* kProgramFile = "Velmora3.exe";
inline constexpr const char* kUninstallerFile = "Uninstall.exe";
inline constexpr const char* kUninstallListFile = "Uninstall.ini";
// The shortcuts setup makes: both in the program group, the second also on the desktop.
inline constexpr const char* kUninstallLink = "Uninstall Velmora3.lnk";
inline constexpr const char* kProgramLink = "Velmora3.lnk";
// The temporary copy that uninstalls.
inline constexpr const char* kTempUninstallerFile = "vlmuntmp0.exe";

// The uninstall list.
inline constexpr const char* kShortcutsSection = "Shortcuts";
inline constexpr const char* kUninstallShortcutKey = "Uninstall Shortcut";
inline constexpr const char* kProgramShortcutKey = "Program Shortcut";
inline constexpr const char* kDesktopShortcutKey = "Desktop Shortcut";
inline constexpr const char* kGroupSection = "Program Group";
inline constexpr const char* kGroupNameKey = "Group Name";

// The uninstall entry, below HKEY_LOCAL_MACHINE.
inline constexpr const char* kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Velmora for IE";
