// Turning a picture into a Skin file, and the toolbar values that point at it.
#pragma once

#include <string>

class TForm;

// Where a picture file comes from: the user's own file is loaded by its extension (bmp, jpg, jpeg, ico,
// wmf, emf); a downloaded one, whose name a web site chose, only as the JPEG or bitmap its content is.
enum class TPictureOrigin { UsersOwn, Downloaded };

// Makes a new Skin file from a picture file: stretched to the screen's width less 4 by Height, or at
// the picture's own size for a tiled skin. The other Skin files are deleted once the new one is saved.
// Errors are shown in a box owned by Owner; the result is then false.
bool ConvertPictureToSkin(TForm* Owner, const std::string& PictureFile, const std::string& SkinFile, bool Stretched,
                          int Height, TPictureOrigin Origin = TPictureOrigin::UsersOwn);
// Points both toolbar background values at SkinFile (creating their key when it is missing), or
// deletes them when it is empty. False when a value could not be written or deleted, or when there is
// no key to delete them from.
bool SetToolbarBitmap(const std::string& SkinFile);
// Applies a skin: SkinFile made from the picture, then the toolbar values pointed at it. A Skin file
// that the values could not be pointed at is removed again. True when both were done.
bool ConvertAndSetSkin(TForm* Owner, const std::string& PictureFile, const std::string& SkinFile, bool Stretched,
                       int Height, TPictureOrigin Origin);
