#include "Registryvalues.h"

bool WriteRegistryText(HKEY Key, const char* Name, const std::string& Text) {
    // The terminating zero is part of the value's data.
    return RegSetValueExA(Key, Name, 0, REG_SZ, reinterpret_cast<const BYTE*>(Text.c_str()),
                          static_cast<DWORD>(Text.size() + 1)) == ERROR_SUCCESS;
}

bool DeleteRegistryValue(HKEY Key, const char* Name) {
    const LONG Result = RegDeleteValueA(Key, Name);
    return Result == ERROR_SUCCESS || Result == ERROR_FILE_NOT_FOUND;
}
