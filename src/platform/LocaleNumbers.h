#pragma once

#include <QString>

#include <optional>

namespace platform {

// Real numbers as text with the decimal separator of a locale, the way
// settings files carry them: they follow the user's locale, not the "."
// the program shows everywhere else.
//
// Text is written with up to 15 significant digits, whole numbers without a
// decimal part, and an exponent only for magnitudes of 1e15 and above or
// below 1e-4 ("1e+20", "1e-05"). Text is read without thousands separators,
// so "1.234" under a locale with a decimal comma is not a number at all
// rather than 1234.
class TLocaleNumbers {
public:
    // A locale name as the environment gives it ("de_DE.UTF-8", "C",
    // "POSIX"); an empty or unknown name means the C locale (".").
    explicit TLocaleNumbers(const QString& localeName);

    // The locale the environment names for numbers: the first of LC_ALL,
    // LC_NUMERIC and LANG that is set and not empty. The environment is
    // asked, not the C library, whose numeric locale the program sets to "C".
    static TLocaleNumbers FromEnvironment();

    QString DecimalSeparator() const { return FDecimal; }

    // `value` as text. Throws std::invalid_argument for NaN and infinities,
    // which no file may hold.
    QString FromDouble(double value) const;

    // The number in `text`: blanks around it, an optional sign, decimal
    // digits with at most one decimal separator, an optional exponent ("e"
    // or "E", optional sign, digits). Nothing for any other text and for a
    // value beyond the double range.
    std::optional<double> ToDouble(const QString& text) const;

private:
    QString FDecimal;
    QString FMinus;
};

} // namespace platform
