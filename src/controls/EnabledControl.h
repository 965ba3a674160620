#pragma once

class QWidget;

// Controls whose enabled state means more than Qt's (a composite control
// passes it to its inner parts and stays focusable itself; an indicator
// lights up). Qt's setEnabled is not virtual, so such controls implement
// this interface and generic code goes through SetControlEnabled.
class TEnabledControl {
public:
    virtual ~TEnabledControl() = default;
    virtual bool Enabled() const = 0;
    virtual void SetEnabled(bool enabled) = 0;
};

// Sets `widget`'s enabled state through its own rules when it has them,
// otherwise through QWidget::setEnabled.
void SetControlEnabled(QWidget* widget, bool enabled);
