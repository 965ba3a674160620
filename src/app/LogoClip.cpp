#include "app/LogoClip.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

namespace {

constexpr int Frames = 12;
constexpr int Rate = 10;
constexpr qreal Width = 62.0;
constexpr qreal Height = 78.0;

// The beam runs from the crystal's tip to the ring's centre; a pulse covers
// it in the first BeamFrames frames, the ring glows for the rest, so the
// loop has no seam.
constexpr int BeamFrames = 7;
const QPointF Tip(31.0, 34.0);
const QPointF RingCentre(31.0, 62.0);

QColor Rgba(int r, int g, int b, qreal alpha) {
    return QColor(r, g, b, std::clamp(int(std::lround(alpha * 255.0)), 0, 255));
}

void PaintCrystal(QPainter& p) {
    QPainterPath body;
    body.moveTo(31.0, 4.0);
    body.lineTo(42.0, 14.0);
    body.lineTo(38.0, 30.0);
    body.lineTo(Tip);
    body.lineTo(24.0, 30.0);
    body.lineTo(20.0, 14.0);
    body.closeSubpath();
    QLinearGradient glass(QPointF(20.0, 4.0), QPointF(42.0, 34.0));
    glass.setColorAt(0.0, QColor(150, 196, 240));
    glass.setColorAt(0.5, QColor(40, 96, 170));
    glass.setColorAt(1.0, QColor(14, 40, 92));
    p.setPen(QPen(QColor(10, 28, 66), 0.8));
    p.setBrush(glass);
    p.drawPath(body);

    // The facets.
    p.setPen(QPen(Rgba(255, 255, 255, 0.55), 0.6));
    p.drawLine(QPointF(31.0, 4.0), QPointF(31.0, 24.0));
    p.drawLine(QPointF(20.0, 14.0), QPointF(31.0, 24.0));
    p.drawLine(QPointF(42.0, 14.0), QPointF(31.0, 24.0));
    p.setPen(QPen(Rgba(255, 255, 255, 0.25), 0.6));
    p.drawLine(QPointF(31.0, 24.0), Tip);
}

void PaintRing(QPainter& p, qreal glow) {
    if (glow > 0.0) {
        QRadialGradient halo(RingCentre, 14.0);
        halo.setColorAt(0.0, Rgba(255, 230, 120, 0.9 * glow));
        halo.setColorAt(0.6, Rgba(255, 120, 20, 0.45 * glow));
        halo.setColorAt(1.0, Rgba(255, 120, 20, 0.0));
        p.setPen(Qt::NoPen);
        p.setBrush(halo);
        p.drawEllipse(RingCentre, 14.0, 14.0);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(40, 46, 56), 2.4));
    p.drawEllipse(RingCentre, 10.0, 4.2);
    p.setPen(QPen(QColor(150, 158, 170), 0.8));
    p.drawEllipse(RingCentre, 10.0, 4.2);
}

void PaintBeam(QPainter& p, int frame) {
    // A faint beam always, and a bright pulse while it travels.
    p.setPen(QPen(Rgba(220, 30, 30, 0.35), 1.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(Tip, RingCentre);
    if (frame > BeamFrames)
        return;
    const qreal span = RingCentre.y() - Tip.y();
    const qreal head = Tip.y() + span * qreal(frame) / BeamFrames;
    const qreal tail = std::max(Tip.y(), head - 9.0);
    QLinearGradient pulse(QPointF(0, tail), QPointF(0, head));
    pulse.setColorAt(0.0, Rgba(255, 60, 40, 0.0));
    pulse.setColorAt(1.0, QColor(255, 70, 40));
    p.setPen(QPen(QBrush(pulse), 2.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(Tip.x(), tail), QPointF(Tip.x(), head));
}

} // namespace

int TLogoClip::FrameCount() const {
    return Frames;
}

int TLogoClip::FrameRate() const {
    return Rate;
}

QSize TLogoClip::FrameSize() const {
    return QSize(int(Width), int(Height));
}

void TLogoClip::PaintFrame(QPainter& painter, const QRectF& target, int frame) const {
    if (frame < 1 || frame > Frames)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(target.topLeft());
    painter.scale(target.width() / Width, target.height() / Height);
    // The ring glows from the pulse's arrival and fades by the loop's end.
    const qreal glow =
        frame <= BeamFrames ? 0.0 : 1.0 - qreal(frame - BeamFrames - 1) / (Frames - BeamFrames);
    PaintRing(painter, glow);
    PaintBeam(painter, frame);
    PaintCrystal(painter);
    painter.restore();
}
