#include "Telltermsform.h"

#include "Tellform.h"

TfrmTellTerms* frmTellTerms = nullptr;

namespace {
const char* const kTerms =
    "1. I will not use this feature to harass or annoy others.\r\n\r\n"
    "2. My message contains no profanity.\r\n\r\n"
    "3. My IP address is recorded, and misuse of this feature is acted on.\r\n\r\n"
    "4. These terms may change without notice.";
const TTermsDialog::TTermsLayout kLayout{
    {"Tell A Friend Agreement", 356, 275, clBlack, bsNone, 0, poDesigned},
    "Please read the following agreement:",
    kTerms,
    false,
};
}  // namespace

TfrmTellTerms::TfrmTellTerms(TComponent* Owner) : TTermsDialog(Owner, kLayout) {}

TForm* TfrmTellTerms::Covered() const { return frmTell; }
