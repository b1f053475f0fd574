// Colours that the windows of Velmora share.
#pragma once

#include "Graphics.h"

constexpr TColor kPurple = 16711824;  // red 144, green 0, blue 255
