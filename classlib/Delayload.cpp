#include "Delayload.h"

#include <mmsystem.h>
#include <shellapi.h>

namespace {
// The function Name of Library, loading the library on the first call; null when either is missing.
template <typename TFunction>
TFunction* Resolve(const char* Library, const char* Name) {
    const HMODULE Module = LoadLibraryA(Library);
    return Module ? reinterpret_cast<TFunction*>(reinterpret_cast<void*>(GetProcAddress(Module, Name))) : nullptr;
}
}  // namespace

namespace Delayload {
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* Classes) {
    static auto* const Call = Resolve<decltype(::InitCommonControlsEx)>("comctl32.dll", "InitCommonControlsEx");
    return Call && Call(Classes);
}

BOOL GetOpenFileNameA(OPENFILENAMEA* Dialog) {
    static auto* const Call = Resolve<decltype(::GetOpenFileNameA)>("comdlg32.dll", "GetOpenFileNameA");
    return Call && Call(Dialog);
}

BOOL ChooseColorA(CHOOSECOLORA* Dialog) {
    static auto* const Call = Resolve<decltype(::ChooseColorA)>("comdlg32.dll", "ChooseColorA");
    return Call && Call(Dialog);
}

BOOL TransparentBlt(HDC Target, int X, int Y, int Width, int Height, HDC Source, int SourceX, int SourceY,
                    int SourceWidth, int SourceHeight, UINT Transparent) {
    static auto* const Call = Resolve<decltype(::TransparentBlt)>("msimg32.dll", "TransparentBlt");
    return Call && Call(Target, X, Y, Width, Height, Source, SourceX, SourceY, SourceWidth, SourceHeight, Transparent);
}

BOOL PlaySoundA(LPCSTR Sound, HMODULE Module, DWORD Flags) {
    static auto* const Call = Resolve<decltype(::PlaySoundA)>("winmm.dll", "PlaySoundA");
    return Call && Call(Sound, Module, Flags);
}

HINSTANCE ShellExecuteA(HWND Owner, LPCSTR Verb, LPCSTR File, LPCSTR Parameters, LPCSTR Directory, INT Show) {
    static auto* const Call = Resolve<decltype(::ShellExecuteA)>("shell32.dll", "ShellExecuteA");
    return Call ? Call(Owner, Verb, File, Parameters, Directory, Show)
                : reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(SE_ERR_DLLNOTFOUND));
}

DWORD GetFinalPathNameByHandleA(HANDLE File, LPSTR Path, DWORD Size, DWORD Flags) {
    using TCall = DWORD WINAPI(HANDLE, LPSTR, DWORD, DWORD);
    static auto* const Call = Resolve<TCall>("kernel32.dll", "GetFinalPathNameByHandleA");
    if (Call) return Call(File, Path, Size, Flags);
    SetLastError(ERROR_PROC_NOT_FOUND);
    return 0;
}
}  // namespace Delayload
