#include "platform/LocaleNumbers.h"

#include <QLocale>
#include <QRegularExpression>

#include <cmath>
#include <stdexcept>

namespace platform {

TLocaleNumbers::TLocaleNumbers(const QString& localeName) {
    // QLocale takes "language_TERRITORY" and ignores ".codeset" and
    // "@modifier"; what it does not know becomes the C locale.
    const QLocale locale(localeName == QLatin1String("POSIX") ? QStringLiteral("C") : localeName);
    FDecimal = locale.decimalPoint();
    FMinus = locale.negativeSign();
}

TLocaleNumbers TLocaleNumbers::FromEnvironment() {
    for (const char* name : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
        const QString value = qEnvironmentVariable(name);
        if (!value.isEmpty())
            return TLocaleNumbers(value);
    }
    return TLocaleNumbers(QStringLiteral("C"));
}

QString TLocaleNumbers::FromDouble(double value) const {
    if (!std::isfinite(value))
        throw std::invalid_argument("A value that is not a finite number cannot be written");
    QString text = QString::number(value, 'g', 15);
    text.replace(QLatin1Char('.'), FDecimal);
    return text;
}

std::optional<double> TLocaleNumbers::ToDouble(const QString& text) const {
    QString number = text.trimmed();
    if (FMinus != QLatin1String("-") && number.startsWith(FMinus))
        number.replace(0, FMinus.size(), QStringLiteral("-"));
    const QString separator = QRegularExpression::escape(FDecimal);
    const QRegularExpression pattern(
        QStringLiteral("^[+-]?([0-9]+(%1[0-9]*)?|%1[0-9]+)([eE][+-]?[0-9]+)?$").arg(separator));
    if (!pattern.match(number).hasMatch())
        return std::nullopt;
    number.replace(FDecimal, QStringLiteral("."));
    bool ok = false;
    const double value = number.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace platform
