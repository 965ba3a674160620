#pragma once

#include <QByteArrayList>
#include <QString>

#include <cstdint>

// The command line of trevalon-ipc: [--timeout SECONDS] [--] COMMAND...
struct TClientOptions {
    std::int64_t TimeoutMs = 5000; // wait for each reply
    QByteArrayList Commands;
    bool ShowHelp = false;
    QString Error; // set when the command line is not usable
};

// Reads the arguments after the program name. SECONDS may have decimals
// ("0.5"); it must be a number from 0 to one day.
TClientOptions ParseClientOptions(int argc, const char* const* argv);
