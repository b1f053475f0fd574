// System functions whose libraries are loaded at their first call rather than when the program
// starts. Each of these libraries (the common controls and dialogs, sound, the shell, transparent
// blitting) pulls in more of its own, and a program pays for all of them before its first window
// even when the user never opens a dialog or hears a sound. A library that cannot be loaded makes
// the call fail as the function itself reports failure.
#pragma once

#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>

namespace Delayload {
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* Classes);
BOOL GetOpenFileNameA(OPENFILENAMEA* Dialog);
BOOL ChooseColorA(CHOOSECOLORA* Dialog);
BOOL TransparentBlt(HDC Target, int X, int Y, int Width, int Height, HDC Source, int SourceX, int SourceY,
                    int SourceWidth, int SourceHeight, UINT Transparent);
BOOL PlaySoundA(LPCSTR Sound, HMODULE Module, DWORD Flags);
// As ShellExecuteA: a value above 32 on success; SE_ERR_DLLNOTFOUND when the shell cannot be loaded.
HINSTANCE ShellExecuteA(HWND Owner, LPCSTR Verb, LPCSTR File, LPCSTR Parameters, LPCSTR Directory, INT Show);
// As GetFinalPathNameByHandleA (Windows Vista on); 0 with ERROR_PROC_NOT_FOUND where the system has none.
DWORD GetFinalPathNameByHandleA(HANDLE File, LPSTR Path, DWORD Size, DWORD Flags);
}  // namespace Delayload
