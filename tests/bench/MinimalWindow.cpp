// The smallest Win32 window program: the yardstick for Velmora's start-up time.
#include <windows.h>

static LRESULT CALLBACK Procedure(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (Msg == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(Window, Msg, WParam, LParam);
}

int WINAPI WinMain(HINSTANCE Instance, HINSTANCE, LPSTR, int Show) {
    WNDCLASSA Class{};
    Class.lpfnWndProc = Procedure;
    Class.hInstance = Instance;
    Class.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    Class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    Class.lpszClassName = "MinimalWindow";
    RegisterClassA(&Class);
    HWND Window = CreateWindowA("MinimalWindow", "Minimal Window", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                416, 356, nullptr, nullptr, Instance, nullptr);
    ShowWindow(Window, Show);
    MSG Msg;
    while (GetMessageA(&Msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&Msg);
        DispatchMessageA(&Msg);
    }
    return 0;
}
