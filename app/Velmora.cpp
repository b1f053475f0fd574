// Entry point of Velmora3.exe.
#include <windows.h>

#include "Forms.h"
#include "Startup.h"
#include "Velmoraform.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // One instance at a time: a second start ends at once, without a window or a message.
    if (FindWindowA(nullptr, kMainWindowCaption)) return 0;
    try {
        Application->Title = "Velmora!";
        CreateApplicationForms();
        Application->Run();
    } catch (...) {
        Application->HandleException();
    }
    return 0;
}
