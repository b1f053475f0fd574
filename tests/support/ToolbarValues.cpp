#include "ToolbarValues.h"

const char* const kToolbarKey = "Software\\Microsoft\\Internet Explorer\\Toolbar";

std::string ToolbarValueData(const char* Name, DWORD* Type) {
    HKEY Key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kToolbarKey, 0, KEY_READ, &Key) != ERROR_SUCCESS) return "<no key>";
    char Data[1024];
    DWORD Size = sizeof Data, ValueType = 0;
    const LONG Result = RegQueryValueExA(Key, Name, nullptr, &ValueType, reinterpret_cast<BYTE*>(Data), &Size);
    RegCloseKey(Key);
    if (Type) *Type = ValueType;
    return Result == ERROR_SUCCESS ? std::string(Data, Size) : "<missing>";
}

std::string ToolbarValue(const char* Name) {
    std::string Data = ToolbarValueData(Name);
    if (!Data.empty() && Data.back() == '\0') Data.pop_back();
    return Data;
}

bool ClearToolbarValues() {
    HKEY Key;
    if (RegCreateKeyA(HKEY_CURRENT_USER, kToolbarKey, &Key) != ERROR_SUCCESS) return false;
    RegDeleteValueA(Key, "BackBitmap");
    RegDeleteValueA(Key, "BackBitmapIE5");
    RegCloseKey(Key);
    return true;
}
