#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

// Processes events until `done` or a generous bound (a broken peer, not a
// speed expectation); returns done().
template <typename Predicate> bool SpinUntil(Predicate done, int boundMs = 10000) {
    const QDeadlineTimer deadline(boundMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}
