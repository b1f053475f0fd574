// Functions shared by the windows of Velmora, a unit each by what they deal with.
#pragma once

#include "Appfolder.h"
#include "Emailcheck.h"
#include "Hotbarcheck.h"
#include "Registryvalues.h"
#include "Shellfunctions.h"
#include "Skinconversion.h"
