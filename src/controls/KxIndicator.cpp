#include "controls/KxIndicator.h"

#include "controls/Accessibility.h"
#include "controls/ExceptionDisplay.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int CaptionMargin = 2; // pixels between the bevel and the caption, each side

int FrameWidth(const TPanelFrame& frame) {
    const int outer = frame.Outer == TBevelCut::bvNone ? 0 : frame.BevelWidth;
    const int inner = frame.Inner == TBevelCut::bvNone ? 0 : frame.BevelWidth;
    return outer + frame.BorderWidth + inner;
}

} // namespace

TKxIndicator::TKxIndicator(QWidget* parent) : QWidget(parent) {
    InstallControlAccessibility();
    FFrame.Outer = TBevelCut::bvNone;
    FFrame.Inner = TBevelCut::bvLowered;
    FFrame.BevelWidth = 2;
    FFrame.BorderWidth = 0;
    FOnColor = clLime;
    FOffColor = clGray;
    SetEnabled(false);
    FitToFont();
}

TKxIndicator::~TKxIndicator() = default;

void TKxIndicator::SetCaption(const QString& caption) {
    FCaption = caption;
    FitToFont();
    update();
}

void TKxIndicator::SetEnabled(bool lit) {
    const bool changed = lit != FLit;
    FLit = lit;
    SetColor(lit ? FOnColor : FOffColor);
    if (changed) {
        QAccessible::State checked;
        checked.checked = true;
        AnnounceState(this, checked);
        QAccessibleEvent description(this, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&description);
    }
}

void TKxIndicator::SetStateTexts(const QString& lit, const QString& dark) {
    FLitText = lit;
    FDarkText = dark;
}

void TKxIndicator::Click() {
    if (FOnClick)
        FOnClick(this);
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
    // The poll writes every lamp four times a second; only a change repaints.
    if (color == FColor)
        return;
    FColor = color;
    update();
}

QSize TKxIndicator::sizeHint() const {
    return minimumSizeHint();
}

QSize TKxIndicator::minimumSizeHint() const {
    const int frame = 2 * FrameWidth(FFrame);
    const QFontMetrics metrics = fontMetrics();
    return {metrics.horizontalAdvance(FCaption) + frame + 2 * CaptionMargin,
            metrics.height() + frame};
}

void TKxIndicator::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        FitToFont();
}

// The minimum size grows a smaller lamp at once (QWidget::setMinimumSize).
void TKxIndicator::FitToFont() {
    setMinimumSize(minimumSizeHint());
    updateGeometry();
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
        RunShowingExceptions([this] { Click(); });
}
