#pragma once

#include <QString>

#include <optional>

// Number text of the value adjuster. The decimal separator is always ".",
// whatever the user's locale: the program shows, takes and sends numbers
// with a point.

// Formats `value` with a printf-style `format` that holds one floating-point
// conversion, such as "%5.2f" (width 5, blank padded, two decimals) or
// "%.2f"; flags "-+ #0", a width and a precision of up to three digits each
// and the conversions f F e E g G a A are honoured. "%%" gives "%". Any
// other conversion, and any conversion after the first, is shown as written
// instead of being handed to printf, so no format can read a missing
// argument.
QString FormatFloat(const QString& format, double value);

// Converts operator text to a number: leading and trailing blanks and
// control characters are ignored; then an optional sign, digits with at
// most one ".", and an optional exponent ("e" or "E", optional sign,
// digits). Returns nothing for any other text. A value too large for a
// double comes back as an infinity, one too small as zero.
std::optional<double> ParseFloat(const QString& text);

// `value` as a float, with values beyond the float range turned into
// infinities rather than left undefined.
float SaturateToFloat(double value);
