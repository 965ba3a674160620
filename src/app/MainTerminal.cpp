// Opening the terminal window.
#include "app/LCMain.h"

void TformMain::Terminal1Click() {
    PlaceholderClick(QStringLiteral("The terminal"));
}
