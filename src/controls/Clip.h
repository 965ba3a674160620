#pragma once

#include <QRectF>
#include <QSize>

class QPainter;

// The frames of an animation, as TAnimate plays them. A clip paints each
// frame on demand instead of handing out bitmaps, so a clip drawn in code
// stays sharp at any device pixel ratio. Frames are numbered from 1.
class TClip {
public:
    virtual ~TClip() = default;

    virtual int FrameCount() const = 0;
    // Frames per second; 0 or less is played as 1.
    virtual int FrameRate() const = 0;
    // The size the frames are designed for, in logical pixels.
    virtual QSize FrameSize() const = 0;
    // Paints frame `frame` (1..FrameCount) scaled into `target`, over
    // whatever the painter's device already holds. Frames outside the range
    // paint nothing.
    virtual void PaintFrame(QPainter& painter, const QRectF& target, int frame) const = 0;
};
