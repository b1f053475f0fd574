#include "Uninstallform.h"

TfrmUninstall* frmUninstall = nullptr;
const char* const kUninstallingCaption = "Velmora V3.1 - Uninstalling...";

namespace {
const TFormLayout kLayout{kUninstallingCaption, 325, 230, clBlack, bsSingle, biSystemMenu, poScreenCenter};
}  // namespace

TfrmUninstall::TfrmUninstall(TComponent* Owner) : TForm(Owner) {
    ApplyLayout(kLayout);
    FormStyle = fsStayOnTop;
}
