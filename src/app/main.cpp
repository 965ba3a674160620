#include "app/SignalCloser.h"
#include "comm/ConnectionManager.h"
#include "diag/ExcMagic.h"
#include "platform/AppPaths.h"

#include <QApplication>
#include <QMainWindow>
#include <QMessageBox>

int main(int argc, char* argv[]) {
    TSignalCloser::InstallHandlers();

    // The event log exists before anything else, so that start-up and the
    // communication trace of the first port probe can reach it.
    TExcMagic log;
    log.TrimAtStartup(platform::ExecutablePath());

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Trevalon"));
    QApplication::setApplicationDisplayName(QStringLiteral("Trevalon"));

    // Serial ports need the application object; the manager probes the
    // COM slots once here and owns every port until the process ends.
    TConnectionManager connections;
    const QStringList args = QApplication::arguments();
    if (args.size() > 1 && args.at(1).startsWith(QStringLiteral("LOG")))
        connections.SetTrace(true);

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Trevalon"));
    window.resize(545, 371);

    // A relay that fails while connected is reported from the event loop,
    // never by unwinding through it.
    QObject::connect(&connections, &TConnectionManager::NetworkError, &window,
                     [&window](int, const QString& message) {
                         QMessageBox::critical(&window, QStringLiteral("Trevalon"), message);
                     });
    new TSignalCloser(&window);

    window.show();
    return app.exec();
}
