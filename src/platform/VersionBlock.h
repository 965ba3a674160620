#pragma once

#include <QString>

namespace platform {

// The ten keys of a version block, in the order of their key index.
inline constexpr int VersionKeyCount = 10;
extern const char* const VersionKeys[VersionKeyCount];

// Reads the version block embedded in an executable file (the stand-in for
// a Windows version resource) and returns the value stored under `key`
// ("FileVersion", ...). Returns an empty string when the file cannot be
// read, carries no version block, or the block lacks the key.
QString ReadVersionValue(const QString& fileName, const QString& key);

// True when the file carries a version block at all.
bool HasVersionBlock(const QString& fileName);

} // namespace platform
