#pragma once

#include <QString>

namespace version {

// The number the versions check has always computed from a version text,
// in single precision: the text is read from its last character to its
// first, the digits of each dotted component accumulating in the order read
// and each component weighted by ten per digit to its right. With one-digit
// components this is the digits read as one integer, times ten
// ("1.1.5.0" gives 11500); a longer component comes out reversed
// ("1.12.0.0" gives 310000). An empty text gives 0.
//
// Throws std::invalid_argument when the text holds anything but digits and
// dots. Not an ordering of versions: use CompareVersions for that.
float VersionToNumber(const QString& text);

// Compares two dotted version texts component by component, left to
// right, each component as a whole number of any length (leading zeros do
// not count, no overflow); a missing or empty component counts as 0, so
// "1.1.5" equals "1.1.5.0" and "1.10" is above "1.9".
//
// Returns -1, 0 or 1 as `a` is below, equal to or above `b`. A text that
// holds anything but digits and dots compares equal to everything.
int CompareVersions(const QString& a, const QString& b);

} // namespace version
