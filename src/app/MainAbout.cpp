// The about box and the new-version check.
#include "app/LCMain.h"

void TformMain::About1Click() {
    PlaceholderClick(QStringLiteral("The about box"));
}

void TformMain::menuCheckforNewVersion1Click() {
    PlaceholderClick(QStringLiteral("The new-version check"));
}
