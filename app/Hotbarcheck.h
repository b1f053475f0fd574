// The check for Hotbar, a product Velmora does not work with.
#pragma once

#include <windows.h>

#include <string>

// Offers to run the uninstaller of every installed Hotbar product; the boxes belong to Owner.
void CheckForHotbar(HWND Owner);
// True when the display name contains HOTBAR, HOT BAR, HOT-BAR or HOT_BAR in any letter case.
bool IsHotbarName(const std::string& DisplayName);
