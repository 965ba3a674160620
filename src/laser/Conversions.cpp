#include "laser/Conversions.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

EConvertError::EConvertError(const QByteArray& text)
    : std::runtime_error("'" + text.toStdString() + "' is not a valid number") {}

float ClampValue(float v, float min, float max) {
    // A NaN (a settings file may hold "nan") is no value inside the range;
    // stored as it is it would travel on into displays and files.
    if (std::isnan(v) || v < min)
        return min;
    if (v > max)
        return max;
    return v;
}

int FromPercent(int max, float percent) {
    if (max <= 0 || std::isnan(percent) || percent <= 0.0f)
        return 0;
    if (std::isinf(percent))
        return max;
    // percent = mantissa x 2^exponent exactly, with a 24-bit integer mantissa.
    int exponent = 0;
    const float fraction = std::frexp(percent, &exponent);
    const auto mantissa = static_cast<std::int64_t>(std::ldexp(fraction, 24));
    exponent -= 24;
    // max x mantissa < 2^31 x 2^24 fits 64 bits; the product is exact.
    const std::int64_t product = std::int64_t(max) * mantissa;
    const std::int64_t limit = std::int64_t(max) * 100; // anything >= limit gives max
    std::int64_t whole = 0;
    bool hasFraction = false;
    if (exponent >= 0) {
        if (exponent > 40 || product > (limit >> exponent))
            return max;
        whole = product << exponent;
    } else {
        const int shift = -exponent;
        if (shift >= 63) {
            whole = 0;
            hasFraction = true;
        } else {
            whole = product >> shift;
            hasFraction = (product & ((std::int64_t(1) << shift) - 1)) != 0;
        }
    }
    if (whole >= limit)
        return max;
    // value / 100 = quotient + (remainder + fraction) / 100; a tie is only
    // possible when there is no fraction and the remainder is exactly 50.
    std::int64_t quotient = whole / 100;
    const std::int64_t remainder = whole % 100;
    if (remainder > 50 || (remainder == 50 && (hasFraction || (quotient & 1))))
        ++quotient;
    return quotient > max ? max : static_cast<int>(quotient);
}

float ToPercent(int value, int max) {
    if (max <= 0)
        return 0.0f;
    const float p = static_cast<float>(double(value) * 100.0 / double(max));
    return ClampValue(p, 0.0f, 100.0f);
}

namespace {

QByteArray Trimmed(const QByteArray& text) {
    return text.trimmed();
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

quint64 ParseHex(const QByteArray& text, int maxDigits) {
    const QByteArray t = Trimmed(text);
    if (t.isEmpty())
        throw EConvertError(text);
    // Leading zeros carry no value, so only the digits after them count
    // against the width.
    quint64 value = 0;
    int significant = 0;
    for (char c : t) {
        const int d = HexDigit(c);
        if (d < 0)
            throw EConvertError(text);
        if (significant == 0 && d == 0)
            continue;
        if (++significant > maxDigits)
            throw EConvertError(text);
        value = (value << 4) | quint64(d);
    }
    return value;
}

} // namespace

int ParseDecimal(const QByteArray& text) {
    const QByteArray t = Trimmed(text);
    int i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
        negative = t[i] == '-';
        ++i;
    }
    if (i >= t.size())
        throw EConvertError(text);
    std::int64_t value = 0;
    for (; i < t.size(); ++i) {
        const char c = t[i];
        if (c < '0' || c > '9')
            throw EConvertError(text);
        value = value * 10 + (c - '0');
        if (value > std::int64_t(INT32_MAX) + 1)
            throw EConvertError(text);
    }
    if (negative)
        value = -value;
    if (value > INT32_MAX || value < INT32_MIN)
        throw EConvertError(text);
    return static_cast<int>(value);
}

quint32 ParseHex32(const QByteArray& text) {
    return static_cast<quint32>(ParseHex(text, 8));
}

quint64 ParseHex64(const QByteArray& text) {
    return ParseHex(text, 16);
}

float ParseFraction(const QByteArray& text) {
    const QByteArray t = Trimmed(text);
    // Digits with at most one "." and an optional sign; no exponent, no
    // locale: the laser always writes "2.10".
    int i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-'))
        ++i;
    int digits = 0;
    int points = 0;
    for (; i < t.size(); ++i) {
        if (t[i] >= '0' && t[i] <= '9')
            ++digits;
        else if (t[i] == '.')
            ++points;
        else
            throw EConvertError(text);
    }
    if (digits == 0 || points > 1)
        throw EConvertError(text);
    bool ok = false;
    const double value = t.toDouble(&ok);
    if (!ok)
        throw EConvertError(text);
    return static_cast<float>(value);
}

QByteArray WithDecimal(const char* prefix, qint64 value, int digits) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%s%.*lld", prefix, digits, static_cast<long long>(value));
    return QByteArray(buffer);
}

QByteArray WithHex(const char* prefix, quint64 value, int digits) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%s%.*llX", prefix, digits,
                  static_cast<unsigned long long>(value));
    return QByteArray(buffer);
}
