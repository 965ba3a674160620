#pragma once

#include <QAccessible>

class QWidget;

// What assistive technology reads of the custom controls. Screen readers,
// switch devices and test tools that drive the window from outside reach a
// window through QAccessible (on Linux Qt serves it as AT-SPI); without an
// interface of its own a custom control is a nameless filler that does
// nothing. Installed here, once per process:
// - TSwitch: a check box, checked while on; its press and toggle actions
//   click it (the state flips, then OnClick).
// - TSpeedButton: a button, pressed while latched down; press clicks it. A
//   button with key arrows (SetKeyArrows) steps with increase and
//   decrease as those arrows do. A button with a ValueText() has it as its
//   value text, and the number it begins with as its value. The arrow of
//   a drop button says it opens a menu.
// - TKxIndicator: a read-only check box, checked while lit; its
//   description begins with what the lamp says now (StateText()).
// - TKxAdjuster: a spin box named after what it sets, its value and units
//   as value text, its value, bounds and increment as a value; increase
//   and decrease step it as its arrows do.
// - The other composite panels (TBox, TKxUpDown, TKxDropBtn): a group,
//   disabled while their parts are.
// - TAnimate: an animation, animated while it plays.
// Each action of a control runs from the event loop, as a click would, so
// that a prompt it opens never runs inside the request of the screen
// reader. A disabled control offers no actions.
//
// Every control calls this when it is made; later calls do nothing.
void InstallControlAccessibility();

// Gives a plain container (a QWidget or QFrame with no interface of its own
// class) the role that says what it is: a tool bar, a group, a separator.
void SetAccessibleRole(QWidget* container, QAccessible::Role role);

// Tells assistive technology that the states in `changed` (checked,
// pressed...) of `control` changed, or that its value text did.
void AnnounceState(QWidget* control, QAccessible::State changed);
void AnnounceValue(QWidget* control, const QString& value);
