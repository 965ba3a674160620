#pragma once

#include <QString>

namespace platform {

// The full path of the running executable, read from /proc/self/exe, so it
// is known before any QCoreApplication exists.
QString ExecutablePath();

// The folder for the event log, with a trailing '/': the executable's
// folder when it is writable, otherwise $XDG_STATE_HOME/Trevalon/ (by
// default ~/.local/state/Trevalon/), created on demand.
QString LogFolder();

// The writable-folder decision alone, for tests: `exeDir` when writable,
// else the state folder derived from `xdgStateHome` and `home`.
QString LogFolderFor(const QString& exeDir, const QString& xdgStateHome, const QString& home);

// The folder a settings-file dialog opens in when none is remembered, with
// no trailing '/': the executable's folder when it is writable (a run from
// the build folder), otherwise the user's documents folder, or the home
// folder when there is no documents folder.
QString SettingsDialogFolder();

// The decision alone, for tests: `exeDir` when writable, else `documents`
// when that folder exists, else `home`.
QString SettingsDialogFolderFor(const QString& exeDir, const QString& documents,
                                const QString& home);

} // namespace platform
