// What the borderless dialogs share: the four 15-pixel gradient strips that frame them, their place
// over the window that opened them, their texts' colours and the dialog that picks a skin picture.
#pragma once

#include "Dialogs.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"

// Lays the strips along the edges of the form's client area, stretched to its size.
void AddBorderPictures(TForm* Form, TImage*& imgTopBorder, TImage*& imgRightBorder, TImage*& imgBottomBorder,
                       TImage*& imgLeftBorder);
// Centres Dialog over Opener's client area, Raise pixels above its centre (any half pixel dropped).
void CentreOverClientArea(TForm* Dialog, TForm* Opener, int Raise = 0);
// White bold text, as on the dialogs' labels and choices.
void WhiteBold(TFont& Font);
// A yellow bold label with Caption, aligned as given, that keeps its bounds.
TLabel* AddYellowLabel(TForm* Form, const char* Name, const TRect& Bounds, const char* Caption,
                       TAlignment Alignment = taRightJustify);
// The open dialog for a skin picture (bitmaps and JPEGs), titled "Select A Skin".
TOpenPictureDialog* NewSkinPictureDialog(TForm* Owner, const char* Name);
