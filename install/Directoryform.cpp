#include "Directoryform.h"

TfrmDirectory* frmDirectory = nullptr;

namespace {
constexpr TColor kPaleYellow = 13172735;  // red 255, green 255, blue 200
const TFormLayout kLayout{"Select Directory", 250, 231, kPaleYellow, bsSingle, biSystemMenu, poDesigned};
}  // namespace

TfrmDirectory::TfrmDirectory(TComponent* Owner) : TForm(Owner) { ApplyLayout(kLayout); }
