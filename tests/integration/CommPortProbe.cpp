// A second process for the comm tests.
//   comm-port-probe open PATH          tries to open the serial device the way
//                                      the program does; prints OPENED or REFUSED
//   comm-port-probe manager PATH LOG   runs the start-up probe with slot 1 at PATH,
//                                      logging to LOG; prints the available-port word
#include "comm/ConnectionManager.h"
#include "diag/ExcMagic.h"
#include "platform/SerialDevice.h"

#include <QCoreApplication>
#include <QSerialPort>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "open") == 0) {
        const auto device = platform::OpenSerialDevice(QString::fromLocal8Bit(argv[2]));
        std::printf("%s\n", device ? "OPENED" : "REFUSED");
        return device ? 0 : 1;
    }
    if (argc == 4 && std::strcmp(argv[1], "manager") == 0) {
        TExcMagic log(QString::fromLocal8Bit(argv[3]));
        TConnectionManager manager({{1, QString::fromLocal8Bit(argv[2])}});
        std::printf("%u\n", static_cast<unsigned>(manager.AvailablePorts()));
        return 0;
    }
    std::fprintf(stderr, "usage: comm-port-probe open PATH | manager PATH LOGFILE\n");
    return 2;
}
