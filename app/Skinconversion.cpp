#include "Skinconversion.h"

#include <windows.h>

#include <memory>

#include "Appfolder.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "Registryvalues.h"
#include "Sysutils.h"

namespace {
const char* const kToolbarKey = "Software\\Microsoft\\Internet Explorer\\Toolbar";
const char* const kBadHeightText = "The skin height must be at least 1 pixel.";

// The picture at its own size as a 24-bit bitmap, without a copy where it has one of its own: a photo's
// full decode, a bitmap's own pixels. Null for other kinds, which are drawn.
TBitmap* OwnPixels(TGraphic* Picture) {
    if (auto* Photo = dynamic_cast<TJPEGImage*>(Picture)) return &Photo->Bitmap();
    auto* Bitmap = dynamic_cast<TBitmap*>(Picture);
    if (!Bitmap || Bitmap->Transparent) return nullptr;
    Bitmap->SetPixelFormat(pf24bit);
    return Bitmap;
}
}  // namespace

bool ConvertPictureToSkin(TForm* Owner, const std::string& PictureFile, const std::string& SkinFile, bool Stretched,
                          int Height, TPictureOrigin Origin) {
    std::unique_ptr<TImage> Source(new TImage(Owner)), Target(new TImage(Owner));
    try {
        if (Origin == TPictureOrigin::Downloaded) Source->Picture.LoadJpegOrBitmapFromFile(PictureFile);
        else Source->Picture.LoadFromFile(PictureFile);
        TBitmap* Skin = Target->Picture.Bitmap();
        Skin->SetPixelFormat(pf24bit);
        if (Stretched) {
            if (Height <= 0) throw Exception(kBadHeightText);
            const int Width = Screen->Width() - 4;
            Skin->SetSize(Width, Height);
            // A photo is decoded only in the rows the strip keeps.
            if (auto* Photo = dynamic_cast<TJPEGImage*>(Source->Picture.Graphic()))
                Photo->DrawOnce(Skin->Canvas(), Rect(0, 0, Width, Height));
            else
                Skin->Canvas()->StretchDraw(Rect(0, 0, Width, Height), Source->Picture.Graphic());
        } else if (TBitmap* Own = OwnPixels(Source->Picture.Graphic())) {
            // A tiled skin is the picture itself: the largest one is never held twice.
            Skin = Own;
        } else {
            Source->SetAutoSize(true);
            Skin->SetSize(Source->Picture.Width(), Source->Picture.Height());
            Skin->Canvas()->Draw(0, 0, Source->Picture.Graphic());
        }
        // Saved under a passing name and then renamed, so that a failed save never leaves a
        // half-written Skin file, nor takes away the one the toolbar values name.
        const std::string Unfinished = SkinFile + ".new";
        Skin->SaveToFile(Unfinished);
        if (!MoveFileExA(Unfinished.c_str(), SkinFile.c_str(), MOVEFILE_REPLACE_EXISTING)) {
            DeleteFileA(Unfinished.c_str());
            throw Exception("Cannot create file \"" + SkinFile + "\"");
        }
        DeleteSkinFilesExcept(ExtractFileName(SkinFile));
        return true;
    } catch (const Exception& E) {
        DropPendingInput(Owner ? Owner->Handle() : nullptr);  // made while the conversion blocked
        Application->MessageBox(E.Message, Application->Title, MB_ICONERROR, Owner ? Owner->Handle() : nullptr);
        return false;
    }
}

bool SetToolbarBitmap(const std::string& SkinFile) {
    HKEY Key;
    // A system whose toolbars were never changed has no such key yet: a skin is set all the same.
    const LONG Opened = SkinFile.empty()
                            ? RegOpenKeyExA(HKEY_CURRENT_USER, kToolbarKey, 0, KEY_SET_VALUE | KEY_QUERY_VALUE, &Key)
                            : RegCreateKeyExA(HKEY_CURRENT_USER, kToolbarKey, 0, nullptr, 0,
                                              KEY_SET_VALUE | KEY_QUERY_VALUE, nullptr, &Key, nullptr);
    if (Opened != ERROR_SUCCESS) return false;
    THeldKey Closer{Key};
    if (SkinFile.empty()) {
        const bool First = DeleteRegistryValue(Key, "BackBitmap");
        const bool Second = DeleteRegistryValue(Key, "BackBitmapIE5");
        return First && Second;
    }
    return WriteRegistryText(Key, "BackBitmap", SkinFile) && WriteRegistryText(Key, "BackBitmapIE5", SkinFile);
}

bool ConvertAndSetSkin(TForm* Owner, const std::string& PictureFile, const std::string& SkinFile, bool Stretched,
                       int Height, TPictureOrigin Origin) {
    if (!ConvertPictureToSkin(Owner, PictureFile, SkinFile, Stretched, Height, Origin)) return false;
    if (SetToolbarBitmap(SkinFile)) return true;
    DeleteFileA(SkinFile.c_str());  // no toolbar names it
    return false;
}
