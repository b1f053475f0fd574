// Access to the Windows registry: one open key at a time below a chosen root.
#pragma once

#include <windows.h>

#include <string>

#include "Classes.h"
#include "Sysutils.h"

class ERegistryException : public Exception {
public:
    using Exception::Exception;
};

class TRegistry : public TObject {
public:
    explicit TRegistry(REGSAM AAccess = KEY_ALL_ACCESS) : Access(AAccess) {}
    ~TRegistry() override { CloseKey(); }
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    HKEY RootKey = HKEY_CURRENT_USER;
    REGSAM Access;
    HKEY CurrentKey() const { return FCurrentKey; }
    std::string CurrentPath() const { return FCurrentPath; }

    // A key below the open key, or below the root when Key starts with a backslash or none is open.
    bool OpenKey(const std::string& Key, bool CanCreate);
    bool OpenKeyReadOnly(const std::string& Key);
    void CloseKey();
    bool KeyExists(const std::string& Key);
    bool DeleteKey(const std::string& Key);

    bool ValueExists(const std::string& Name) const;
    // A missing value reads as empty; a value that is not text raises ERegistryException.
    std::string ReadString(const std::string& Name) const;
    void WriteString(const std::string& Name, const std::string& Value);
    bool DeleteValue(const std::string& Name);
    void GetKeyNames(TStringList* Strings) const;

private:
    bool Open(const std::string& Key, bool CanCreate, REGSAM Rights);
    HKEY BaseKey(const std::string& Key, std::string& Relative) const;
    HKEY FCurrentKey = nullptr;
    std::string FCurrentPath;
};
