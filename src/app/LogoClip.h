#pragma once

#include "controls/Clip.h"

// The about box's logo: a faceted crystal on end whose beam runs down into
// a target ring, a pulse travelling along it and the ring lighting up as it
// arrives. 12 frames of 62 x 78 at 10 frames per second, drawn in code.
class TLogoClip : public TClip {
public:
    int FrameCount() const override;
    int FrameRate() const override;
    QSize FrameSize() const override;
    void PaintFrame(QPainter& painter, const QRectF& target, int frame) const override;
};
