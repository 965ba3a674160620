#include "controls/FloatFormat.h"

#include <QRegularExpression>

#include <cfloat>
#include <charconv>
#include <clocale>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

bool IsFloatConversion(QChar c) {
    return QStringLiteral("fFeEgGaA").contains(c);
}

// Runs snprintf with one validated conversion and turns the C library's
// decimal separator (LC_NUMERIC may follow the user's locale) into ".".
QString FormatOne(const std::string& conversion, double value) {
    const int needed = std::snprintf(nullptr, 0, conversion.c_str(), value);
    if (needed < 0)
        return QString();
    std::vector<char> buffer(size_t(needed) + 1);
    std::snprintf(buffer.data(), buffer.size(), conversion.c_str(), value);
    QString result = QString::fromLatin1(buffer.data(), needed);
    const lconv* conv = std::localeconv();
    if (conv && conv->decimal_point && std::string(conv->decimal_point) != ".")
        result.replace(QString::fromLocal8Bit(conv->decimal_point), QStringLiteral("."));
    return result;
}

} // namespace

QString FormatFloat(const QString& format, double value) {
    QString result;
    bool converted = false;
    qsizetype i = 0;
    const qsizetype n = format.size();
    while (i < n) {
        const QChar c = format.at(i);
        if (c != QLatin1Char('%')) {
            result += c;
            ++i;
            continue;
        }
        if (i + 1 < n && format.at(i + 1) == QLatin1Char('%')) {
            result += QLatin1Char('%');
            i += 2;
            continue;
        }
        // Parse "%[flags][width][.precision][l|L]conv".
        qsizetype j = i + 1;
        while (j < n && QStringLiteral("-+ #0").contains(format.at(j)))
            ++j;
        const qsizetype widthStart = j;
        while (j < n && format.at(j).isDigit() && format.at(j).unicode() < 128)
            ++j;
        bool valid = j - widthStart <= 3;
        std::string conversion = format.mid(i, j - i).toStdString();
        if (j < n && format.at(j) == QLatin1Char('.')) {
            const qsizetype precisionStart = ++j;
            while (j < n && format.at(j).isDigit() && format.at(j).unicode() < 128)
                ++j;
            valid = valid && j - precisionStart <= 3;
            conversion += format.mid(precisionStart - 1, j - precisionStart + 1).toStdString();
        }
        if (j < n && (format.at(j) == QLatin1Char('l') || format.at(j) == QLatin1Char('L')))
            ++j; // a length modifier: the value is a double in any case
        if (j < n && IsFloatConversion(format.at(j)) && valid && !converted) {
            conversion += char(format.at(j).unicode());
            result += FormatOne(conversion, value);
            converted = true;
            i = j + 1;
        } else {
            // Not a conversion we hand to printf: keep the text as written.
            const qsizetype end = j < n ? j + 1 : n;
            result += format.mid(i, end - i);
            i = end;
        }
    }
    return result;
}

std::optional<double> ParseFloat(const QString& text) {
    qsizetype begin = 0, end = text.size();
    while (begin < end && text.at(begin).unicode() <= ' ')
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= ' ')
        --end;
    const QString trimmed = text.mid(begin, end - begin);
    static const QRegularExpression number(
        QStringLiteral(R"(^[+-]?(\d+(\.\d*)?|\.\d+)([eE][+-]?\d+)?$)"));
    // \d in QRegularExpression matches every Unicode digit: insist on ASCII.
    for (QChar c : trimmed)
        if (c.unicode() >= 128)
            return std::nullopt;
    if (!number.match(trimmed).hasMatch())
        return std::nullopt;
    std::string s = trimmed.toStdString();
    const bool negative = s.front() == '-';
    if (s.front() == '+' || s.front() == '-')
        s.erase(0, 1);
    double value = 0;
    const auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec == std::errc::result_out_of_range) {
        const auto e = s.find_first_of("eE");
        const bool tiny = e != std::string::npos && s.at(e + 1) == '-';
        value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    } else if (ec != std::errc() || ptr != s.data() + s.size()) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

float SaturateToFloat(double value) {
    if (std::isnan(value))
        return std::numeric_limits<float>::quiet_NaN();
    if (value > double(FLT_MAX))
        return std::numeric_limits<float>::infinity();
    if (value < -double(FLT_MAX))
        return -std::numeric_limits<float>::infinity();
    return float(value);
}
