#pragma once

#include <QColor>
#include <QRect>

class QPainter;
class QPalette;
class QWidget;

// The keyboard focus as the custom controls show it: a two-pixel frame just
// inside the control, in a colour that stands out against both the window
// and the button background of the palette, dark or light.
//
// A control shows it only once the keyboard has moved the focus in its
// window (Tab, Backtab, a shortcut: Qt's WA_KeyboardFocusChange), so that
// the focus Qt gives a window when it opens, or a click, draws nothing for
// an operator who uses only the mouse.
bool ShowsKeyboardFocus(const QWidget* control);
void PaintFocusFrame(QPainter& painter, const QRect& rect, const QPalette& palette);

// The contrast ratio of two colours as the Web Content Accessibility
// Guidelines define it: 1 (equal) to 21 (black on white).
double ContrastRatio(const QColor& a, const QColor& b);
