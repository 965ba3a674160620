// Saving the laser's settings to a settings file and recalling them.
#include "app/LCMain.h"

void TformMain::SaveSettings1Click() {
    PlaceholderClick(QStringLiteral("Saving settings"));
}

void TformMain::menuRecallSettings1Click() {
    PlaceholderClick(QStringLiteral("Recalling settings"));
}
