// The about box and the new-version check.
#include "app/LCAbout.h"
#include "app/LCMain.h"

#include "controls/KxFormManager.h"
#include "dialogs/VersionCheckDialogs.h"
#include "version/GetNewVersion.h"

void TformMain::About1Click() {
    // Made (and registered) first, so that it can be placed over this
    // window before the modal showing; a fresh box each time.
    FFormManager->ShowForm(formAbout, TKxFormManager::smCreateOnly);
    formAbout->CentreOver(this);
    FFormManager->ShowForm(formAbout, TKxFormManager::smModal);
}

TGetNewVersion* TformMain::NewVersionCheck() {
    if (!GetNewVersion1) {
        GetNewVersion1 = new TGetNewVersion(this);
        GetNewVersion1->setObjectName(QStringLiteral("GetNewVersion1"));
        GetNewVersion1->SetUi(std::make_unique<TVersionCheckDialogs>(*FDialogs));
    }
    return GetNewVersion1;
}

void TformMain::menuCheckforNewVersion1Click() {
    NewVersionCheck()->CheckForNewVersion(true);
}
