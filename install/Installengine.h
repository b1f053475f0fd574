// The install engine: writes the carried application, the uninstaller and the uninstall list into
// the installation folder, makes the shortcuts and registers the uninstall entry. Its results are
// full paths, "SUCCESS", a message to show unchanged, or "FAILED".
#pragma once

#include <string>

// Installs into Folder with the program group Group (and a desktop link when Desktop); returns the
// path of the installed Velmora3.exe, or "FAILED" after showing what went wrong.
std::string PerformInstallation(std::string Folder, const std::string& Group, bool Desktop);
// Writes the RCDATA resource ResourceId of the running program to FileName, never through a link.
std::string ExtractResourceToFile(int ResourceId, const std::string& FileName);
// Saves a link to Target named LinkName in the program group Location, or on the desktop when
// Location is empty; the path of the link file saved, or "FAILED" (also for a link at that path).
std::string CreateShortcut(const std::string& Location, const std::string& LinkName, const std::string& Target);
// The Start menu's Programs folder that program groups go into: all users', else the current user's;
// empty when the shell gives neither.
std::string GetProgramsFolder();
// The path of a special folder of the shell, trimmed; empty when the shell cannot give it.
std::string GetSpecialFolderPath(int Csidl);
// Writes one value to the uninstall list, unless it is a link; a failure is shown, never passed on.
void WriteUninstallIni(const std::string& IniFile, const std::string& Section, const std::string& Key,
                       const std::string& Value);

extern const char* const kInstalledResult;  // "SUCCESS"
extern const char* const kFailedResult;     // "FAILED"
