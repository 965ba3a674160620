#include "controls/FocusFrame.h"

#include <QPainter>
#include <QPalette>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {

// What non-text parts of a control need against their surroundings.
constexpr double FrameContrast = 3.0;
constexpr int FrameWidth = 2;

double Luminance(const QColor& colour) {
    const auto channel = [](double value) {
        return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(colour.redF()) + 0.7152 * channel(colour.greenF()) +
           0.0722 * channel(colour.blueF());
}

// The highlight colour where it stands out against both backgrounds a
// control sits on (flat buttons show the window, raised ones the button
// face); otherwise the button text colour, which a usable palette sets off
// from both.
QColor FocusColour(const QPalette& palette) {
    const QColor highlight = palette.color(QPalette::Active, QPalette::Highlight);
    const bool standsOut =
        ContrastRatio(highlight, palette.color(QPalette::Active, QPalette::Window)) >=
            FrameContrast &&
        ContrastRatio(highlight, palette.color(QPalette::Active, QPalette::Button)) >=
            FrameContrast;
    return standsOut ? highlight : palette.color(QPalette::Active, QPalette::ButtonText);
}

} // namespace

bool ShowsKeyboardFocus(const QWidget* control) {
    return control->hasFocus() && control->window()->testAttribute(Qt::WA_KeyboardFocusChange);
}

void PaintFocusFrame(QPainter& painter, const QRect& rect, const QPalette& palette) {
    painter.save();
    painter.setPen(QPen(FocusColour(palette), 0));
    painter.setBrush(Qt::NoBrush);
    painter.setRenderHint(QPainter::Antialiasing, false);
    // Nested one-pixel outlines: drawRect draws a w x h rectangle w + 1
    // pixels wide, so each is one smaller than the area it outlines.
    for (int inset = 0; inset < FrameWidth; ++inset)
        painter.drawRect(rect.adjusted(inset, inset, -inset - 1, -inset - 1));
    painter.restore();
}

double ContrastRatio(const QColor& a, const QColor& b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}
