#pragma once

#include <QColor>
#include <QRect>

class QPainter;
class QPalette;

// Panel bevels: the outer one at the edge, then a border in the panel's
// colour, then the inner one, then the filled face.
enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

struct TPanelFrame {
    TBevelCut Outer = TBevelCut::bvRaised;
    TBevelCut Inner = TBevelCut::bvNone;
    int BevelWidth = 1;  // pixels per bevel
    int BorderWidth = 0; // pixels between the two bevels
};

// Paints the bevels and fills the face with `face`; returns the face rectangle
// (where a caption would go).
QRect PaintPanel(QPainter& painter, QRect rect, const TPanelFrame& frame, const QColor& face,
                 const QPalette& palette);
