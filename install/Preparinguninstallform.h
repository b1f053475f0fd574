// Confirmed uninstall, first step: copies the program to a temporary vlmuntmp0.exe, counts to 100 %,
// starts that copy with the installation folder, and waits, hidden, until the copy closes it.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <functional>
#include <string>

#include "ExtCtrls.h"
#include "Forms.h"
#include "Handles.h"
#include "StdCtrls.h"
#include "Uninstallwindow.h"

class TfrmPreparingUninstall : public TUninstallWindow {
public:
    explicit TfrmPreparingUninstall(TComponent* Owner);
    // Components
    TLabel* lblTitle;
    TTimer* timWatch;  // while hidden: ends this program once the temporary copy has ended
    // The temporary copy, once written.
    std::string TempUninstallerPath;
    // Starts a program as ShellExecuteEx does; tests stand in for it.
    std::function<bool(SHELLEXECUTEINFOA&)> StartProgram = [](SHELLEXECUTEINFOA& Start) {
        return ShellExecuteExA(&Start) != FALSE;
    };

    // Writes the temporary copy: "SUCCESS", or the copier's text for the last try.
    std::string CreateTempUninstaller();

    // Event handlers
    void FormCreate(TObject* Sender);
    void FormActivate(TObject* Sender);
    void timProgressTimer(TObject* Sender);
    void timWatchTimer(TObject* Sender);

private:
    void Fail();
    bool StartTempUninstaller();
    THeldHandle FUninstaller;  // the temporary copy's process, when the start gave one
};

// The argument the temporary copy gets: the folder of ProgramPath, quoted, its trailing backslash
// doubled so that the closing quote stays a quote.
std::string UninstallerArgument(const std::string& ProgramPath);

extern TfrmPreparingUninstall* frmPreparingUninstall;
