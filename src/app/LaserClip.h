#pragma once

#include "controls/Clip.h"

#include <QString>

#include <memory>

// The firing animation: a laser head at the left whose aperture flares as
// each pulse leaves it, and the pulses running right along a faint beam.
// 18 frames of 32 x 32 at 10 frames per second, drawn in code.
class TLaserClip : public TClip {
public:
    int FrameCount() const override;
    int FrameRate() const override;
    QSize FrameSize() const override;
    void PaintFrame(QPainter& painter, const QRectF& target, int frame) const override;
};

// The program's clip resource of the given name ("AVI_LASER"; letter case
// does not matter). Throws std::runtime_error "Resource <name> not found"
// for any other name.
std::shared_ptr<const TClip> LoadClip(const QString& name);
