#include "controls/KxIndicator.h"

#include "controls/ExceptionDisplay.h"

#include <QMouseEvent>
#include <QPainter>

TKxIndicator::TKxIndicator(QWidget* parent) : QWidget(parent) {
    FFrame.Outer = TBevelCut::bvNone;
    FFrame.Inner = TBevelCut::bvLowered;
    FFrame.BevelWidth = 2;
    FFrame.BorderWidth = 0;
    FOnColor = clLime;
    FOffColor = clGray;
    SetEnabled(false);
}

TKxIndicator::~TKxIndicator() = default;

void TKxIndicator::SetCaption(const QString& caption) {
    FCaption = caption;
    updateGeometry();
    update();
}

void TKxIndicator::SetEnabled(bool lit) {
    FLit = lit;
    SetColor(lit ? FOnColor : FOffColor);
}

void TKxIndicator::SetOnColor(TColor color) {
    FOnColor = color;
    if (FLit)
        SetColor(color);
}

void TKxIndicator::SetOffColor(TColor color) {
    FOffColor = color;
    if (!FLit)
        SetColor(color);
}

void TKxIndicator::SetColor(TColor color) {
    FColor = color;
    update();
}

QSize TKxIndicator::sizeHint() const {
    return fontMetrics().size(0, FCaption) + QSize(10, 6);
}

void TKxIndicator::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect face = PaintPanel(painter, rect(), FFrame, ToQColor(FColor), palette());
    painter.setPen(palette().color(QPalette::Active, QPalette::WindowText));
    painter.setFont(font());
    painter.drawText(face, Qt::AlignCenter, FCaption);
}

void TKxIndicator::mousePressEvent(QMouseEvent* event) {
    FPressed = event->button() == Qt::LeftButton;
    event->accept();
}

void TKxIndicator::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = FPressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    FPressed = false;
    event->accept();
    if (click && FOnClick)
        RunShowingExceptions([this] { FOnClick(this); });
}
