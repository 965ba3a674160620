// The poll without the window: the laser object on its own, asked for its
// status and one status-bar read-out every 250 ms by a timer of a
// QCoreApplication. bench/poll runs it beside the program to show how much
// of a tick's cost is the two exchanges and the wake-up themselves.
//
//     bench-bare-poll          (COM slots from TREVALON_PORTS)
#include "comm/ConnectionManager.h"
#include "laser/InHouseLaser.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <csignal>
#include <cstdio>

#include <unistd.h>

namespace {

int stopPipe[2] = {-1, -1};

void OnSignal(int) {
    const char byte = 0;
    [[maybe_unused]] const ssize_t n = ::write(stopPipe[1], &byte, 1);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (::pipe(stopPipe) != 0)
        return 1;
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGINT, OnSignal);
    QSocketNotifier stop(stopPipe[0], QSocketNotifier::Read);
    QObject::connect(&stop, &QSocketNotifier::activated, &app, &QCoreApplication::quit);

    TConnectionManager connections;
    TInHouseLaser laser;
    if (!laser.FindLaser()) {
        std::fprintf(stderr, "bench-bare-poll: no laser found\n");
        return 1;
    }
    int next = 0;
    QTimer poll;
    poll.setInterval(250);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        try {
            laser.GetStatus();
            switch (next++ % 4) {
            case 0:
                laser.GetShotCount();
                break;
            case 1:
                laser.GetHours();
                break;
            case 2:
                laser.GetFlow();
                break;
            default:
                laser.GetTemperature();
                break;
            }
        } catch (const std::exception& error) {
            std::fprintf(stderr, "bench-bare-poll: %s\n", error.what());
        }
    });
    poll.start();
    std::printf("POLLING\n");
    std::fflush(stdout);
    return app.exec();
}
