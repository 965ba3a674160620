#include "app/toolbars/MenuImages.h"

#include "app/toolbars/PictureEngine.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

namespace {

// Marks drawn as lines keep to mid tones, which stand out from a light and
// from a dark background alike; filled shapes have a darker rim, which
// carries the shape on a light background, and a lighter fill for a dark one.
constexpr QColor BaseLine(128, 128, 128);
constexpr QColor Ink(52, 120, 216);

// A pulse on a base line at `base`, centred at `cx`: a Gaussian for order 2,
// flatter-topped for higher even orders. It falls to 2 % of `height` at
// `halfWidth` from the centre.
QPainterPath Pulse(qreal cx, qreal base, qreal halfWidth, qreal height, int order) {
    const qreal sigma = halfWidth / qPow(qLn(50.0), 1.0 / order);
    QPainterPath path(QPointF(cx - halfWidth, base));
    const int steps = 32;
    for (int i = 0; i <= steps; ++i) {
        const qreal x = -halfWidth + 2 * halfWidth * i / steps;
        path.lineTo(cx + x, base - height * qExp(-qPow(qAbs(x) / sigma, order)));
    }
    path.lineTo(cx + halfWidth, base);
    path.closeSubpath();
    return path;
}

void PaintBaseLine(QPainter& p) {
    p.setPen(QPen(BaseLine, 1.0, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(0.5, 14.5), QPointF(15.5, 14.5));
}

// Red laser pulses standing on the base line.
void PaintPulses(QPainter& p, const QList<qreal>& centres, qreal halfWidth, qreal height,
                 int order = 2) {
    const qreal base = 14.5;
    for (qreal cx : centres) {
        const QPainterPath path = Pulse(cx, base, halfWidth, height, order);
        QLinearGradient fill(0, base - height, 0, base);
        fill.setColorAt(0, QColor(255, 120, 70));
        fill.setColorAt(1, QColor(214, 30, 24));
        p.setPen(QPen(QColor(140, 16, 16), 0.7));
        p.setBrush(fill);
        p.drawPath(path);
    }
}

void PaintContinuous(QPainter& p, TLook) {
    PaintBaseLine(p);
    PaintPulses(p, {2.0, 6.0, 10.0, 14.0}, 1.6, 8.0);
    // An infinity sign above the train: it never stops.
    QPainterPath loop;
    loop.moveTo(8, 3.5);
    loop.cubicTo(9.5, 1.0, 13.0, 1.0, 13.0, 3.5);
    loop.cubicTo(13.0, 6.0, 9.5, 6.0, 8, 3.5);
    loop.cubicTo(6.5, 1.0, 3.0, 1.0, 3.0, 3.5);
    loop.cubicTo(3.0, 6.0, 6.5, 6.0, 8, 3.5);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Ink, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(loop);
}

void PaintSingleShot(QPainter& p, TLook) {
    PaintBaseLine(p);
    PaintPulses(p, {8.0}, 4.5, 12.5);
}

void PaintBurst(QPainter& p, TLook) {
    PaintBaseLine(p);
    PaintPulses(p, {4.5, 8.0, 11.5}, 2.0, 9.5);
    // A bracket over the group.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Ink, 1.0, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.drawPolyline(
        QPolygonF({QPointF(2.5, 5.0), QPointF(2.5, 2.5), QPointF(13.5, 2.5), QPointF(13.5, 5.0)}));
}

void PaintShotsPerBurst(QPainter& p, TLook) {
    PaintBaseLine(p);
    PaintPulses(p, {3.5, 8.0, 12.5}, 2.0, 5.5);
    // A number sign: the count of pulses.
    p.setPen(QPen(Ink, 1.3, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(6.8, 0.5), QPointF(5.9, 7.5));
    p.drawLine(QPointF(10.1, 0.5), QPointF(9.2, 7.5));
    p.drawLine(QPointF(4.2, 2.5), QPointF(12.2, 2.5));
    p.drawLine(QPointF(3.8, 5.5), QPointF(11.8, 5.5));
}

// A coloured disc with a light wave whose period grows with the
// wavelength: the colour says which output, the wave that it is light.
void PaintWavelength(QPainter& p, const QColor& light, const QColor& dark, qreal periods) {
    const QPointF centre(8, 8);
    QRadialGradient fill(QPointF(6.5, 5.5), 8.5);
    fill.setColorAt(0, light);
    fill.setColorAt(1, dark);
    p.setPen(QPen(dark.darker(160), 0.8));
    p.setBrush(fill);
    p.drawEllipse(centre, 7.0, 7.0);
    QPainterPath wave;
    const qreal x0 = 2.6, x1 = 13.4, amplitude = 2.4;
    const int steps = 48;
    for (int i = 0; i <= steps; ++i) {
        const qreal t = qreal(i) / steps;
        const QPointF point(x0 + (x1 - x0) * t, 8 - amplitude * qSin(2 * M_PI * periods * t));
        if (i == 0)
            wave.moveTo(point);
        else
            wave.lineTo(point);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 235), 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(wave);
}

void PaintIR(QPainter& p, TLook) {
    PaintWavelength(p, QColor(226, 60, 56), QColor(120, 10, 16), 1.0);
}

void PaintGreen(QPainter& p, TLook) {
    PaintWavelength(p, QColor(110, 226, 100), QColor(24, 120, 36), 1.5);
}

void PaintUV(QPainter& p, TLook) {
    PaintWavelength(p, QColor(184, 130, 255), QColor(76, 30, 160), 2.5);
}

// A small monitor whose screen is `screen` (bezel included).
void PaintMonitor(QPainter& p, const QRectF& screen) {
    const QColor bezel(60, 70, 82);
    p.setPen(QPen(bezel, 1.0));
    const qreal cx = screen.center().x();
    p.drawLine(QPointF(cx, screen.bottom()), QPointF(cx, screen.bottom() + 1.5));
    p.drawLine(QPointF(cx - 2, screen.bottom() + 2), QPointF(cx + 2, screen.bottom() + 2));
    QLinearGradient glass(screen.topLeft(), screen.bottomRight());
    glass.setColorAt(0, QColor(150, 210, 255));
    glass.setColorAt(1, QColor(40, 110, 200));
    p.setBrush(glass);
    p.drawRect(screen);
}

void PaintNetwork(QPainter& p, TLook) {
    // The cable first, so that the monitors sit on it.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(230, 150, 30), 1.2, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.drawPolyline(QPolygonF({QPointF(4.5, 9), QPointF(4.5, 13.5), QPointF(8.5, 13.5)}));
    PaintMonitor(p, QRectF(0.5, 1.5, 8, 6));
    PaintMonitor(p, QRectF(7.5, 6.5, 8, 6));
}

// A width mark at height `y`: arrows pointing out from the centre to
// `halfWidth` when there is room between them, or pointing in at the
// centre from outside when the width is too narrow for that.
void PaintWidthMark(QPainter& p, qreal y, qreal halfWidth) {
    const qreal cx = 8, head = 2.2;
    QPainterPath shafts, heads;
    const bool inward = halfWidth < 3;
    for (int side : {-1, 1}) {
        const int pointing = inward ? -side : side;
        const qreal tip = cx + side * halfWidth;
        const qreal back = tip - pointing * head;
        shafts.moveTo(inward ? cx + side * 7.5 : cx, y);
        shafts.lineTo(tip - pointing * head * 0.6, y);
        heads.moveTo(tip, y);
        heads.lineTo(back, y - head * 0.8);
        heads.lineTo(back, y + head * 0.8);
        heads.closeSubpath();
    }
    p.setPen(QPen(Ink, 1.2, Qt::SolidLine, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shafts);
    p.setPen(Qt::NoPen);
    p.setBrush(Ink);
    p.drawPath(heads);
}

void PaintShortPulse(QPainter& p, TLook) {
    PaintBaseLine(p);
    PaintPulses(p, {8.0}, 3.0, 10.0);
    PaintWidthMark(p, 2.5, 1.5);
}

void PaintLongPulse(QPainter& p, TLook) {
    PaintBaseLine(p);
    PaintPulses(p, {8.0}, 7.0, 9.0, 6);
    PaintWidthMark(p, 2.5, 7.0);
}

// A round red push button in a grey collar, marked with a starburst.
void PaintFire(QPainter& p, TLook look) {
    const QPointF centre(16, 16);
    const bool firing = look == TLook::Firing;
    if (firing) {
        QRadialGradient glow(centre, 16);
        glow.setColorAt(0.80, QColor(255, 220, 80));
        glow.setColorAt(0.90, QColor(255, 170, 30, 170));
        glow.setColorAt(1.00, QColor(255, 120, 0, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawEllipse(centre, 16, 16);
    }
    // While firing the collar takes on the light of the button.
    QLinearGradient collar(0, 2.5, 0, 29.5);
    collar.setColorAt(0, firing ? QColor(255, 240, 200) : QColor(235, 235, 235));
    collar.setColorAt(1, firing ? QColor(170, 120, 70) : QColor(110, 110, 110));
    p.setPen(QPen(firing ? QColor(130, 70, 10) : QColor(50, 50, 50), 1.0));
    p.setBrush(collar);
    p.drawEllipse(centre, 13.5, 13.5);

    const bool pressed = look == TLook::Pressed;
    const QPointF face = pressed ? centre + QPointF(0.4, 0.6) : centre;
    const qreal radius = pressed ? 10.0 : 10.5;
    QRadialGradient dome(pressed ? face + QPointF(2, 3) : face - QPointF(3, 4), 14);
    if (firing) {
        dome.setColorAt(0.0, QColor(255, 250, 210));
        dome.setColorAt(0.35, QColor(255, 150, 60));
        dome.setColorAt(1.0, QColor(220, 40, 20));
    } else if (pressed) {
        dome.setColorAt(0.0, QColor(200, 40, 30));
        dome.setColorAt(1.0, QColor(100, 0, 0));
    } else {
        dome.setColorAt(0.0, QColor(255, 130, 120));
        dome.setColorAt(0.5, QColor(220, 30, 30));
        dome.setColorAt(1.0, QColor(130, 0, 0));
    }
    p.setPen(QPen(QColor(80, 0, 0), 1.0));
    p.setBrush(dome);
    p.drawEllipse(face, radius, radius);
    if (!pressed) {
        QLinearGradient shine(0, face.y() - radius, 0, face.y());
        shine.setColorAt(0, QColor(255, 255, 255, 150));
        shine.setColorAt(1, QColor(255, 255, 255, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(shine);
        p.drawEllipse(QRectF(face.x() - 6.5, face.y() - radius + 1, 13, 8));
    }

    const QColor star = firing ? QColor(255, 255, 230) : QColor(255, 255, 255, 225);
    p.setPen(QPen(star, 1.6, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 8; ++i) {
        const qreal angle = i * M_PI / 4;
        const qreal outer = i % 2 ? 5.0 : 6.5;
        const QPointF direction(qCos(angle), qSin(angle));
        p.drawLine(face + direction * 3.2, face + direction * outer);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(star);
    p.drawEllipse(face, 1.8, 1.8);
}

// A laser head lying from the bottom left corner towards the top right one,
// its beam ending in a bright spot in that corner.
void PaintApp(QPainter& p, TLook) {
    // The beam, drawn first so that it starts inside the nozzle.
    const QPointF start(37, 27), end(55, 9);
    p.setPen(QPen(QColor(60, 255, 60, 90), 7, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(start, end);
    p.setPen(QPen(QColor(70, 230, 70), 3.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(start, end);
    p.setPen(QPen(QColor(230, 255, 220), 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(start, end);
    QRadialGradient spot(end, 9);
    spot.setColorAt(0.0, QColor(255, 255, 255));
    spot.setColorAt(0.25, QColor(150, 255, 120, 230));
    spot.setColorAt(1.0, QColor(60, 255, 60, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(spot);
    p.drawEllipse(end, 9, 9);
    p.setPen(QPen(QColor(235, 255, 230, 200), 0.9, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(end - QPointF(7, 0), end + QPointF(7, 0));
    p.drawLine(end - QPointF(0, 7), end + QPointF(0, 7));

    p.save();
    p.translate(24, 40);
    p.rotate(-45);
    // In this frame the head lies along the x axis, its nozzle to the right.
    const QColor edge(20, 28, 40);
    const QRectF body(-20, -10, 33, 20);
    QLinearGradient metal(0, body.top(), 0, body.bottom());
    metal.setColorAt(0.0, QColor(170, 195, 220));
    metal.setColorAt(0.45, QColor(70, 96, 124));
    metal.setColorAt(1.0, QColor(30, 42, 58));
    p.setPen(QPen(edge, 1.2));
    p.setBrush(metal);
    p.drawRoundedRect(body, 3, 3);
    // A darker cap at the back and a yellow warning band near the front.
    p.setPen(QPen(edge, 0.8));
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawRoundedRect(QRectF(body.left(), body.top(), 5, body.height()), 3, 3);
    QLinearGradient band(0, body.top(), 0, body.bottom());
    band.setColorAt(0.0, QColor(255, 230, 90));
    band.setColorAt(1.0, QColor(200, 150, 0));
    p.setBrush(band);
    p.drawRect(QRectF(4, body.top(), 4, body.height()));
    QLinearGradient steel(0, -5, 0, 5);
    steel.setColorAt(0.0, QColor(225, 230, 235));
    steel.setColorAt(1.0, QColor(90, 96, 104));
    p.setPen(QPen(edge, 1.0));
    p.setBrush(steel);
    p.drawRect(QRectF(body.right(), -5.5, 6, 11));
    p.restore();
}

} // namespace

QList<QIcon> MenuImages() {
    static constexpr TPaint Paints[miCount] = {
        PaintContinuous, PaintSingleShot, PaintBurst,   PaintShotsPerBurst, PaintIR,
        PaintGreen,      PaintUV,         PaintNetwork, PaintShortPulse,    PaintLongPulse,
    };
    QList<QIcon> images;
    for (TPaint paint : Paints)
        images.append(QIcon(new TPictureEngine(paint, QSize(16, 16), false)));
    return images;
}

QIcon FireGlyph() {
    return QIcon(new TPictureEngine(PaintFire, QSize(32, 32), true));
}

QIcon AppIcon() {
    // Window systems want a list of sizes to pick from.
    const QList<QSize> sizes = {QSize(16, 16), QSize(24, 24),   QSize(32, 32),  QSize(48, 48),
                                QSize(64, 64), QSize(128, 128), QSize(256, 256)};
    return QIcon(new TPictureEngine(PaintApp, QSize(64, 64), false, sizes));
}
