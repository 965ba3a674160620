#pragma once

#include <QIconEngine>
#include <QList>
#include <QSize>

class QPainter;

// The looks a picture is drawn in; the disabled look is derived from the
// normal one by fading it to grey.
enum class TLook { Normal, Pressed, Firing };

// Draws a picture in design pixels (the engine scales the painter).
using TPaint = void (*)(QPainter&, TLook);

// An icon drawn in code at whatever size it is asked for, so that it stays
// sharp at every scale: `painting` draws it on a `designSize` canvas, scaled
// to fit and centred. With `hasLooks`, QIcon::Active draws the pressed look
// and QIcon::Selected (or the state On) the firing look; QIcon::Disabled is
// always a faded grey copy of the normal look. `offeredSizes` are the sizes
// the icon lists to window systems that pick one.
class TPictureEngine : public QIconEngine {
public:
    TPictureEngine(TPaint painting, QSize designSize, bool hasLooks,
                   QList<QSize> offeredSizes = QList<QSize>());

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    // `size` is in device pixels already; Qt sets the ratio on the result.
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override;
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override { return FOfferedSizes; }
    QString key() const override { return QStringLiteral("TrevalonPicture"); }
    bool isNull() override { return false; }
    QIconEngine* clone() const override { return new TPictureEngine(*this); }

private:
    TLook LookOf(QIcon::Mode mode, QIcon::State state) const;
    // Scales the design to fit `rect`, keeping its proportions, centred.
    void Draw(QPainter& painter, const QRect& rect, TLook look) const;

    TPaint FPaint;
    QSize FDesignSize;
    bool FHasLooks;
    QList<QSize> FOfferedSizes;
};
