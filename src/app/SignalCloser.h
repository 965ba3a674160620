#pragma once

#include <QObject>

class QSocketNotifier;
class QWidget;

// Turns SIGINT and SIGTERM into an orderly close of the main window, so that
// a laser being fired is switched off ("OF", "SM0") when the process is told
// to end. The handler only writes to a self-pipe; the window is closed from
// the event loop.
class TSignalCloser : public QObject {
    Q_OBJECT
public:
    // Catches the two signals from the very start of the process; one that
    // arrives before the window exists closes the window once it runs.
    static void InstallHandlers();

    explicit TSignalCloser(QWidget* window);
    ~TSignalCloser() override;

private:
    void SignalArrived();

    QWidget* FWindow;
    QSocketNotifier* FNotifier = nullptr;
};
