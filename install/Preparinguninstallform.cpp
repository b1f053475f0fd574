#include "Preparinguninstallform.h"

TfrmPreparingUninstall* frmPreparingUninstall = nullptr;
const char* const kPreparingCaption = "Velmora V3.1 - Preparing To Uninstall";

namespace {
const TFormLayout kLayout{kPreparingCaption, 285, 82, clBlack, bsSingle, biSystemMenu, poScreenCenter};
}  // namespace

TfrmPreparingUninstall::TfrmPreparingUninstall(TComponent* Owner) : TForm(Owner) {
    ApplyLayout(kLayout);
    FormStyle = fsStayOnTop;
}
