// Entry point of install.exe: the setup wizard, the uninstall confirmation or the uninstaller,
// chosen by the name the program was started under.
#include <windows.h>

#include "Directoryform.h"
#include "Forms.h"
#include "Globals.h"
#include "Mainform.h"
#include "Names.h"
#include "Preparinguninstallform.h"
#include "Sysutils.h"
#include "Uninstallform.h"

namespace {
// Raises the wizard above every other window without keeping it there.
void BringToFront(HWND Window) {
    SetWindowPos(Window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetWindowPos(Window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    try {
        Application->Title = "Velmora Setup";
        // The windows of other starts, looked up once: they refuse a second wizard or uninstall.
        const HWND Wizard = FindWindowA(nullptr, kWizardCaption);
        const HWND Confirm = FindWindowA(nullptr, kConfirmCaption);
        const HWND Preparing = FindWindowA(nullptr, kPreparingCaption);
        const HWND Uninstalling = FindWindowA(nullptr, kUninstallingCaption);
        switch (ModeOfFileName(ExtractFileName(Application->ExeName()))) {
            case smConfirmUninstall:
                if (Wizard) {
                    BringToFront(Wizard);
                } else if (!Confirm && !Preparing && !Uninstalling &&
                           MessageBoxA(GetDesktopWindow(), "Do you want to completely uninstall Velmora?",
                                       kConfirmCaption, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2 | MB_SYSTEMMODAL) ==
                               IDYES) {
                    Application->CreateForm(frmPreparingUninstall);
                    Application->Run();
                }
                break;
            case smUninstaller:
                // The preparing window that started this copy still bears its caption: not tested here.
                if (!Wizard && !Confirm && !Uninstalling) {
                    Application->CreateForm(frmUninstall);
                    Application->Run();
                }
                break;
            case smSetup:
                if (Wizard) {
                    BringToFront(Wizard);
                } else if (!Confirm && !Preparing && !Uninstalling) {
                    Application->CreateForm(frmMain);
                    Application->CreateForm(frmDirectory);
                    Application->Run();
                }
                break;
        }
    } catch (const Exception&) {
        Application->HandleException();
    }
    return 0;
}
