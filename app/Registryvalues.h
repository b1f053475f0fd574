// Registry helpers the windows of Velmora share.
#pragma once

#include <windows.h>

#include <string>

#include "Handles.h"

// The earlier name of the key holder, still used by the skin conversion.
using TKeyCloser = THeldKey;
// Writes Text as a REG_SZ value, its terminating zero counted in the data.
bool WriteRegistryText(HKEY Key, const char* Name, const std::string& Text);
// Deletes a value; one that is already missing counts as deleted.
bool DeleteRegistryValue(HKEY Key, const char* Name);
