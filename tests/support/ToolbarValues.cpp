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

namespace {
// Gives the Toolbar key a list of who may do what: Allowed for everyone, or with none, all for all.
bool SetToolbarKeyAccess(const REGSAM* Allowed) {
    HKEY Key;
    if (RegCreateKeyA(HKEY_CURRENT_USER, kToolbarKey, &Key) == ERROR_SUCCESS) RegCloseKey(Key);
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kToolbarKey, 0, WRITE_DAC, &Key) != ERROR_SUCCESS) return false;
    SECURITY_DESCRIPTOR Descriptor;
    InitializeSecurityDescriptor(&Descriptor, SECURITY_DESCRIPTOR_REVISION);
    alignas(DWORD) char Buffer[256];
    auto* Acl = reinterpret_cast<PACL>(Buffer);
    SID_IDENTIFIER_AUTHORITY World = SECURITY_WORLD_SID_AUTHORITY;
    PSID Everyone = nullptr;
    bool Done = false;
    if (InitializeAcl(Acl, sizeof Buffer, ACL_REVISION) &&
        AllocateAndInitializeSid(&World, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &Everyone)) {
        Done = (!Allowed || AddAccessAllowedAce(Acl, ACL_REVISION, *Allowed, Everyone)) &&
               SetSecurityDescriptorDacl(&Descriptor, TRUE, Allowed ? Acl : nullptr, FALSE) &&
               RegSetKeySecurity(Key, DACL_SECURITY_INFORMATION, &Descriptor) == ERROR_SUCCESS;
        FreeSid(Everyone);
    }
    RegCloseKey(Key);
    return Done;
}
}  // namespace

bool MakeToolbarKeyReadOnly() {
    const REGSAM Read = KEY_READ;
    return SetToolbarKeyAccess(&Read);
}

bool ClearToolbarValues() {
    if (!SetToolbarKeyAccess(nullptr)) return false;
    HKEY Key;
    if (RegCreateKeyA(HKEY_CURRENT_USER, kToolbarKey, &Key) != ERROR_SUCCESS) return false;
    RegDeleteValueA(Key, "BackBitmap");
    RegDeleteValueA(Key, "BackBitmapIE5");
    RegCloseKey(Key);
    return true;
}
