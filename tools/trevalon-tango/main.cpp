// trevalon-tango: the laser as a Tango Controls device (class Trevalon),
// headless, on the same core as the window.
//
//   trevalon-tango INSTANCE [-nodb -ORBendPoint giop:tcp:HOST:PORT -dlist DOMAIN/FAMILY/MEMBER]
//
// Two threads matter. The main thread runs Qt's event loop and owns the
// connection manager and the station, hence the laser: every exchange with
// the laser happens there. Tango's server runs on a second thread; its
// request threads reach the laser only through the station's jobs.
#include "comm/ConnectionManager.h"
#include "diag/ExcMagic.h"
#include "ipc/IPCMessenger.h"
#include "laser/InHouseLaser.h"
#include "platform/AppPaths.h"
#include "tango/LaserStation.h"
#include "tango/TrevalonClass.h"

#include <QCoreApplication>
#include <QLocale>

#include <tango.h>

#include <atomic>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

TLaserStation* station = nullptr;

// Tango's own signal thread takes SIGINT, SIGTERM, SIGHUP and SIGQUIT and
// shuts the server down. Blocked here, before any thread exists, they reach
// no other thread (every thread inherits the mask), so the Qt thread is
// never cut short before the laser is switched off.
void BlockEndSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    for (int signo : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
        sigaddset(&signals, signo);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
}

int RunTangoServer(std::vector<char*> arguments) {
    // Tango's monitors and ORB calls need omniORB to know this thread.
    omni_thread::ensure_self self;
    int count = static_cast<int>(arguments.size()) - 1;
    try {
        Tango::Util* util = Tango::Util::init(count, arguments.data());
        util->server_init(false);
        std::printf("Ready to accept request\n");
        std::fflush(stdout);
        util->server_run();
        util->server_cleanup();
        return 0;
    } catch (const CORBA::Exception& error) {
        Tango::Except::print_exception(error);
        return 1;
    }
}

} // namespace

void Tango::DServer::class_factory() {
    add_class(TTrevalonClass::Create(*station));
}

int main(int argc, char* argv[]) {
    BlockEndSignals();

    TExcMagic log;
    log.TrimAtStartup(platform::ExecutablePath());

    // Qt sees only the program's name: the rest is Tango's command line.
    int qtArgc = 1;
    QCoreApplication app(qtArgc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("trevalon-tango"));
    // Numbers sent to the laser use "." whatever the user's locale.
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(QLocale::c());

    TConnectionManager connections;
    std::unique_ptr<TIPCMessenger> messenger;
    std::string mailboxNote;
    try {
        messenger = std::make_unique<TIPCMessenger>();
    } catch (const std::exception& error) {
        mailboxNote = std::string("IPC functionality not available: ") + error.what();
    }
    auto laserStation = std::make_unique<TLaserStation>(std::make_unique<TInHouseLaser>(),
                                                        std::move(messenger), mailboxNote);
    station = laserStation.get();

    std::vector<char*> arguments(argv, argv + argc);
    arguments.push_back(nullptr);
    std::atomic<int> exitCode{0};
    std::thread tango([&] {
        exitCode = RunTangoServer(arguments);
        // Once Tango has destroyed the device, the Qt thread ends and
        // switches the laser off.
        QMetaObject::invokeMethod(
            &app, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
    });
    QCoreApplication::exec();

    // "OF" and "SM0", from the thread that owns the laser.
    laserStation.reset();
    station = nullptr;
    tango.join();
    return exitCode;
}
