#include "controls/Switch.h"

#include "controls/Accessibility.h"
#include "controls/ExceptionDisplay.h"
#include "controls/FocusFrame.h"
#include "controls/Glyphs.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {
constexpr int CaptionGap = 1; // pixels between the caption and the picture
}

TSwitch::TSwitch(QWidget* parent)
    : QWidget(parent), FPictureOn(LoadGlyph(QStringLiteral("SWITCH_ON"))),
      FPictureOff(LoadGlyph(QStringLiteral("SWITCH_OFF"))) {
    InstallControlAccessibility();
    setFocusPolicy(Qt::StrongFocus);
    resize(sizeHint());
}

TSwitch::~TSwitch() = default;

void TSwitch::SetOn(bool on) {
    if (on == FOn)
        return; // the poll writes the state four times a second
    FOn = on;
    update();
    QAccessible::State checked;
    checked.checked = true;
    AnnounceState(this, checked);
}

void TSwitch::Click() {
    if (!isEnabled())
        return;
    Toggle();
    Raise(FOnClick);
}

void TSwitch::SetCaption(const QString& caption) {
    FCaption = caption;
    updateGeometry();
    update();
}

void TSwitch::SetPictureOn(const QIcon& picture) {
    FPictureOn = picture;
    update();
}

void TSwitch::SetPictureOff(const QIcon& picture) {
    FPictureOff = picture;
    update();
}

QSize TSwitch::sizeHint() const {
    QSize size = GlyphSize(QStringLiteral("SWITCH_ON"));
    if (!FCaption.isEmpty()) {
        const QFontMetrics metrics(PrintedLabelFont());
        size.setWidth(qMax(size.width(), metrics.horizontalAdvance(FCaption) + 4));
    }
    return size;
}

void TSwitch::Raise(const TNotifyEvent& handler) {
    if (handler)
        RunShowingExceptions([&] { handler(this); });
}

void TSwitch::Toggle() {
    SetOn(!FOn);
    Raise(FOnChange);
}

void TSwitch::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QIcon& picture = FOn ? FPictureOn : FPictureOff;
    picture.paint(&painter, rect(), Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);
    // The caption sits above the picture, which stays centred where it is
    // without one.
    if (!FCaption.isEmpty()) {
        const QSize pictureSize = GlyphSize(QStringLiteral("SWITCH_ON"));
        const QFontMetrics metrics(PrintedLabelFont());
        const int pictureTop = (height() - pictureSize.height()) / 2;
        const int top = qMax(0, pictureTop - CaptionGap - metrics.height());
        painter.setFont(PrintedLabelFont());
        painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                       QPalette::WindowText));
        painter.drawText(QRect(0, top, width(), metrics.height()), Qt::AlignCenter, FCaption);
    }
    if (ShowsKeyboardFocus(this))
        PaintFocusFrame(painter, rect(), palette());
}

void TSwitch::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    FPressed = true;
    Toggle();
}

void TSwitch::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton || !FPressed)
        return;
    FPressed = false;
    if (rect().contains(event->position().toPoint()))
        Raise(FOnClick);
    else
        Toggle();
}

void TSwitch::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!event->isAutoRepeat())
            Click();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}
