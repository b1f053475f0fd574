// The toolbar background values in the test prefix's real registry, as the tests read them.
#pragma once

#include <windows.h>

#include <string>

extern const char* const kToolbarKey;  // below HKEY_CURRENT_USER
// The raw data of a value, its terminating zero included; "<missing>" or "<no key>" when absent.
std::string ToolbarValueData(const char* Name, DWORD* Type = nullptr);
// The path a value holds: its data without the terminating zero.
std::string ToolbarValue(const char* Name);
// Makes the Toolbar key if it is missing and deletes both values; false when the key cannot be made.
bool ClearToolbarValues();
