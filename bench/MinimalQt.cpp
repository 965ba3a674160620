// The yardstick of bench/poll: the least a Qt Widgets program of this build
// costs, a main window with one toolbar, shown and then idle.
//
//   bench-minimal-qt
//
// Prints "SHOWN <ms>" once the window has been shown, <ms> being the
// system's monotonic clock (CLOCK_MONOTONIC) in milliseconds with a
// fraction; the stamp is taken where the program starts its discovery, in
// the first event-loop turn after the window's show event. SIGTERM and
// SIGINT end it normally (exit code 0).
#include <QApplication>
#include <QMainWindow>
#include <QSocketNotifier>
#include <QTimer>
#include <QToolBar>

#include <csignal>
#include <cstdio>
#include <ctime>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int gSignalPipe[2] = {-1, -1};

void OnSignal(int) {
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(gSignalPipe[1], &c, 1);
}

double MonotonicMs() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) * 1000.0 + double(now.tv_nsec) / 1e6;
}

class TMinimalWindow : public QMainWindow {
public:
    TMinimalWindow() { addToolBar(QStringLiteral("Tools"))->addAction(QStringLiteral("Action")); }

protected:
    void showEvent(QShowEvent* event) override {
        QMainWindow::showEvent(event);
        if (FShown)
            return;
        FShown = true;
        QTimer::singleShot(0, this, [] {
            std::printf("SHOWN %.3f\n", MonotonicMs());
            std::fflush(stdout);
        });
    }

private:
    bool FShown = false;
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, gSignalPipe) == 0) {
        auto* notifier = new QSocketNotifier(gSignalPipe[0], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, &app, &QApplication::quit);
        std::signal(SIGTERM, OnSignal);
        std::signal(SIGINT, OnSignal);
    }
    TMinimalWindow window;
    window.show();
    return app.exec();
}
