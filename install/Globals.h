// Functions of the setup program that its windows share.
#pragma once

#include <string>

// "<system drive>\Program Files\", from the first three characters of the system folder.
std::string GetProgramFilesDir();
// The folder an installation goes to by default: Program Files plus "Velmora3\".
std::string GetDefaultInstallDir();
// Writes a byte-for-byte copy of the running program to FileName: "SUCCESS" or a message to show.
std::string CopySelfTo(const std::string& FileName);

// What the program does, by the file name it was started under (letter case ignored).
enum TSetupMode { smSetup, smConfirmUninstall, smUninstaller };
TSetupMode ModeOfFileName(const std::string& FileName);

// The folder every installation ends in.
extern const char* const kProductFolder;
