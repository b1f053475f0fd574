#include "Startup.h"

#include "Aboutform.h"
#include "Getform.h"
#include "Getstatusform.h"
#include "Removeform.h"
#include "Selectform.h"
#include "Submitcommentsform.h"
#include "Submitform.h"
#include "Submitstatusform.h"
#include "Submittermsform.h"
#include "Tellform.h"
#include "Tellstatusform.h"
#include "Telltermsform.h"
#include "Textcolorform.h"
#include "Velmoraform.h"
#include "Windowtitleform.h"

// The select window copies its frame picture from the gallery, so the gallery comes first.
void CreateApplicationForms() {
    Application->CreateForm(frmVelmora);
    Application->CreateForm(frmGet);
    Application->CreateForm(frmRemove);
    Application->CreateForm(frmWindowTitle);
    Application->CreateForm(frmSubmit);
    Application->CreateForm(frmSubmitComments);
    Application->CreateForm(frmTell);
    Application->CreateForm(frmTellStatus);
    Application->CreateForm(frmSubmitStatus);
    Application->CreateForm(frmSelect);
    Application->CreateForm(frmAbout);
    Application->CreateForm(frmGetStatus);
    Application->CreateForm(frmSubmitTerms);
    Application->CreateForm(frmTellTerms);
    Application->CreateForm(frmTextColor);
}
