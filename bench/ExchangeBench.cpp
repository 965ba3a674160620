// Repeats the laser's status exchange (";LASS" + CR, reply up to CR) through
// TGenericController on one serial device and reports the exchange rate and
// the process's CPU time per exchange (user + system, from getrusage).
//
//   bench-exchange DEVICE [COUNT]
//
// Last line: "RESULT rate=<exchanges/s> cpu_us=<microseconds per exchange> failures=<n>"
#include "comm/ConnectionManager.h"
#include "comm/GenericController.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "CpuTime.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench-exchange DEVICE [COUNT]\n");
        return 2;
    }
    const int count = argc > 2 ? std::atoi(argv[2]) : 2000;
    TConnectionManager manager({{1, QString::fromLocal8Bit(argv[1])}});
    TGenericController controller(";LA");
    if (!controller.Open(1)) {
        std::fprintf(stderr, "bench-exchange: cannot open %s\n", argv[1]);
        return 1;
    }
    manager.SetPortTimeout(1, 2000);
    QByteArray reply;
    for (int i = 0; i < 50; ++i) // warm-up: first-use costs stay out of the figures
        controller.Transact(";LA", "SS", true, reply);

    int failures = 0;
    const double cpuBefore = CpuSeconds();
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < count; ++i) {
        if (!controller.Transact(";LA", "SS", true, reply) || reply.isEmpty())
            ++failures;
    }
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start;
    const double cpu = CpuSeconds() - cpuBefore;
    const double rate = count / wall.count();
    const double cpuMicros = cpu * 1e6 / count;
    std::printf("ours:     %d exchanges in %.3f s: %.0f exchanges/s, %.1f us CPU/exchange\n", count,
                wall.count(), rate, cpuMicros);
    std::printf("RESULT rate=%.3f cpu_us=%.3f failures=%d\n", rate, cpuMicros, failures);
    return failures == 0 ? 0 : 1;
}
