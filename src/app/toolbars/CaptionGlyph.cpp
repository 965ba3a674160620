#include "app/toolbars/CaptionGlyph.h"

#include "app/toolbars/BarControls.h"
#include "controls/Glyphs.h"
#include "controls/SpeedButton.h"

#include <QApplication>
#include <QFontMetrics>
#include <QIconEngine>
#include <QPainter>
#include <QPalette>

namespace {

class TCaptionEngine : public QIconEngine {
public:
    explicit TCaptionEngine(QString label) : FLabel(std::move(label)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        const QPalette palette = QApplication::palette();
        const QPalette::ColorGroup group =
            mode == QIcon::Disabled ? QPalette::Disabled : QPalette::Active;
        painter->save();
        painter->setFont(PrintedLabelFont());
        painter->setPen(palette.color(group, QPalette::ButtonText));
        painter->drawText(rect, Qt::AlignCenter, FLabel);
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }

    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        pixmap.setDevicePixelRatio(scale);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size / scale), mode, state);
        return pixmap;
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
    QString key() const override { return QStringLiteral("TrevalonCaption"); }
    bool isNull() override { return false; }
    QIconEngine* clone() const override { return new TCaptionEngine(*this); }

private:
    QString FLabel;
};

} // namespace

QIcon CaptionGlyph(const QString& label) {
    return QIcon(new TCaptionEngine(label));
}

void SetCaptionGlyph(TSpeedButton* button, const QString& label) {
    bars::SetPrintedLabel(button, label);
    const QFontMetrics metrics(PrintedLabelFont());
    button->SetGlyph(CaptionGlyph(label));
    button->SetGlyphSize(QSize(metrics.horizontalAdvance(label) + 2, metrics.height()));
    button->SetLayout(TButtonLayout::blGlyphTop);
    button->SetSpacing(2);
    if (button->width() < button->GlyphSize().width() + 8)
        button->resize(button->GlyphSize().width() + 8, button->height());
}
