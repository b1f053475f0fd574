// Registry helpers the windows of Velmora share.
#pragma once

#include <windows.h>

#include <string>

#include "Handles.h"

// Writes Text as a REG_SZ value, its terminating zero counted in the data.
bool WriteRegistryText(HKEY Key, const char* Name, const std::string& Text);
// Deletes a value; one that is already missing counts as deleted.
bool DeleteRegistryValue(HKEY Key, const char* Name);
