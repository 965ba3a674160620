#include "controls/RepeatTimer.h"

#include "controls/ExceptionDisplay.h"

#include <QTimer>

#include <utility>

TRepeatTimer::TRepeatTimer(int intervalMs, QObject* parent)
    : QObject(parent), FTimer(new QTimer(this)) {
    FTimer->setInterval(intervalMs);
    connect(FTimer, &QTimer::timeout, this, &TRepeatTimer::Tick);
}

TRepeatTimer::~TRepeatTimer() = default;

int TRepeatTimer::Interval() const {
    return FTimer->interval();
}

bool TRepeatTimer::Enabled() const {
    return FTimer->isActive();
}

void TRepeatTimer::SetEnabled(bool enabled) {
    if (enabled)
        FTimer->start();
    else
        FTimer->stop();
}

void TRepeatTimer::SetOnTimer(std::function<void()> onTimer) {
    FOnTimer = std::move(onTimer);
}

void TRepeatTimer::Tick() {
    if (!Enabled() || !FOnTimer)
        return;
    if (!RunShowingExceptions(FOnTimer))
        SetEnabled(false);
}
