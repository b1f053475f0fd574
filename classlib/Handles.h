// Holders that close a system handle when they go out of scope, so that no exit path pairs a
// release by hand. Each holds one handle at a time and can be moved, not copied.
#pragma once

#include <windows.h>

#include <utility>

template <class TKind>
class THeld {
public:
    using THandle = typename TKind::THandle;
    THeld() = default;
    explicit THeld(THandle Handle) : FHandle(Handle) {}
    ~THeld() { Reset(); }
    THeld(THeld&& Other) noexcept : FHandle(Other.Release()) {}
    THeld& operator=(THeld&& Other) noexcept {
        if (this != &Other) Reset(Other.Release());
        return *this;
    }
    THeld(const THeld&) = delete;
    THeld& operator=(const THeld&) = delete;

    THandle Get() const { return FHandle; }
    bool Valid() const { return TKind::Valid(FHandle); }
    explicit operator bool() const { return Valid(); }
    // For a call that gives the handle through a pointer (RegOpenKeyEx): the one held before is closed.
    THandle* Receive() {
        Reset();
        return &FHandle;
    }
    // Gives the handle up without closing it.
    THandle Release() { return std::exchange(FHandle, TKind::None()); }
    void Reset(THandle Handle = TKind::None()) {
        if (Valid()) TKind::Close(FHandle);
        FHandle = Handle;
    }

private:
    THandle FHandle = TKind::None();
};

namespace HandleKinds {
// A kernel object: file, process, thread, event. Calls report "none" either as null (OpenProcess) or
// as INVALID_HANDLE_VALUE (CreateFile); neither is closed.
struct TKernel {
    using THandle = HANDLE;
    static HANDLE None() { return nullptr; }
    static bool Valid(HANDLE Handle) { return Handle && Handle != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE Handle) { CloseHandle(Handle); }
};
// A file search of FindFirstFile.
struct TSearch {
    using THandle = HANDLE;
    static HANDLE None() { return INVALID_HANDLE_VALUE; }
    static bool Valid(HANDLE Handle) { return Handle && Handle != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE Handle) { FindClose(Handle); }
};
// An opened or created registry key.
struct TKey {
    using THandle = HKEY;
    static HKEY None() { return nullptr; }
    static bool Valid(HKEY Handle) { return Handle != nullptr; }
    static void Close(HKEY Handle) { RegCloseKey(Handle); }
};
}  // namespace HandleKinds

using THeldHandle = THeld<HandleKinds::TKernel>;
using THeldSearch = THeld<HandleKinds::TSearch>;
using THeldKey = THeld<HandleKinds::TKey>;
