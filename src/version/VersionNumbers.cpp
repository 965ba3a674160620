#include "version/VersionNumbers.h"

#include <QStringList>

#include <algorithm>
#include <stdexcept>

namespace version {

namespace {

bool IsDottedDigits(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) {
        return c == QLatin1Char('.') || (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
    });
}

// Compares two digit strings as whole numbers, however long.
int CompareDigits(QString a, QString b) {
    auto stripZeros = [](QString& digits) {
        qsizetype first = 0;
        while (first < digits.size() && digits[first] == QLatin1Char('0'))
            ++first;
        digits.remove(0, first);
    };
    stripZeros(a);
    stripZeros(b);
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    const int order = a.compare(b);
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

} // namespace

float VersionToNumber(const QString& text) {
    float weight = 1;
    float component = 0;
    float total = 0;
    for (qsizetype i = text.size() - 1; i >= 0; --i) {
        const QChar c = text[i];
        if (c == QLatin1Char('.')) {
            total = weight * component + total;
            component = 0;
            continue;
        }
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            throw std::invalid_argument("'" + text.toStdString() + "' is not a valid version");
        component = float(c.unicode() - '0') + 10 * component;
        weight = 10 * weight;
    }
    return weight * component + total;
}

int CompareVersions(const QString& a, const QString& b) {
    // Text that is not a version gives no order, as the number conversion
    // of the check fails for it and both sides count as 0.
    if (!IsDottedDigits(a) || !IsDottedDigits(b))
        return 0;
    const QStringList left = a.split(QLatin1Char('.'));
    const QStringList right = b.split(QLatin1Char('.'));
    const qsizetype count = std::max(left.size(), right.size());
    for (qsizetype i = 0; i < count; ++i) {
        const int order = CompareDigits(left.value(i), right.value(i));
        if (order != 0)
            return order;
    }
    return 0;
}

} // namespace version
