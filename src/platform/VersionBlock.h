#pragma once

#include <QList>
#include <QPair>
#include <QString>

#include <optional>

namespace platform {

// The ten keys of a version block, in the order of their key index.
inline constexpr int VersionKeyCount = 10;
extern const char* const VersionKeys[VersionKeyCount];

// Reads the version block embedded in an executable file (the stand-in for
// a Windows version resource) and returns the value stored under `key`
// ("FileVersion", ...). Returns an empty string when the file cannot be
// read, carries no version block, or the block lacks the key.
QString ReadVersionValue(const QString& fileName, const QString& key);

// Every name and value of the version block of `fileName`, in the order
// stored; std::nullopt when the file cannot be read or carries no block.
// One read of the file, for callers that want several values.
std::optional<QList<QPair<QString, QString>>> ReadVersionStrings(const QString& fileName);

// True when the file carries a version block at all.
bool HasVersionBlock(const QString& fileName);

} // namespace platform
