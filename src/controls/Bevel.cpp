#include "controls/Bevel.h"

#include <QPainter>
#include <QPalette>

namespace {

// Draws `width` one-pixel rings, light on the top and left edges and dark on
// the bottom and right ones, shrinking `rect` past them.
void Frame3D(QPainter& painter, QRect& rect, const QColor& topLeft, const QColor& bottomRight,
             int width) {
    for (int i = 0; i < width && rect.width() > 0 && rect.height() > 0; ++i) {
        painter.setPen(topLeft);
        painter.drawLine(rect.topLeft(), rect.topRight());
        painter.drawLine(rect.topLeft(), rect.bottomLeft());
        painter.setPen(bottomRight);
        painter.drawLine(rect.bottomLeft(), rect.bottomRight());
        painter.drawLine(rect.topRight(), rect.bottomRight());
        rect.adjust(1, 1, -1, -1);
    }
}

void Bevel(QPainter& painter, QRect& rect, TBevelCut cut, int width, const QColor& face,
           const QPalette& palette) {
    const QColor light = palette.color(QPalette::Light);
    const QColor dark = palette.color(QPalette::Dark);
    switch (cut) {
    case TBevelCut::bvNone:
        return;
    case TBevelCut::bvLowered:
        Frame3D(painter, rect, dark, light, width);
        return;
    case TBevelCut::bvRaised:
        Frame3D(painter, rect, light, dark, width);
        return;
    case TBevelCut::bvSpace:
        Frame3D(painter, rect, face, face, width);
        return;
    }
}

} // namespace

QRect PaintPanel(QPainter& painter, QRect rect, const TPanelFrame& frame, const QColor& face,
                 const QPalette& palette) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    Bevel(painter, rect, frame.Outer, frame.BevelWidth, face, palette);
    Frame3D(painter, rect, face, face, frame.BorderWidth);
    Bevel(painter, rect, frame.Inner, frame.BevelWidth, face, palette);
    if (rect.isValid())
        painter.fillRect(rect, face);
    painter.restore();
    return rect;
}
