// Identification and status-poll cost of the laser object against a laser on
// one serial device (the simulated laser on a pty, started by bench/identify).
//
//   bench-identify DEVICE [RUNS] [POLLS]
//
// FindLaser is run RUNS times (a fresh laser object each time). The pauses
// the protocol itself demands (200 ms during identification, 250 ms before
// each motor poll) really sleep, and their sum is recorded, so the share of
// the wall time that is the software's own is (wall - pauses) / wall. Then
// POLLS GetStatus calls are timed in process CPU (user + system).
//
// Last line: "RESULT software_share=<percent> getstatus_cpu_us=<us per call>
//             wall_ms=<per run> pause_ms=<per run> failures=<n>"
#include "comm/ConnectionManager.h"
#include "laser/InHouseLaser.h"
#include "platform/Ticks.h"

#include <QCoreApplication>
#include <QThread>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "CpuTime.h"

namespace {

using Clock = std::chrono::steady_clock;

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench-identify DEVICE [RUNS] [POLLS]\n");
        return 2;
    }
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const int polls = argc > 3 ? std::max(1, std::atoi(argv[3])) : 1000;
    TConnectionManager manager({{1, QString::fromLocal8Bit(argv[1])}});

    // The protocol's pauses, measured as they really pass.
    Clock::duration paused{};
    TLaserTiming timing = TLaserTiming::System();
    timing.Pause = [&paused](int ms) {
        const auto start = Clock::now();
        QThread::msleep(static_cast<unsigned long>(ms));
        paused += Clock::now() - start;
    };

    int failures = 0;
    Clock::duration wall{};
    for (int run = 0; run < runs; ++run) {
        TInHouseLaser laser;
        laser.SetTiming(timing);
        const auto start = Clock::now();
        const bool found = laser.FindLaser();
        wall += Clock::now() - start;
        if (!found || laser.LaserType() != 8)
            ++failures;
    }
    const double wallMs = std::chrono::duration<double, std::milli>(wall).count() / runs;
    const double pauseMs = std::chrono::duration<double, std::milli>(paused).count() / runs;
    const double share = wallMs > 0 ? (wallMs - pauseMs) * 100.0 / wallMs : 0.0;
    std::printf("FindLaser: %.1f ms per run, of which %.1f ms protocol pauses (%d runs)\n", wallMs,
                pauseMs, runs);

    TInHouseLaser laser;
    laser.SetTiming(timing);
    if (!laser.FindLaser()) {
        std::fprintf(stderr, "bench-identify: no laser found on %s\n", argv[1]);
        return 1;
    }
    for (int i = 0; i < 50; ++i) // warm-up
        laser.GetStatus();
    const double cpuBefore = CpuSeconds();
    const auto pollStart = Clock::now();
    for (int i = 0; i < polls; ++i) {
        try {
            laser.GetStatus();
        } catch (const std::exception&) {
            ++failures;
        }
    }
    const double pollWall = std::chrono::duration<double>(Clock::now() - pollStart).count();
    const double cpuMicros = (CpuSeconds() - cpuBefore) * 1e6 / polls;
    std::printf("GetStatus: %d calls in %.3f s, %.1f us CPU per call\n", polls, pollWall,
                cpuMicros);
    std::printf("RESULT software_share=%.2f getstatus_cpu_us=%.1f wall_ms=%.1f pause_ms=%.1f "
                "failures=%d\n",
                share, cpuMicros, wallMs, pauseMs, failures);
    return failures == 0 ? 0 : 1;
}
