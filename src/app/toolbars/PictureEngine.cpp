#include "app/toolbars/PictureEngine.h"

#include <QImage>
#include <QPainter>
#include <QPixmap>

namespace {

// Fades a picture to a light, half transparent grey.
QImage Faded(QImage image) {
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grey = 112 + qGray(line[x]) / 3;
            line[x] = qRgba(grey, grey, grey, qAlpha(line[x]) * 11 / 20);
        }
    }
    return image;
}

} // namespace

TPictureEngine::TPictureEngine(TPaint painting, QSize designSize, bool hasLooks,
                               QList<QSize> offeredSizes)
    : FPaint(painting), FDesignSize(designSize), FHasLooks(hasLooks),
      FOfferedSizes(std::move(offeredSizes)) {}

void TPictureEngine::paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
                           QIcon::State state) {
    if (rect.isEmpty())
        return;
    if (mode != QIcon::Disabled) {
        Draw(*painter, rect, LookOf(mode, state));
        return;
    }
    // The fading works on pixels, so render at the device's resolution.
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    QPixmap faded = scaledPixmap(rect.size() * ratio, mode, state, ratio);
    faded.setDevicePixelRatio(ratio);
    painter->drawPixmap(rect.topLeft(), faded);
}

QPixmap TPictureEngine::pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) {
    return scaledPixmap(size, mode, state, 1.0);
}

QPixmap TPictureEngine::scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                                     qreal scale) {
    Q_UNUSED(scale);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        Draw(painter, QRect(QPoint(0, 0), size), LookOf(mode, state));
    }
    return QPixmap::fromImage(mode == QIcon::Disabled ? Faded(image) : image);
}

TLook TPictureEngine::LookOf(QIcon::Mode mode, QIcon::State state) const {
    if (!FHasLooks || mode == QIcon::Disabled)
        return TLook::Normal;
    if (mode == QIcon::Active)
        return TLook::Pressed;
    if (mode == QIcon::Selected || state == QIcon::On)
        return TLook::Firing;
    return TLook::Normal;
}

void TPictureEngine::Draw(QPainter& painter, const QRect& rect, TLook look) const {
    const qreal scale = qMin(rect.width() / qreal(FDesignSize.width()),
                             rect.height() / qreal(FDesignSize.height()));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.translate(rect.x() + (rect.width() - FDesignSize.width() * scale) / 2,
                      rect.y() + (rect.height() - FDesignSize.height() * scale) / 2);
    painter.scale(scale, scale);
    FPaint(painter, look);
    painter.restore();
}
