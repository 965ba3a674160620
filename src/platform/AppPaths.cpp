#include "platform/AppPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

namespace platform {

QString ExecutablePath() { return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath(); }

QString LogFolderFor(const QString& exeDir, const QString& xdgStateHome, const QString& home) {
    // Writability is tried rather than read from permission bits, which say
    // nothing true for root, read-only mounts or pseudo file systems.
    if (!exeDir.isEmpty()) {
        QTemporaryFile probe(exeDir + "/.trevalon-probe-XXXXXX");
        if (probe.open())
            return QDir(exeDir).absolutePath() + '/';
    }

    const QString base = !xdgStateHome.isEmpty() ? xdgStateHome : home + "/.local/state";
    const QString folder = base + "/Trevalon";
    QDir().mkpath(folder);
    return folder + '/';
}

QString LogFolder() {
    return LogFolderFor(QFileInfo(ExecutablePath()).absolutePath(),
                        qEnvironmentVariable("XDG_STATE_HOME"), QDir::homePath());
}

} // namespace platform
