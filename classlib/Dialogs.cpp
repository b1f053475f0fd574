#include "Dialogs.h"

#include <windows.h>

#include <commdlg.h>

#include <algorithm>
#include <iterator>

#include "Delayload.h"
#include "Forms.h"

namespace {
// The filter as GetOpenFileName wants it: each part ended by a zero, and one more zero at the end.
std::string FilterList(const std::string& Filter) {
    std::string List = Filter;
    for (char& C : List)
        if (C == '|') C = '\0';
    List.append(2, '\0');
    return List;
}

DWORD OpenFlags(TOpenOptions Options) {
    DWORD Flags = OFN_EXPLORER | OFN_ENABLESIZING;
    if (Options & ofHideReadOnly) Flags |= OFN_HIDEREADONLY;
    if (Options & ofPathMustExist) Flags |= OFN_PATHMUSTEXIST;
    if (Options & ofFileMustExist) Flags |= OFN_FILEMUSTEXIST;
    return Flags;
}

HWND DialogOwner(TComponent* Owner) {
    if (Screen->ActiveForm && Screen->ActiveForm->HandleAllocated() && Screen->ActiveForm->Visible())
        return Screen->ActiveForm->Handle();
    for (TComponent* C = Owner; C; C = C->Owner())
        if (auto* Form = dynamic_cast<TForm*>(C); Form && Form->HandleAllocated()) return Form->Handle();
    return GetActiveWindow();
}
}  // namespace

TOpenDialog::TOpenDialog(TComponent* AOwner) : TComponent(AOwner) {}

bool TOpenDialog::Execute() {
    constexpr size_t kNameRoom = 32768;  // the longest path Windows knows
    std::string Name = FileName;
    Name.resize(std::max(kNameRoom, Name.size() + 1), '\0');
    const std::string Filters = FilterList(Filter);
    const std::string Extension = !DefaultExt.empty() && DefaultExt[0] == '.' ? DefaultExt.substr(1) : DefaultExt;

    OPENFILENAMEA Dialog{};
    Dialog.lStructSize = sizeof Dialog;
    Dialog.hwndOwner = DialogOwner(Owner());
    Dialog.lpstrFilter = Filter.empty() ? nullptr : Filters.c_str();
    Dialog.nFilterIndex = 1;
    Dialog.lpstrFile = &Name[0];
    Dialog.nMaxFile = static_cast<DWORD>(Name.size());
    Dialog.lpstrInitialDir = InitialDir.empty() ? nullptr : InitialDir.c_str();
    Dialog.lpstrTitle = Title.empty() ? nullptr : Title.c_str();
    Dialog.lpstrDefExt = Extension.empty() ? nullptr : Extension.c_str();
    Dialog.Flags = OpenFlags(Options);
    if (!Delayload::GetOpenFileNameA(&Dialog)) return false;
    FileName = Name.c_str();
    return true;
}

TColorDialog::TColorDialog(TComponent* AOwner) : TComponent(AOwner) {
    std::fill(std::begin(FCustomColors), std::end(FCustomColors), RGB(255, 255, 255));
}

bool TColorDialog::Execute() {
    CHOOSECOLORA Dialog{};
    Dialog.lStructSize = sizeof Dialog;
    Dialog.hwndOwner = DialogOwner(Owner());
    Dialog.rgbResult = ColorToRGB(Color);
    Dialog.lpCustColors = FCustomColors;
    Dialog.Flags = CC_RGBINIT;
    if (!Delayload::ChooseColorA(&Dialog)) return false;
    Color = static_cast<TColor>(Dialog.rgbResult);
    return true;
}
