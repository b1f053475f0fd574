// What the borderless dialogs share: the four 15-pixel gradient strips that frame them, their place
// over the window that opened them, and the white bold of their texts.
#pragma once

#include "ExtCtrls.h"
#include "Forms.h"

// Lays the strips along the edges of the form's client area, stretched to its size.
void AddBorderPictures(TForm* Form, TImage*& imgTopBorder, TImage*& imgRightBorder, TImage*& imgBottomBorder,
                       TImage*& imgLeftBorder);
// Centres Dialog over Opener's client area, Raise pixels above its centre (any half pixel dropped).
void CentreOverClientArea(TForm* Dialog, TForm* Opener, int Raise = 0);
// White bold text, as on the dialogs' labels and choices.
void WhiteBold(TFont& Font);
