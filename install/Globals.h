// Functions of the setup program that its windows share.
#pragma once

#include <string>

#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"

// "<system drive>\Program Files\", from the first three characters of the system folder.
std::string GetProgramFilesDir();
// The folder an installation goes to by default: Program Files plus "Velmora3\".
std::string GetDefaultInstallDir();
// Writes a byte-for-byte copy of the running program to FileName: "SUCCESS" or a message to show.
std::string CopySelfTo(const std::string& FileName);

// What the program does, by the file name it was started under (letter case ignored).
enum TSetupMode { smSetup, smConfirmUninstall, smUninstaller };
TSetupMode ModeOfFileName(const std::string& FileName);

// The magenta bar of the uninstall windows: a panel holding the stretched picture, a yellow frame
// and the white percentage, whose 263-pixel width is the bar's full width.
struct TProgressBarParts {
    TPanel* Panel;
    TImage* Image;
    TShape* Border;
    TLabel* Percent;
};
TProgressBarParts AddProgressBar(TForm* Form, int Left, int Top);
// The bar's width at Percent of a bar Full pixels wide (single precision, truncated).
int ProgressWidth(int Percent, int Full);
// Empties a window's system menu: it offers no Close then.
void EmptySystemMenu(HWND Window);
