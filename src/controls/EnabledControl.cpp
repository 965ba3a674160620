#include "controls/EnabledControl.h"

#include <QWidget>

void SetControlEnabled(QWidget* widget, bool enabled) {
    if (!widget)
        return;
    if (auto* control = dynamic_cast<TEnabledControl*>(widget))
        control->SetEnabled(enabled);
    else
        widget->setEnabled(enabled);
}
