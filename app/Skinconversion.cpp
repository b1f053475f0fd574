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
}  // namespace

bool ConvertPictureToSkin(TForm* Owner, const std::string& PictureFile, const std::string& SkinFile, bool Stretched,
                          int Height) {
    std::unique_ptr<TImage> Source(new TImage(Owner)), Target(new TImage(Owner));
    try {
        Source->Picture.LoadFromFile(PictureFile);
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
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kToolbarKey, 0, KEY_SET_VALUE | KEY_QUERY_VALUE, &Key) != ERROR_SUCCESS)
        return false;
    THeldKey Closer{Key};
    if (SkinFile.empty()) {
        const bool First = DeleteRegistryValue(Key, "BackBitmap");
        const bool Second = DeleteRegistryValue(Key, "BackBitmapIE5");
        return First && Second;
    }
    return WriteRegistryText(Key, "BackBitmap", SkinFile) && WriteRegistryText(Key, "BackBitmapIE5", SkinFile);
}
