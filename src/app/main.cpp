#include "diag/ExcMagic.h"
#include "platform/AppPaths.h"

#include <QApplication>
#include <QMainWindow>

#include <memory>

int main(int argc, char* argv[]) {
    // The event log exists before anything else, so that start-up and the
    // communication trace of the first port probe can reach it.
    TExcMagic log;
    log.TrimAtStartup(platform::ExecutablePath());

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Trevalon"));
    QApplication::setApplicationDisplayName(QStringLiteral("Trevalon"));

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Trevalon"));
    window.resize(545, 371);
    window.show();
    return app.exec();
}
