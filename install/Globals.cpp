#include "Globals.h"

#include <windows.h>

#include <vector>

#include "Classes.h"
#include "Forms.h"
#include "Handles.h"
#include "Names.h"
#include "Sysutils.h"

std::string GetProgramFilesDir() {
    char System[MAX_PATH] = "";
    const UINT Length = GetSystemDirectoryA(System, MAX_PATH);
    // A failed call, or a folder longer than the buffer, leaves nothing to take the drive from.
    if (Length < 3 || Length >= MAX_PATH) return "C:\\Program Files\\";
    return std::string(System, 3) + "Program Files\\";
}

std::string GetDefaultInstallDir() { return IncludeTrailingPathDelimiter(GetProgramFilesDir()) + kProductFolder; }

std::string CopySelfTo(const std::string& FileName) {
    std::vector<char> Buffer;
    {
        THeldHandle In(CreateFileA(Application->ExeName().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!In) return "Uninstall input file could not be opened!";
        const DWORD Size = GetFileSize(In.Get(), nullptr);
        DWORD Read = 0;
        bool Complete = false;
        if (Size != INVALID_FILE_SIZE) {
            Buffer.resize(static_cast<size_t>(Size) + 1);
            Complete = ReadFile(In.Get(), Buffer.data(), Size, &Read, nullptr) && Read == Size;
            Buffer.resize(Read);
        }
        if (!Complete) return "Uninstall input file could not be read!";
    }
    DeleteFileA(FileName.c_str());
    try {
        TFileStream Out(FileName, fmCreate);
        return Out.Write(Buffer.data(), Buffer.size()) == Buffer.size() ? "SUCCESS" : "Uninstall file not written properly!";
    } catch (const Exception&) {
        return "Uninstall output file could not be opened or created!";
    }
}

TSetupMode ModeOfFileName(const std::string& FileName) {
    if (SameText(FileName, kUninstallerFile)) return smConfirmUninstall;
    if (SameText(FileName, kTempUninstallerFile)) return smUninstaller;
    return smSetup;
}

TProgressBarParts AddProgressBar(TForm* Form, int Left, int Top) {
    TProgressBarParts Bar;
    Bar.Panel = CreateControl<TPanel>(Form, Form, "pnlProgress", Bounds(Left, Top, 265, 19));
    Bar.Panel->BevelOuter = TPanel::bvNone;
    Bar.Panel->Color = clBlack;
    Bar.Image = CreateControl<TImage>(Form, Bar.Panel, "imgProgress", Bounds(1, 1, 0, 17));
    Bar.Image->SetStretch(true);
    Bar.Image->Picture.LoadFromResourceName(Application->Instance(), "UNINSTALLBAR");
    Bar.Border = CreateControl<TShape>(Form, Bar.Panel, "shpProgressBorder", Bounds(0, 0, 265, 19));
    Bar.Border->Brush.Style = bsClear;
    Bar.Border->Pen.Color = clYellow;
    Bar.Percent = CreateControl<TLabel>(Form, Bar.Panel, "lblProgress", Bounds(1, 1, 263, 17));
    Bar.Percent->AutoSize = false;
    Bar.Percent->Transparent = true;
    Bar.Percent->Alignment = taCenter;
    Bar.Percent->Layout = tlCenter;
    Bar.Percent->Font.Name = "Arial";
    Bar.Percent->Font.Height = 13;
    Bar.Percent->Font.Style = fsBold;
    Bar.Percent->Font.Color = clWhite;
    return Bar;
}

// The step is a single-precision value of Full / 100 (2.63 is held as 2.6300001), so that 100 steps
// reach the full width exactly.
int ProgressWidth(int Percent, int Full) {
    const float Step = static_cast<float>(Full * 0.01);
    return static_cast<int>(static_cast<float>(Percent * Step));
}

void EmptySystemMenu(HWND Window) {
    for (int Position = 20; Position >= 0; --Position) RemoveMenu(GetSystemMenu(Window, FALSE), Position, MF_BYPOSITION);
}
