#pragma once

#include <QString>

namespace platform {

// The full path of the running executable, read from /proc/self/exe, so it
// is known before any QCoreApplication exists.
QString ExecutablePath();

// The executable's folder counts as the program's own when it is writable
// and is not the bin folder of an installation (one with
// ../share/applications/com.example.trevalon.desktop beside it).

// The folder for the event log, with a trailing '/': the executable's
// folder when it is the program's own, otherwise $XDG_STATE_HOME/Trevalon/ (by
// default ~/.local/state/Trevalon/), created on demand.
QString LogFolder();

// The decision alone, for tests: `exeDir` when it is the program's own,
// else the state folder derived from `xdgStateHome` and `home`.
QString LogFolderFor(const QString& exeDir, const QString& xdgStateHome, const QString& home);

// The folder a settings-file dialog opens in when none is remembered, with
// no trailing '/': the executable's folder when it is the program's own (a
// run from the build folder), otherwise the user's documents folder, or the home
// folder when there is no documents folder.
QString SettingsDialogFolder();

// The decision alone, for tests: `exeDir` when it is the program's own, else `documents`
// when that folder exists, else `home`.
QString SettingsDialogFolderFor(const QString& exeDir, const QString& documents,
                                const QString& home);

} // namespace platform
