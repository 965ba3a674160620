// What the laser object does with a reply: the error-reply check and its
// code, and the number parsers of its queries (decimal, 32-bit hexadecimal
// status words, 64-bit hexadecimal shot counts, firmware fractions). Each
// result is checked against the numbers' plain definition, and the wire
// formats the object writes read back to the values written.

#include "FuzzCheck.h"
#include "laser/Conversions.h"
#include "laser/LaserError.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QByteArray>

#include <cmath>
#include <cstdlib>
#include <optional>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsHexDigit(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// The digits of `t` without the leading zeros; at least one digit stays.
QByteArray Significant(const QByteArray& t) {
    qsizetype first = 0;
    while (first + 1 < t.size() && t[first] == '0')
        ++first;
    return t.mid(first);
}

std::optional<qint64> ExpectedDecimal(const QByteArray& text) {
    QByteArray t = text.trimmed();
    bool negative = false;
    if (!t.isEmpty() && (t[0] == '+' || t[0] == '-')) {
        negative = t[0] == '-';
        t.remove(0, 1);
    }
    if (t.isEmpty())
        return std::nullopt;
    for (const char c : t) {
        if (!IsDigit(c))
            return std::nullopt;
    }
    const QByteArray digits = Significant(t);
    if (digits.size() > 10)
        return std::nullopt;
    const qint64 magnitude = digits.toLongLong();
    const qint64 value = negative ? -magnitude : magnitude;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return value;
}

std::optional<quint64> ExpectedHex(const QByteArray& text, int maxDigits) {
    const QByteArray t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    for (const char c : t) {
        if (!IsHexDigit(c))
            return std::nullopt;
    }
    const QByteArray digits = Significant(t);
    if (digits.size() > maxDigits)
        return std::nullopt;
    return digits.toULongLong(nullptr, 16);
}

std::optional<float> ExpectedFraction(const QByteArray& text) {
    const QByteArray t = text.trimmed();
    qsizetype i = (!t.isEmpty() && (t[0] == '+' || t[0] == '-')) ? 1 : 0;
    int digits = 0;
    int points = 0;
    for (; i < t.size(); ++i) {
        if (IsDigit(t[i]))
            ++digits;
        else if (t[i] == '.')
            ++points;
        else
            return std::nullopt;
    }
    if (digits == 0 || points > 1)
        return std::nullopt;
    // A number beyond the range of a double does not fit.
    const double value = std::strtod(t.constData(), nullptr);
    if (std::isinf(value))
        return std::nullopt;
    return static_cast<float>(value);
}

// Runs `parse` and checks it gives `expected`, or EConvertError when there
// is no value; any other exception escapes and is a finding.
template <typename T, typename Parse>
void CheckParse(const QByteArray& text, const std::optional<T>& expected, Parse parse) {
    bool failed = false;
    T value{};
    try {
        value = parse(text);
    } catch (const EConvertError&) {
        failed = true;
    }
    FUZZ_REQUIRE(failed == !expected.has_value());
    if (!failed)
        FUZZ_REQUIRE(value == *expected);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const auto written = input.ConsumeIntegral<qint64>();
    // The object always asks for at least one digit; none would print nothing for 0.
    const int width = input.ConsumeIntegralInRange<int>(1, 20);
    const QByteArray reply = QByteArray::fromStdString(input.ConsumeRemainingBytesAsString());

    // Error replies: two or more characters starting with "?".
    const bool error = reply.size() > 1 && reply[0] == '?';
    FUZZ_REQUIRE(IsErrorReply(reply) == error);
    const int code = ErrorReplyCode(reply);
    // The code is only defined for error replies; any other gives a row of
    // the table all the same.
    if (error && reply[1] >= '0' && reply[1] <= '4')
        FUZZ_REQUIRE(code == leUnknownCommand + (reply[1] - '0'));
    else if (error)
        FUZZ_REQUIRE(code == leUnknown);
    FUZZ_REQUIRE(LaserErrorInfo(code).Code == code);
    FUZZ_REQUIRE(ELaserError(code).ErrorCode() == code);

    CheckParse<int>(reply, ExpectedDecimal(reply), ParseDecimal);
    CheckParse<quint32>(reply, ExpectedHex(reply, 8), ParseHex32);
    CheckParse<quint64>(reply, ExpectedHex(reply, 16), ParseHex64);
    const std::optional<float> fraction = ExpectedFraction(reply);
    bool fractionFailed = false;
    float parsed = 0;
    try {
        parsed = ParseFraction(reply);
    } catch (const EConvertError&) {
        fractionFailed = true;
    }
    FUZZ_REQUIRE(fractionFailed == !fraction.has_value());
    if (!fractionFailed)
        FUZZ_REQUIRE(parsed == *fraction || (parsed != parsed && *fraction != *fraction));

    // The wire formats read back to what was written.
    const auto small = static_cast<int>(written);
    FUZZ_REQUIRE(ParseDecimal(WithDecimal("", small, width)) == small);
    const QByteArray decimal = WithDecimal("RR", small, width);
    FUZZ_REQUIRE(decimal.startsWith("RR") && decimal.size() >= 2 + width);
    const auto unsignedValue = static_cast<quint64>(written);
    FUZZ_REQUIRE(ParseHex64(WithHex("", unsignedValue, width)) == unsignedValue);
    FUZZ_REQUIRE(ParseHex32(WithHex("", static_cast<quint32>(unsignedValue), width)) ==
                 static_cast<quint32>(unsignedValue));
    return 0;
}
