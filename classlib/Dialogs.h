// Common dialogs of our class library: the open-file, open-picture and colour dialogs.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <string>

#include "Classes.h"
#include "Graphics.h"

using TOpenOptions = unsigned;
constexpr TOpenOptions ofHideReadOnly = 1, ofPathMustExist = 2, ofFileMustExist = 4;

// The system's open-file dialog (explorer style).
class TOpenDialog : public TComponent {
public:
    explicit TOpenDialog(TComponent* AOwner);
    std::string Title;
    // Pairs of description and patterns, all separated by '|': "Pictures|*.jpg;*.bmp|All files|*.*".
    std::string Filter;
    std::string FileName;  // the initial name, and the full path of the file chosen
    std::string InitialDir;
    std::string DefaultExt;  // added to a name typed without one ("bmp" or ".bmp")
    TOpenOptions Options = 0;
    // Shows the dialog over the active form (or the owner's form); false when the user cancels.
    bool Execute();

protected:
    // Shows the system dialog that Dialog describes; a subclass may add to it first.
    virtual bool Show(OPENFILENAMEA& Dialog);
};

// The open-file dialog used for pictures. Beside the list of files it shows the picture chosen in the
// list, scaled to fit, with its size in pixels; "(None)" when the file is no picture it can read.
class TOpenPictureDialog : public TOpenDialog {
public:
    using TOpenDialog::TOpenDialog;
    // The preview's frame and its size text, in the pane that the dialog holds beside its own controls.
    static constexpr int idPreviewFrame = 1200, idPreviewSize = 1201;

protected:
    bool Show(OPENFILENAMEA& Dialog) override;
};

// The system's colour dialog. It opens on Color, which is the colour last confirmed in it (black at
// first); the sixteen custom colours live as long as the component.
class TColorDialog : public TComponent {
public:
    explicit TColorDialog(TComponent* AOwner);
    TColor Color = clBlack;
    // Shows the dialog over the active form; false when the user cancels (Color stays as it was).
    bool Execute();

private:
    COLORREF FCustomColors[16];
};
