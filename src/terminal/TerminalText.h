#pragma once

#include <QString>

#include <optional>

// The small text rules of the terminal window, kept apart from the widgets.
namespace terminal {

// A port list entry: "COM" and the number, then the slot's device path after
// two spaces when it has one ("COM1  /dev/ttyUSB0").
QString PortEntry(int port, const QString& devicePath);

// The port number after "COM" at the start of an entry; 0 when there is none.
int PortOfEntry(const QString& entry);

// The command of a predefined-command line: the text before its first two
// consecutive spaces, with spaces and control characters trimmed from both
// ends. A line without two consecutive spaces has an empty command.
QString CommandOfLine(const QString& line);

// A terminator typed as a decimal number 0..255 (surrounding blanks allowed);
// nothing for any other text.
std::optional<int> TerminatorOfText(const QString& text);

} // namespace terminal
