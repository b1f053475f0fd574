#include "Registry.h"

#include <vector>

#include "Handles.h"

HKEY TRegistry::BaseKey(const std::string& Key, std::string& Relative) const {
    const bool FromRoot = !Key.empty() && Key[0] == '\\';
    Relative = FromRoot ? Key.substr(1) : Key;
    return (FromRoot || !FCurrentKey) ? RootKey : FCurrentKey;
}

bool TRegistry::Open(const std::string& Key, bool CanCreate, REGSAM Rights) {
    std::string Relative;
    HKEY Base = BaseKey(Key, Relative);
    const bool Absolute = Base == RootKey;
    HKEY Opened = nullptr;
    LONG Status;
    if (CanCreate)
        Status = RegCreateKeyExA(Base, Relative.c_str(), 0, nullptr, 0, Rights, nullptr, &Opened, nullptr);
    else
        Status = RegOpenKeyExA(Base, Relative.c_str(), 0, Rights, &Opened);
    if (Status != ERROR_SUCCESS) return false;
    const std::string NewPath = Absolute ? Relative : FCurrentPath + "\\" + Relative;
    CloseKey();
    FCurrentKey = Opened;
    FCurrentPath = NewPath;
    return true;
}

bool TRegistry::OpenKey(const std::string& Key, bool CanCreate) { return Open(Key, CanCreate, Access); }

bool TRegistry::OpenKeyReadOnly(const std::string& Key) { return Open(Key, false, KEY_READ); }

void TRegistry::CloseKey() {
    if (FCurrentKey) RegCloseKey(FCurrentKey);
    FCurrentKey = nullptr;
    FCurrentPath.clear();
}

bool TRegistry::KeyExists(const std::string& Key) {
    std::string Relative;
    HKEY Base = BaseKey(Key, Relative);
    THeldKey Opened;
    return RegOpenKeyExA(Base, Relative.c_str(), 0, KEY_QUERY_VALUE, Opened.Receive()) == ERROR_SUCCESS;
}

bool TRegistry::DeleteKey(const std::string& Key) {
    std::string Relative;
    HKEY Base = BaseKey(Key, Relative);
    return RegDeleteKeyA(Base, Relative.c_str()) == ERROR_SUCCESS;
}

bool TRegistry::ValueExists(const std::string& Name) const {
    return FCurrentKey && RegQueryValueExA(FCurrentKey, Name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::string TRegistry::ReadString(const std::string& Name) const {
    DWORD Type = 0, Size = 0;
    if (!FCurrentKey || RegQueryValueExA(FCurrentKey, Name.c_str(), nullptr, &Type, nullptr, &Size) != ERROR_SUCCESS)
        return std::string();
    if (Type != REG_SZ && Type != REG_EXPAND_SZ) throw ERegistryException("Invalid data type for '" + Name + "'");
    std::vector<char> Buffer(Size + 1, '\0');
    if (RegQueryValueExA(FCurrentKey, Name.c_str(), nullptr, &Type, reinterpret_cast<BYTE*>(Buffer.data()), &Size) !=
        ERROR_SUCCESS)
        throw ERegistryException("Invalid data type for '" + Name + "'");
    return std::string(Buffer.data());  // up to the terminating zero, if the value has one
}

void TRegistry::WriteString(const std::string& Name, const std::string& Value) {
    if (!FCurrentKey ||
        RegSetValueExA(FCurrentKey, Name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(Value.c_str()),
                       static_cast<DWORD>(Value.size() + 1)) != ERROR_SUCCESS)
        throw ERegistryException("Failed to set data for '" + Name + "'");
}

bool TRegistry::DeleteValue(const std::string& Name) {
    return FCurrentKey && RegDeleteValueA(FCurrentKey, Name.c_str()) == ERROR_SUCCESS;
}

void TRegistry::GetKeyNames(TStringList* Strings) const {
    Strings->Clear();
    if (!FCurrentKey) return;
    DWORD Count = 0, MaxLength = 0;
    if (RegQueryInfoKeyA(FCurrentKey, nullptr, nullptr, nullptr, &Count, &MaxLength, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return;
    std::vector<char> Name(MaxLength + 1);
    for (DWORD Index = 0; Index < Count; ++Index) {
        DWORD Length = static_cast<DWORD>(Name.size());
        if (RegEnumKeyExA(FCurrentKey, Index, Name.data(), &Length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS)
            Strings->Add(std::string(Name.data(), Length));
    }
}
