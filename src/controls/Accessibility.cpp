#include "controls/Accessibility.h"

#include "controls/Animate.h"
#include "controls/Box.h"
#include "controls/ExceptionDisplay.h"
#include "controls/KxAdjuster.h"
#include "controls/KxDropBtn.h"
#include "controls/KxIndicator.h"
#include "controls/SpeedButton.h"
#include "controls/Switch.h"

#include <QAccessibleWidget>
#include <QLineEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QTimer>

namespace {

constexpr const char* RoleProperty = "trevalonAccessibleRole";

QString StripMnemonic(QString text) {
    text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    return text;
}

// A control's action runs from the event loop, as a click would: the
// screen reader's request returns at once, and a prompt the click opens
// does not wait inside it. A control gone meanwhile does nothing.
template <class TControl, class TWork> void Later(TControl* control, TWork work) {
    QTimer::singleShot(0, control, [control = QPointer<TControl>(control), work] {
        if (control)
            work(control.data());
    });
}

// The name the operator reads on the control, or its hint where it shows
// none.
QString NameOr(const QString& name, const QString& shown, const QWidget* control) {
    if (!name.isEmpty())
        return name;
    return shown.isEmpty() ? control->toolTip() : StripMnemonic(shown);
}

class TSwitchAccessible : public QAccessibleWidget {
public:
    explicit TSwitchAccessible(TSwitch* control)
        : QAccessibleWidget(control, QAccessible::CheckBox) {}

    QString text(QAccessible::Text t) const override {
        const QString text = QAccessibleWidget::text(t);
        return t == QAccessible::Name ? NameOr(text, Control()->Caption(), Control()) : text;
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = Control()->On();
        return state;
    }
    QStringList actionNames() const override {
        QStringList names;
        if (Control()->isEnabled())
            names << toggleAction() << pressAction();
        return names + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action == toggleAction() || action == pressAction()) {
            if (Control()->isEnabled())
                Later(Control(), [](TSwitch* control) { control->Click(); });
            return;
        }
        QAccessibleWidget::doAction(action);
    }
    QStringList keyBindingsForAction(const QString& action) const override {
        if (action == toggleAction() || action == pressAction())
            return {QStringLiteral("Space")};
        return QAccessibleWidget::keyBindingsForAction(action);
    }

private:
    TSwitch* Control() const { return static_cast<TSwitch*>(widget()); }
};

// The number a value text begins with ("10.0%", "-90", "1 Hz").
QVariant LeadingNumber(const QString& text) {
    static const QRegularExpression number(QStringLiteral("^\\s*([-+]?\\d+(\\.\\d+)?)"));
    const QRegularExpressionMatch match = number.match(text);
    return match.hasMatch() ? QVariant(match.captured(1).toDouble()) : QVariant();
}

// A button whose caption is a value has a value interface: AT-SPI reports a
// change of value only for objects that have one. The value is set through
// the button's own actions (its prompt, its arrows), never written here.
class TSpeedButtonAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit TSpeedButtonAccessible(TSpeedButton* control)
        : QAccessibleWidget(control, QAccessible::Button) {}

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::ValueInterface && !Control()->ValueText().isEmpty())
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    QVariant currentValue() const override { return LeadingNumber(Control()->ValueText()); }
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override { return {}; }
    QVariant minimumValue() const override { return {}; }
    QVariant minimumStepSize() const override { return {}; }

    QString text(QAccessible::Text t) const override {
        const QString text = QAccessibleWidget::text(t);
        if (t == QAccessible::Name)
            return NameOr(text, Control()->Caption(), Control());
        if (t == QAccessible::Value)
            return Control()->ValueText();
        return text;
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.pressed = Control()->Down() || Control()->isDown();
        state.hasPopup = IsDropArrow();
        return state;
    }
    QStringList actionNames() const override {
        QStringList names;
        if (Control()->isEnabled()) {
            names << pressAction();
            if (IsDropArrow())
                names << showMenuAction();
            if (Enabled(Control()->KeyArrowUp()))
                names << increaseAction();
            if (Enabled(Control()->KeyArrowDown()))
                names << decreaseAction();
        }
        return names + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (!actionNames().contains(action))
            return;
        if (action == pressAction() || action == showMenuAction())
            Later(Control(), [](TSpeedButton* button) { button->click(); });
        else if (action == increaseAction())
            Later(Control()->KeyArrowUp(), [](QAbstractButton* arrow) { arrow->click(); });
        else if (action == decreaseAction())
            Later(Control()->KeyArrowDown(), [](QAbstractButton* arrow) { arrow->click(); });
        else
            QAccessibleWidget::doAction(action);
    }
    QStringList keyBindingsForAction(const QString& action) const override {
        if (action == pressAction())
            return {QStringLiteral("Space"), QStringLiteral("Return")};
        if (action == increaseAction())
            return {QStringLiteral("Up")};
        if (action == decreaseAction())
            return {QStringLiteral("Down")};
        return QAccessibleWidget::keyBindingsForAction(action);
    }

private:
    TSpeedButton* Control() const { return static_cast<TSpeedButton*>(widget()); }
    static bool Enabled(const QAbstractButton* arrow) { return arrow && arrow->isEnabled(); }
    bool IsDropArrow() const {
        const auto* drop = qobject_cast<const TKxDropBtn*>(Control()->parentWidget());
        return drop && drop->BtnDown() == Control();
    }
};

class TIndicatorAccessible : public QAccessibleWidget {
public:
    explicit TIndicatorAccessible(TKxIndicator* control)
        : QAccessibleWidget(control, QAccessible::CheckBox) {}

    QString text(QAccessible::Text t) const override {
        const QString text = QAccessibleWidget::text(t);
        if (t == QAccessible::Name)
            return NameOr(text, Control()->Caption(), Control());
        // What the lamp says comes first: it is what changes.
        if (t == QAccessible::Description)
            return text.isEmpty() ? Control()->StateText()
                                  : Control()->StateText() + QLatin1Char('\n') + text;
        return text;
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = Control()->Enabled(); // lit
        state.readOnly = true;
        return state;
    }
    QStringList actionNames() const override {
        QStringList names;
        if (Control()->OnClick() && Control()->isEnabled())
            names << pressAction();
        return names + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action == pressAction()) {
            if (actionNames().contains(action))
                Later(Control(), [](TKxIndicator* control) {
                    RunShowingExceptions([control] { control->Click(); });
                });
            return;
        }
        QAccessibleWidget::doAction(action);
    }

private:
    TKxIndicator* Control() const { return static_cast<TKxIndicator*>(widget()); }
};

class TAdjusterAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit TAdjusterAccessible(TKxAdjuster* control)
        : QAccessibleWidget(control, QAccessible::SpinBox) {}

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    // The value shown; typed text counts once it is taken over.
    QVariant currentValue() const override { return LeadingNumber(Control()->EditValue()->text()); }
    // As a value typed and taken over: clamped, then the change event.
    void setCurrentValue(const QVariant& value) override {
        if (!Control()->Enabled())
            return;
        const float wanted = value.toFloat();
        Later(Control(), [wanted](TKxAdjuster* control) {
            RunShowingExceptions([control, wanted] { control->SetValue(wanted); });
        });
    }
    QVariant maximumValue() const override { return Control()->Max(); }
    QVariant minimumValue() const override { return Control()->Min(); }
    QVariant minimumStepSize() const override { return Control()->Increment(); }

    QString text(QAccessible::Text t) const override {
        const QString text = QAccessibleWidget::text(t);
        if (t == QAccessible::Name)
            return NameOr(text, Control()->Caption(), Control());
        if (t == QAccessible::Value) {
            const QString units = Control()->UnitsString().trimmed();
            const QString value = Control()->EditValue()->text().trimmed();
            return units.isEmpty() ? value : value + QLatin1Char(' ') + units;
        }
        return text;
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.disabled = !Control()->Enabled();
        return state;
    }
    QStringList actionNames() const override {
        QStringList names;
        if (Control()->Enabled())
            names << increaseAction() << decreaseAction();
        return names + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (!actionNames().contains(action))
            return;
        // The arrows' click path: one increment, as a click on an arrow.
        if (action == increaseAction())
            Later(Control()->BtnUp(), [](TSpeedButton* arrow) { arrow->click(); });
        else if (action == decreaseAction())
            Later(Control()->BtnDown(), [](TSpeedButton* arrow) { arrow->click(); });
        else
            QAccessibleWidget::doAction(action);
    }

private:
    TKxAdjuster* Control() const { return static_cast<TKxAdjuster*>(widget()); }
};

// The composite panels: their parts are the controls.
class TGroupAccessible : public QAccessibleWidget {
public:
    explicit TGroupAccessible(TBox* control) : QAccessibleWidget(control, QAccessible::Grouping) {}

    QString text(QAccessible::Text t) const override {
        const QString text = QAccessibleWidget::text(t);
        return t == QAccessible::Name ? NameOr(text, QString(), widget()) : text;
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.disabled = !static_cast<TBox*>(widget())->Enabled();
        return state;
    }
};

class TAnimateAccessible : public QAccessibleWidget {
public:
    explicit TAnimateAccessible(TAnimate* control)
        : QAccessibleWidget(control, QAccessible::Animation) {}

    QString text(QAccessible::Text t) const override {
        const QString text = QAccessibleWidget::text(t);
        return t == QAccessible::Name ? NameOr(text, QString(), widget()) : text;
    }
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.animated = static_cast<TAnimate*>(widget())->Active();
        return state;
    }
};

QAccessibleInterface* ControlInterface(const QString&, QObject* object) {
    if (auto* control = qobject_cast<TSwitch*>(object))
        return new TSwitchAccessible(control);
    if (auto* control = qobject_cast<TSpeedButton*>(object))
        return new TSpeedButtonAccessible(control);
    if (auto* control = qobject_cast<TKxIndicator*>(object))
        return new TIndicatorAccessible(control);
    if (auto* control = qobject_cast<TKxAdjuster*>(object))
        return new TAdjusterAccessible(control);
    if (auto* control = qobject_cast<TBox*>(object))
        return new TGroupAccessible(control);
    if (auto* control = qobject_cast<TAnimate*>(object))
        return new TAnimateAccessible(control);
    auto* container = qobject_cast<QWidget*>(object);
    const QVariant role = object ? object->property(RoleProperty) : QVariant();
    if (container && role.isValid())
        return new QAccessibleWidget(container, QAccessible::Role(role.toInt()));
    return nullptr;
}

} // namespace

void InstallControlAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(ControlInterface);
        return true;
    }();
    (void)installed;
}

void SetAccessibleRole(QWidget* container, QAccessible::Role role) {
    InstallControlAccessibility();
    container->setProperty(RoleProperty, int(role));
}

void AnnounceState(QWidget* control, QAccessible::State changed) {
    QAccessibleStateChangeEvent event(control, changed);
    QAccessible::updateAccessibility(&event);
}

void AnnounceValue(QWidget* control, const QString& value) {
    QAccessibleValueChangeEvent event(control, value);
    QAccessible::updateAccessibility(&event);
}
