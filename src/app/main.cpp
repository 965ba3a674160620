#include "app/LCMain.h"
#include "app/SignalCloser.h"
#include "comm/ConnectionManager.h"
#include "diag/ExcMagic.h"
#include "platform/AppPaths.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    TSignalCloser::InstallHandlers();

    // The event log exists before anything else, so that start-up and the
    // communication trace of the first port probe can reach it.
    TExcMagic log;
    log.TrimAtStartup(platform::ExecutablePath());

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Trevalon"));
    // Lets the desktop match the windows to the installed menu entry and icon.
    QApplication::setDesktopFileName(QStringLiteral("com.example.trevalon"));

    // Serial ports need the application object; the manager probes the
    // COM slots once here and owns every port until the process ends.
    TConnectionManager connections;

    TformMain formMain;
    new TSignalCloser(&formMain);

    formMain.show();
    return app.exec();
}
