#include "controls/Animate.h"

#include "controls/Accessibility.h"

#include <QPainter>
#include <QTimer>

#include <algorithm>

namespace {

constexpr int FrameWidth = 1;
const QSize DefaultFrameSize(32, 32);

} // namespace

TAnimate::TAnimate(QWidget* parent) : QWidget(parent), FTimer(new QTimer(this)) {
    InstallControlAccessibility();
    FTimer->setTimerType(Qt::PreciseTimer);
    connect(FTimer, &QTimer::timeout, this, &TAnimate::Tick);
}

TAnimate::~TAnimate() = default;

void TAnimate::SetClip(std::shared_ptr<const TClip> clip) {
    Stop();
    FClip = std::move(clip);
    FTimer->setInterval(Interval());
    ShowFrame(FrameCount() > 0 ? 1 : 0);
    updateGeometry();
}

int TAnimate::FrameCount() const {
    return FClip ? std::max(0, FClip->FrameCount()) : 0;
}

int TAnimate::FrameRate() const {
    return FClip ? std::max(1, FClip->FrameRate()) : 0;
}

int TAnimate::Interval() const {
    return 1000 / std::max(1, FrameRate());
}

int TAnimate::ClampFrame(int frame) const {
    return FrameCount() > 0 ? std::clamp(frame, 1, FrameCount()) : 0;
}

void TAnimate::Play(int fromFrame, int toFrame, int repetitions) {
    Stop();
    if (FrameCount() == 0)
        return;
    FFrom = ClampFrame(fromFrame);
    FTo = std::max(FFrom, ClampFrame(toFrame));
    FEndless = repetitions <= 0;
    FPassesLeft = FEndless ? 0 : repetitions;
    FActive = true;
    ShowFrame(FFrom);
    FTimer->start(Interval());
}

void TAnimate::Stop() {
    FTimer->stop();
    FActive = false;
}

void TAnimate::Seek(int frame) {
    Stop();
    ShowFrame(ClampFrame(frame));
}

void TAnimate::Tick() {
    if (!FActive)
        return;
    if (FFrame < FTo && FFrame >= FFrom) {
        ShowFrame(FFrame + 1);
        return;
    }
    // The last frame of a pass has had its interval.
    if (!FEndless && --FPassesLeft <= 0) {
        Stop();
        return;
    }
    ShowFrame(FFrom);
}

void TAnimate::ShowFrame(int frame) {
    if (frame == FFrame)
        return;
    FFrame = frame;
    update();
}

void TAnimate::SetColor(const QColor& color) {
    FColor = color;
    update();
}

QSize TAnimate::sizeHint() const {
    const QSize frame = FClip ? FClip->FrameSize() : DefaultFrameSize;
    return frame + QSize(2 * FrameWidth, 2 * FrameWidth);
}

void TAnimate::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // Filled rather than stroked, so the frame stays one logical pixel at
    // any device pixel ratio.
    painter.fillRect(rect(), palette().color(QPalette::Mid));
    const QRect inside = rect().adjusted(FrameWidth, FrameWidth, -FrameWidth, -FrameWidth);
    painter.fillRect(inside, FColor);
    if (!FClip || FFrame == 0)
        return;
    painter.setClipRect(inside);
    const QSize size = FClip->FrameSize();
    // Whole-pixel placement keeps the clip's edges on the pixel grid.
    const QPoint topLeft = inside.topLeft() + QPoint((inside.width() - size.width()) / 2,
                                                     (inside.height() - size.height()) / 2);
    painter.setRenderHint(QPainter::Antialiasing);
    FClip->PaintFrame(painter, QRectF(topLeft, size), FFrame);
}
