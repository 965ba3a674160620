#include "controls/Switch.h"

#include "controls/ExceptionDisplay.h"
#include "controls/Glyphs.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

TSwitch::TSwitch(QWidget* parent)
    : QWidget(parent), FPictureOn(LoadGlyph(QStringLiteral("SWITCH_ON"))),
      FPictureOff(LoadGlyph(QStringLiteral("SWITCH_OFF"))) {
    setFocusPolicy(Qt::StrongFocus);
    resize(sizeHint());
}

TSwitch::~TSwitch() = default;

void TSwitch::SetOn(bool on) {
    if (on == FOn)
        return; // the poll writes the state four times a second
    FOn = on;
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
    return GlyphSize(QStringLiteral("SWITCH_ON"));
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
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        Toggle();
        Raise(FOnClick);
        return;
    }
    QWidget::keyPressEvent(event);
}
