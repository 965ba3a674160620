#include "app/LaserClip.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace {

constexpr int Frames = 18;
constexpr int Rate = 10;
constexpr qreal Design = 32.0;

// A pulse leaves the aperture every PulsePeriod frames and runs PulseSpeed
// design pixels a frame. 18 frames hold a whole number of pulse periods, so
// the loop has no seam.
constexpr int PulsePeriod = 6;
constexpr qreal PulseSpeed = 2.0;
constexpr qreal PulseLength = 5.0;
const QPointF Aperture(18.0, 16.0);

QColor Rgba(int r, int g, int b, qreal alpha) {
    return QColor(r, g, b, std::clamp(int(std::lround(alpha * 255.0)), 0, 255));
}

void PaintMount(QPainter& p) {
    QPainterPath stand;
    stand.moveTo(5.0, 21.0);
    stand.lineTo(11.0, 21.0);
    stand.lineTo(12.5, 24.6);
    stand.lineTo(3.5, 24.6);
    stand.closeSubpath();
    QLinearGradient shade(QPointF(0, 21.0), QPointF(0, 24.6));
    shade.setColorAt(0.0, QColor(34, 38, 44));
    shade.setColorAt(1.0, QColor(70, 76, 84));
    p.setPen(QPen(QColor(14, 16, 20), 0.5));
    p.setBrush(shade);
    p.drawPath(stand);
    const QRectF plate(1.0, 24.4, 14.0, 1.6);
    QLinearGradient edge(plate.topLeft(), plate.bottomLeft());
    edge.setColorAt(0.0, QColor(120, 128, 138));
    edge.setColorAt(1.0, QColor(44, 48, 56));
    p.setBrush(edge);
    p.drawRoundedRect(plate, 0.6, 0.6);
}

void PaintHead(QPainter& p, bool ledOn) {
    const QRectF body(1.5, 10.5, 13.0, 11.0);
    QLinearGradient metal(body.topLeft(), body.bottomLeft());
    metal.setColorAt(0.0, QColor(168, 178, 190));
    metal.setColorAt(0.3, QColor(112, 122, 134));
    metal.setColorAt(1.0, QColor(40, 46, 54));
    p.setPen(QPen(QColor(18, 22, 28), 0.6));
    p.setBrush(metal);
    p.drawRoundedRect(body, 1.8, 1.8);

    // Highlight along the top edge.
    p.setPen(QPen(Rgba(255, 255, 255, 0.45), 0.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(3.0, 11.4), QPointF(13.0, 11.4));

    // Cooling fins at the back: a dark groove with a lit edge.
    for (qreal x : {3.6, 5.4, 7.2}) {
        p.setPen(QPen(QColor(16, 20, 26), 0.7, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(x, 13.2), QPointF(x, 19.4));
        p.setPen(QPen(Rgba(200, 210, 222, 0.35), 0.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(x + 0.6, 13.4), QPointF(x + 0.6, 19.2));
    }

    // Emission lamp.
    const QPointF led(11.4, 14.2);
    QRadialGradient lamp(led, 1.3);
    if (ledOn) {
        lamp.setColorAt(0.0, QColor(255, 236, 170));
        lamp.setColorAt(0.6, QColor(255, 150, 20));
        lamp.setColorAt(1.0, QColor(170, 70, 0));
    } else {
        lamp.setColorAt(0.0, QColor(120, 70, 30));
        lamp.setColorAt(1.0, QColor(60, 30, 10));
    }
    p.setPen(QPen(QColor(18, 22, 28), 0.4));
    p.setBrush(lamp);
    p.drawEllipse(led, 1.1, 1.1);

    // Nozzle, then the lip that holds the aperture.
    const QRectF nozzle(14.5, 12.8, 2.8, 6.4);
    QLinearGradient steel(nozzle.topLeft(), nozzle.bottomLeft());
    steel.setColorAt(0.0, QColor(140, 150, 162));
    steel.setColorAt(0.4, QColor(86, 94, 104));
    steel.setColorAt(1.0, QColor(30, 34, 40));
    p.setPen(QPen(QColor(18, 22, 28), 0.5));
    p.setBrush(steel);
    p.drawRect(nozzle);
    const QRectF lip(17.0, 12.2, 1.2, 7.6);
    QLinearGradient ring(lip.topLeft(), lip.bottomLeft());
    ring.setColorAt(0.0, QColor(120, 128, 138));
    ring.setColorAt(1.0, QColor(26, 30, 36));
    p.setBrush(ring);
    p.drawRoundedRect(lip, 0.5, 0.5);
}

// `shimmer` (0..1) swells the beam slowly over the whole loop.
void PaintBeam(QPainter& p, qreal shimmer) {
    const QPointF end(Design + 1.0, Aperture.y());
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Rgba(255, 40, 16, 0.16 + 0.12 * shimmer), 2.6, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(Aperture, end);
    p.setPen(QPen(Rgba(255, 70, 30, 0.45 + 0.2 * shimmer), 0.8, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(Aperture, end);
}

void PaintPulse(QPainter& p, qreal head) {
    const qreal tail = std::max(Aperture.x(), head - PulseLength);
    const QPointF from(tail, Aperture.y());
    const QPointF to(head, Aperture.y());

    QLinearGradient halo(from, to);
    halo.setColorAt(0.0, Rgba(255, 50, 10, 0.0));
    halo.setColorAt(1.0, Rgba(255, 110, 30, 0.6));
    p.setPen(QPen(QBrush(halo), 3.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);

    QLinearGradient core(from, to);
    core.setColorAt(0.0, Rgba(255, 80, 20, 0.0));
    core.setColorAt(0.6, Rgba(255, 170, 60, 0.9));
    core.setColorAt(1.0, QColor(255, 246, 220));
    p.setPen(QPen(QBrush(core), 1.3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(from, to);

    QRadialGradient spark(to, 2.2);
    spark.setColorAt(0.0, Rgba(255, 250, 235, 0.95));
    spark.setColorAt(0.4, Rgba(255, 170, 60, 0.5));
    spark.setColorAt(1.0, Rgba(255, 60, 0, 0.0));
    p.setPen(Qt::NoPen);
    p.setBrush(spark);
    p.drawEllipse(to, 2.2, 2.2);
}

// Flares as a pulse leaves (phase 0) and fades until the next one.
void PaintGlow(QPainter& p, int phase, qreal shimmer) {
    const qreal level = 0.3 + 0.7 * std::exp(-1.0 * phase);
    const qreal radius = 2.4 + 3.6 * level + 0.5 * shimmer;
    QRadialGradient glow(Aperture, radius);
    glow.setColorAt(0.0, Rgba(255, 252, 235, level));
    glow.setColorAt(0.25, Rgba(255, 196, 90, 0.9 * level));
    glow.setColorAt(0.6, Rgba(255, 84, 20, 0.5 * level));
    glow.setColorAt(1.0, Rgba(255, 30, 0, 0.0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(Aperture, radius, radius);
}

} // namespace

int TLaserClip::FrameCount() const {
    return Frames;
}

int TLaserClip::FrameRate() const {
    return Rate;
}

QSize TLaserClip::FrameSize() const {
    return QSize(int(Design), int(Design));
}

void TLaserClip::PaintFrame(QPainter& painter, const QRectF& target, int frame) const {
    if (frame < 1 || frame > Frames || target.isEmpty())
        return;
    const int f = frame - 1;
    const int phase = f % PulsePeriod;
    // One slow swell per loop, so that no two frames are alike.
    const qreal shimmer = 0.5 + 0.5 * std::cos(2.0 * std::numbers::pi * f / Frames);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(target.topLeft());
    painter.scale(target.width() / Design, target.height() / Design);
    painter.setClipRect(QRectF(0, 0, Design, Design), Qt::IntersectClip);

    PaintBeam(painter, shimmer);
    for (qreal head = Aperture.x() + 1.5 + PulseSpeed * phase; head - PulseLength < Design;
         head += PulseSpeed * PulsePeriod)
        PaintPulse(painter, head);
    PaintMount(painter);
    PaintHead(painter, f < Frames / 2);
    PaintGlow(painter, phase, shimmer);

    painter.restore();
}

std::shared_ptr<const TClip> LoadClip(const QString& name) {
    if (name.compare(QStringLiteral("AVI_LASER"), Qt::CaseInsensitive) == 0) {
        static const auto clip = std::make_shared<const TLaserClip>();
        return clip;
    }
    throw std::runtime_error("Resource " + name.toStdString() + " not found");
}
