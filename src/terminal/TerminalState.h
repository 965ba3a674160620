#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class QSettings;

// What the terminal window keeps between runs: its texts, the terminator
// choice, the predefined commands and the history. No window position.
struct TTerminalState {
    QString OtherText;
    QString SendText;
    bool CR = true;
    bool LF = false;
    bool Other = false;
    QStringList Commands; // the lines of the predefined-command list
    QStringList History;  // newest first
};

namespace terminal {

// The storage's group name in the settings file.
inline constexpr const char* StorageName = "CRV_Terminal";

// The program's settings file in the user's configuration folder
// ($XDG_CONFIG_HOME, by default ~/.config). The caller owns it.
std::unique_ptr<QSettings> OpenStorage();

// The stored state; every value that was never stored keeps its value in
// `defaults`.
TTerminalState LoadState(const TTerminalState& defaults);

// Stores `state`, replacing what was stored before.
void SaveState(const TTerminalState& state);

} // namespace terminal
