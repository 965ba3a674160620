#include "controls/Glyphs.h"

#include <QApplication>
#include <QPalette>

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRadialGradient>

#include <stdexcept>

namespace {

enum class TPicture { ArrowUp, ArrowDown, DropArrow, LedOn, LedOff, SwitchOn, SwitchOff };

struct TPictureInfo {
    const char* Name;
    TPicture Picture;
    QSize DesignSize;
};

constexpr TPictureInfo Pictures[] = {
    {"ARROW_UP", TPicture::ArrowUp, QSize(12, 12)},
    {"ARROW_DOWN", TPicture::ArrowDown, QSize(12, 12)},
    {"DROP_ARROW", TPicture::DropArrow, QSize(8, 8)},
    {"INDBUT_ON", TPicture::LedOn, QSize(10, 10)},
    {"INDBUT_OFF", TPicture::LedOff, QSize(10, 10)},
    {"SWITCH_ON", TPicture::SwitchOn, QSize(40, 20)},
    {"SWITCH_OFF", TPicture::SwitchOff, QSize(40, 20)},
};

const TPictureInfo* Find(const QString& name) {
    for (const TPictureInfo& info : Pictures)
        if (name == QLatin1String(info.Name))
            return &info;
    return nullptr;
}

// A triangle pointing up or down inside a square of `unit` design pixels.
void PaintArrow(QPainter& p, bool up, qreal unit, QIcon::Mode mode) {
    QPainterPath path;
    const qreal w = unit * 0.6, h = unit * 0.32;
    const qreal cx = unit / 2, cy = unit / 2;
    if (up) {
        path.moveTo(cx - w / 2, cy + h / 2);
        path.lineTo(cx + w / 2, cy + h / 2);
        path.lineTo(cx, cy - h / 2);
    } else {
        path.moveTo(cx - w / 2, cy - h / 2);
        path.lineTo(cx + w / 2, cy - h / 2);
        path.lineTo(cx, cy + h / 2);
    }
    path.closeSubpath();
    // The arrows take the desktop palette's colours when they are drawn, so
    // they stay visible under a dark theme.
    const QPalette palette = QApplication::palette();
    p.setPen(Qt::NoPen);
    if (mode == QIcon::Disabled) {
        // Etched look: a light copy one design pixel down and right.
        p.setBrush(palette.color(QPalette::Light));
        p.drawPath(path.translated(unit / 12, unit / 12));
        p.setBrush(palette.color(QPalette::Disabled, QPalette::ButtonText));
    } else {
        p.setBrush(
            palette.color(mode == QIcon::Active ? QPalette::Highlight : QPalette::ButtonText));
    }
    p.drawPath(path);
}

void PaintLed(QPainter& p, bool lit, QIcon::Mode mode) {
    const QRectF body(1, 1, 8, 8);
    QColor rim(40, 40, 40), centre, edge;
    if (mode == QIcon::Disabled) {
        centre = QColor(200, 200, 200);
        edge = QColor(140, 140, 140);
        rim = QColor(128, 128, 128);
    } else if (lit) {
        centre = QColor(190, 255, 160);
        edge = QColor(0, 190, 0);
    } else {
        centre = QColor(40, 110, 40);
        edge = QColor(10, 50, 10);
    }
    QRadialGradient glow(QPointF(4.2, 4.0), 4.5);
    glow.setColorAt(0, centre);
    glow.setColorAt(1, edge);
    p.setPen(QPen(rim, 0.6));
    p.setBrush(glow);
    p.drawEllipse(body);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, lit && mode != QIcon::Disabled ? 170 : 60));
    p.drawEllipse(QRectF(2.8, 2.6, 2.2, 1.6));
}

// A sliding switch: a rounded track with a knob, green and right when on.
void PaintSwitch(QPainter& p, bool on, QIcon::Mode mode) {
    const QRectF track(1, 3, 38, 14);
    QColor fill = on ? QColor(40, 170, 60) : QColor(150, 150, 150);
    if (mode == QIcon::Disabled)
        fill = QColor(205, 205, 205);
    p.setPen(QPen(QColor(70, 70, 70), 0.8));
    p.setBrush(fill);
    p.drawRoundedRect(track, 7, 7);
    p.setPen(QPen(QColor(255, 255, 255), 1.6));
    if (on)
        p.drawLine(QPointF(10, 7), QPointF(10, 13)); // "I"
    else
        p.drawEllipse(QPointF(30, 10), 3, 3); // "O"
    const QRectF knob(on ? 21 : 1, 1, 18, 18);
    QRadialGradient shade(knob.center() - QPointF(3, 3), 12);
    shade.setColorAt(0, Qt::white);
    shade.setColorAt(1, mode == QIcon::Active ? QColor(170, 170, 190) : QColor(200, 200, 200));
    p.setPen(QPen(QColor(80, 80, 80), 0.8));
    p.setBrush(shade);
    p.drawEllipse(knob.adjusted(0.5, 0.5, -0.5, -0.5));
}

class TGlyphEngine : public QIconEngine {
public:
    explicit TGlyphEngine(const TPictureInfo& info) : FInfo(info) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        Q_UNUSED(state);
        if (rect.isEmpty())
            return;
        const QSizeF design = FInfo.DesignSize;
        // Keep the design's aspect ratio, centred in the target.
        const qreal scale = qMin(rect.width() / design.width(), rect.height() / design.height());
        const QSizeF drawn = design * scale;
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, true);
        painter->translate(rect.x() + (rect.width() - drawn.width()) / 2,
                           rect.y() + (rect.height() - drawn.height()) / 2);
        painter->scale(scale, scale);
        switch (FInfo.Picture) {
        case TPicture::ArrowUp:
            PaintArrow(*painter, true, 12, mode);
            break;
        case TPicture::ArrowDown:
            PaintArrow(*painter, false, 12, mode);
            break;
        case TPicture::DropArrow:
            PaintArrow(*painter, false, 8, mode);
            break;
        case TPicture::LedOn:
            PaintLed(*painter, true, mode);
            break;
        case TPicture::LedOff:
            PaintLed(*painter, false, mode);
            break;
        case TPicture::SwitchOn:
            PaintSwitch(*painter, true, mode);
            break;
        case TPicture::SwitchOff:
            PaintSwitch(*painter, false, mode);
            break;
        }
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }

    // `size` is in device pixels already; Qt sets the ratio on the result.
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        Q_UNUSED(scale);
        QPixmap result(size);
        result.fill(Qt::transparent);
        QPainter painter(&result);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return result;
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
    QString key() const override { return QStringLiteral("TrevalonGlyph"); }
    QString iconName() override { return QLatin1String(FInfo.Name); }
    bool isNull() override { return false; }
    QIconEngine* clone() const override { return new TGlyphEngine(FInfo); }

private:
    TPictureInfo FInfo;
};

} // namespace

QIcon LoadGlyph(const QString& name) {
    const TPictureInfo* info = Find(name);
    if (!info)
        throw std::runtime_error("Resource " + name.toStdString() + " not found");
    return QIcon(new TGlyphEngine(*info));
}

QSize GlyphSize(const QString& name) {
    const TPictureInfo* info = Find(name);
    return info ? info->DesignSize : QSize();
}

QFont PrintedLabelFont() {
    QFont font = QApplication::font();
    font.setPointSizeF(qMax(6.0, font.pointSizeF() * 0.8));
    return font;
}
