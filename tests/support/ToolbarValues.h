// Values in the test prefix's real registry as the tests read and plant them; the toolbar
// background values among them.
#pragma once

#include <windows.h>

#include <string>

// The raw data of a value, its terminating zero included; "<missing>" or "<no key>" when absent.
std::string ValueData(HKEY Root, const char* Key, const char* Name, DWORD* Type = nullptr);
// Creates the key when missing and stores Data as it is, of the given type.
bool PlantValue(HKEY Root, const char* Key, const char* Name, const std::string& Data, DWORD Type = REG_SZ);

extern const char* const kToolbarKey;  // below HKEY_CURRENT_USER
// The raw data of a value, its terminating zero included; "<missing>" or "<no key>" when absent.
std::string ToolbarValueData(const char* Name, DWORD* Type = nullptr);
// The path a value holds: its data without the terminating zero.
std::string ToolbarValue(const char* Name);
// Makes the Toolbar key if it is missing, writable by all, and deletes both values; false when the key
// cannot be made.
bool ClearToolbarValues();
// Lets everyone only read the Toolbar key (it is made when missing), so that no value can be written.
bool MakeToolbarKeyReadOnly();
