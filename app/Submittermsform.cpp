#include "Submittermsform.h"

#include "Submitform.h"

TfrmSubmitTerms* frmSubmitTerms = nullptr;

namespace {
const char* const kTerms =
    "1. I made the picture I am sending myself. Most pictures are protected by the rights of their owners, "
    "and I send none of those.\r\n\r\n"
    "2. I grant the operator of the Velmora web site all rights to use my picture in connection with Velmora, "
    "for an unlimited time.\r\n\r\n"
    "3. I send nothing sexually explicit or offensive. My IP address is recorded, and action is taken against "
    "such material.\r\n\r\n"
    "4. I understand that I am told only if my picture is taken into the galleries.\r\n\r\n"
    "5. These terms may change without notice.";
const TTermsDialog::TTermsLayout kLayout{
    {"Skin Submission Agreement", 357, 309, clBlack, bsNone, 0, poDesigned},
    "Please read the following skin submission agreement:",
    kTerms,
    true,
};
}  // namespace

TfrmSubmitTerms::TfrmSubmitTerms(TComponent* Owner) : TTermsDialog(Owner, kLayout) {}

TForm* TfrmSubmitTerms::Covered() const { return frmSubmit; }
