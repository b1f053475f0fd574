// Turning a picture into a Skin file, and the toolbar values that point at it.
#pragma once

#include <string>

class TForm;

// Makes a new Skin file from a picture file (bmp, jpg, jpeg, ico, wmf, emf): stretched to the screen's
// width less 4 by Height, or at the picture's own size for a tiled skin. The other Skin files are
// deleted once the new one is saved. Errors are shown in a box owned by Owner; the result is then false.
bool ConvertPictureToSkin(TForm* Owner, const std::string& PictureFile, const std::string& SkinFile, bool Stretched,
                          int Height);
// Points both toolbar background values at SkinFile, or deletes them when it is empty. False when
// the Toolbar key is missing (it is never created) or a value could not be written or deleted.
bool SetToolbarBitmap(const std::string& SkinFile);
