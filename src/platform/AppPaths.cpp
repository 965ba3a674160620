#include "platform/AppPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace platform {

namespace {

// Writability is tried rather than read from permission bits, which say
// nothing true for root, read-only mounts or pseudo file systems.
bool IsWritableFolder(const QString& folder) {
    if (folder.isEmpty())
        return false;
    QTemporaryFile probe(folder + "/.trevalon-probe-XXXXXX");
    return probe.open();
}

// The executable's own folder is used for its files only when it can be
// written and is not an installed program's bin folder (recognised by the
// desktop entry installed beside it): even root must not fill /usr/bin with
// logs that outlive the package.
bool IsOwnFolder(const QString& exeDir) {
    if (QFileInfo::exists(exeDir + "/../share/applications/com.example.trevalon.desktop"))
        return false;
    // The device server comes in a package of its own, without the desktop
    // entry; its unit file marks the installation instead.
    if (QFileInfo::exists(exeDir + "/../lib/systemd/system/trevalon-tango@.service"))
        return false;
    return IsWritableFolder(exeDir);
}

QString ExecutableFolder() {
    return QFileInfo(ExecutablePath()).absolutePath();
}

} // namespace

QString ExecutablePath() {
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

QString LogFolderFor(const QString& exeDir, const QString& xdgStateHome, const QString& home) {
    if (IsOwnFolder(exeDir))
        return QDir(exeDir).absolutePath() + '/';

    const QString base = !xdgStateHome.isEmpty() ? xdgStateHome : home + "/.local/state";
    const QString folder = base + "/Trevalon";
    QDir().mkpath(folder);
    return folder + '/';
}

QString LogFolder() {
    return LogFolderFor(ExecutableFolder(), qEnvironmentVariable("XDG_STATE_HOME"),
                        QDir::homePath());
}

QString SettingsDialogFolderFor(const QString& exeDir, const QString& documents,
                                const QString& home) {
    if (IsOwnFolder(exeDir))
        return QDir(exeDir).absolutePath();
    // An installed program's folder is no place for the operator's files.
    if (!documents.isEmpty() && QDir(documents).exists())
        return documents;
    return home;
}

QString SettingsDialogFolder() {
    return SettingsDialogFolderFor(
        ExecutableFolder(), QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
        QDir::homePath());
}

} // namespace platform
