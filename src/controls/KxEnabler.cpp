#include "controls/KxEnabler.h"

#include "controls/EnabledControl.h"

#include <QWidget>

TKxEnabler::TKxEnabler(QObject* owner) : QObject(owner) {}

TKxEnabler::~TKxEnabler() = default;

void TKxEnabler::SetRelativesEnabled(bool enabled) {
    FRelativesEnabled = enabled;
    if (!FParent)
        return;
    SetControlEnabled(FParent, enabled);
    const QObjectList children = FParent->children();
    for (QObject* child : children) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget && !widget->isWindow())
            SetControlEnabled(widget, enabled);
    }
}
