// The version texts of the new-version check, from any text: the dotted
// comparison is reflexive and antisymmetric, transitive on version texts,
// ignores trailing ".0" components and leading zeros, and agrees with
// VersionToNumber where that number orders versions (one-digit components,
// as many on each side); VersionToNumber refuses exactly the texts that are
// not digits and dots.

#include "FuzzCheck.h"
#include "version/VersionNumbers.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QString>
#include <QStringList>

#include <stdexcept>

namespace {

bool IsVersionText(const QString& text) {
    for (const QChar c : text) {
        if (c != QLatin1Char('.') && (c < QLatin1Char('0') || c > QLatin1Char('9')))
            return false;
    }
    return true;
}

// One digit in each of at most seven components: VersionToNumber is exact
// for these and orders them like the comparison.
bool IsShortVersion(const QString& text) {
    if (!IsVersionText(text) || text.isEmpty())
        return false;
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() > 7)
        return false;
    for (const QString& part : parts) {
        if (part.size() != 1)
            return false;
    }
    return true;
}

void CheckNumber(const QString& text) {
    bool refused = false;
    float number = 0;
    try {
        number = version::VersionToNumber(text);
    } catch (const std::invalid_argument&) {
        refused = true;
    }
    FUZZ_REQUIRE(refused == !IsVersionText(text));
    if (!refused)
        FUZZ_REQUIRE(!(number < 0));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const QString a = QString::fromUtf8(input.ConsumeRandomLengthString(40));
    const QString b = QString::fromUtf8(input.ConsumeRandomLengthString(40));
    const QString c = QString::fromUtf8(input.ConsumeRemainingBytesAsString());

    for (const QString& text : {a, b, c}) {
        CheckNumber(text);
        FUZZ_REQUIRE(version::CompareVersions(text, text) == 0);
    }
    const int ab = version::CompareVersions(a, b);
    const int bc = version::CompareVersions(b, c);
    const int ac = version::CompareVersions(a, c);
    FUZZ_REQUIRE(ab >= -1 && ab <= 1);
    FUZZ_REQUIRE(version::CompareVersions(b, a) == -ab);
    FUZZ_REQUIRE(version::CompareVersions(c, b) == -bc);
    if (IsVersionText(a) && IsVersionText(b) && IsVersionText(c)) {
        if (ab <= 0 && bc <= 0)
            FUZZ_REQUIRE(ac <= 0);
        if (ab >= 0 && bc >= 0)
            FUZZ_REQUIRE(ac >= 0);
        FUZZ_REQUIRE(version::CompareVersions(a, a + QStringLiteral(".0")) == 0);
        FUZZ_REQUIRE(version::CompareVersions(QStringLiteral("0") + a, a) == 0);
    } else if (!IsVersionText(a) || !IsVersionText(b)) {
        FUZZ_REQUIRE(ab == 0);
    }
    if (IsShortVersion(a) && IsShortVersion(b) && a.size() == b.size()) {
        const float na = version::VersionToNumber(a);
        const float nb = version::VersionToNumber(b);
        FUZZ_REQUIRE(ab == (na < nb ? -1 : (na > nb ? 1 : 0)));
    }
    return 0;
}
