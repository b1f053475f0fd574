// The four 15-pixel gradient strips that frame the borderless dialogs.
#pragma once

#include "ExtCtrls.h"
#include "Forms.h"

// Lays the strips along the edges of the form's client area, stretched to its size.
void AddBorderPictures(TForm* Form, TImage*& imgTopBorder, TImage*& imgRightBorder, TImage*& imgBottomBorder,
                       TImage*& imgLeftBorder);
