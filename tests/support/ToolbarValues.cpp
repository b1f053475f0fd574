#include "ToolbarValues.h"

const char* const kToolbarKey = "Software\\Microsoft\\Internet Explorer\\Toolbar";

std::string ValueData(HKEY Root, const char* KeyPath, const char* Name, DWORD* Type) {
    HKEY Key;
    if (RegOpenKeyExA(Root, KeyPath, 0, KEY_READ, &Key) != ERROR_SUCCESS) return "<no key>";
    char Data[1024];
    DWORD Size = sizeof Data, ValueType = 0;
    const LONG Result = RegQueryValueExA(Key, Name, nullptr, &ValueType, reinterpret_cast<BYTE*>(Data), &Size);
    RegCloseKey(Key);
    if (Type) *Type = ValueType;
    return Result == ERROR_SUCCESS ? std::string(Data, Size) : "<missing>";
}

bool PlantValue(HKEY Root, const char* KeyPath, const char* Name, const std::string& Data, DWORD Type) {
    HKEY Key;
    if (RegCreateKeyA(Root, KeyPath, &Key) != ERROR_SUCCESS) return false;
    const LONG Result = RegSetValueExA(Key, Name, 0, Type, reinterpret_cast<const BYTE*>(Data.data()),
                                       static_cast<DWORD>(Data.size()));
    RegCloseKey(Key);
    return Result == ERROR_SUCCESS;
}

std::string ToolbarValueData(const char* Name, DWORD* Type) { return ValueData(HKEY_CURRENT_USER, kToolbarKey, Name, Type); }

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
