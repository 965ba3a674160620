#pragma once

#include <QObject>

#include <functional>

class QTimer;

// An auto-repeat timer shared by all controls of one kind: one adjuster or
// up/down control repeats at a time, and pressing an arrow of another one
// re-targets the timer. Tick() does what one timer expiry does, so tests
// drive the repetition without waiting.
class TRepeatTimer : public QObject {
    Q_OBJECT
public:
    explicit TRepeatTimer(int intervalMs, QObject* parent = nullptr);
    ~TRepeatTimer() override;

    int Interval() const;
    bool Enabled() const;
    void SetEnabled(bool enabled);

    // The function run on each tick; exceptions it raises go to the
    // application's exception display and stop the repetition (the mouse
    // release that would stop it may never arrive while a message is up).
    void SetOnTimer(std::function<void()> onTimer);

    // Runs one tick now if the timer is enabled; does nothing otherwise.
    void Tick();

private:
    QTimer* FTimer;
    std::function<void()> FOnTimer;
};
