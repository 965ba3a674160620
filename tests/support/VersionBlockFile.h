#pragma once

// A file carrying a version block the way the build embeds one in every
// executable, with the strings a test chooses.

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QPair>
#include <QString>

using VersionStrings = QList<QPair<QByteArray, QByteArray>>;

// Writes `path` with a block holding `strings` for `translation`. The
// marker is assembled at run time, so no test binary carries it.
inline bool WriteVersionBlockFile(const QString& path, const VersionStrings& strings,
                                  const QByteArray& translation = "040904E4") {
    QByteArray bytes("\x7f"
                     "ELF fake executable");
    bytes += '\0';
    bytes += '\x01';
    bytes += "TRV-VERSION-";
    bytes += "BLOCK";
    bytes += '\x02';
    bytes += "StringFileInfo\\" + translation;
    bytes += '\0';
    for (const auto& [key, value] : strings) {
        bytes += key;
        bytes += '\0';
        bytes += value;
        bytes += '\0';
    }
    bytes += "\x03trailing code";
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A program file whose only version string of note is its file version.
inline bool WriteProgramFile(const QString& path, const QByteArray& fileVersion) {
    return WriteVersionBlockFile(path, {{"CompanyName", "Corvane"},
                                        {"FileVersion", fileVersion},
                                        {"LegalCopyright", "(C) Corvane"},
                                        {"ProductName", "Trevalon"},
                                        {"ProductVersion", fileVersion}});
}
