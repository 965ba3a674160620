// Version numbers and the version strings of an executable.

#include "support/QStringPrint.h"
#include "support/VersionBlockFile.h"
#include "version/GetNewVersion.h"
#include "version/VersionNumbers.h"
#include "version/rpVersionInfo.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TEST(VersionToNumber, ReadsTheTextRightToLeftAsItAlwaysHas) {
    EXPECT_EQ(TGetNewVersion::VersionToNumber("1.1.5.0"), 11500.0f);
    EXPECT_EQ(TGetNewVersion::VersionToNumber("1.2.0.0"), 12000.0f);
    // The digits of a longer component come out reversed.
    EXPECT_EQ(TGetNewVersion::VersionToNumber("1.12.0.0"), 310000.0f);
    EXPECT_EQ(TGetNewVersion::VersionToNumber("1.21.0.0"), 220000.0f);
    EXPECT_EQ(TGetNewVersion::VersionToNumber(""), 0.0f);
    EXPECT_EQ(TGetNewVersion::VersionToNumber("7"), 70.0f);
    EXPECT_THROW(TGetNewVersion::VersionToNumber("1.2b"), std::invalid_argument);
    EXPECT_THROW(TGetNewVersion::VersionToNumber(" 1.2"), std::invalid_argument);
}

TEST(CompareVersions, ComponentsCountAsWholeNumbersLeftToRight) {
    using version::CompareVersions;
    EXPECT_EQ(CompareVersions("1.21", "1.12"), 1);
    EXPECT_EQ(CompareVersions("1.12", "1.21"), -1);
    EXPECT_EQ(CompareVersions("1.10", "1.9"), 1);
    EXPECT_EQ(CompareVersions("2.0.0.0", "1.99.99.99"), 1);
    // Missing, empty and zero-led components.
    EXPECT_EQ(CompareVersions("1.1.5", "1.1.5.0"), 0);
    EXPECT_EQ(CompareVersions("1.1.5.0.1", "1.1.5"), 1);
    EXPECT_EQ(CompareVersions("1..5", "1.0.5"), 0);
    EXPECT_EQ(CompareVersions("1.01", "1.1"), 0);
    EXPECT_EQ(CompareVersions("", "0.0"), 0);
    // Longer than any integer type.
    EXPECT_EQ(CompareVersions("1.100000000000000000000000", "1.99999999999999999999999"), 1);
    EXPECT_EQ(CompareVersions("1.000000000000000000000000009", "1.9"), 0);
    // Anything but digits and dots gives no order.
    EXPECT_EQ(CompareVersions("2.0-beta", "1.0"), 0);
    EXPECT_EQ(CompareVersions("1.0", "v2"), 0);
}

TEST(TrpVersionInfo, ReadsTheBlockThisProgramCarries) {
    // This test binary carries the block the build embeds in every program.
    const TrpVersionInfo info;
    EXPECT_EQ(info.FileVersion(), TREVALON_FILE_VERSION);
    EXPECT_EQ(info.ProductName(), "Trevalon");
    // Stored as "OriginalFilename" and "LegalTradeMarks": names match
    // without regard to case.
    EXPECT_EQ(info.OriginalFileName(), "trevalon");
    EXPECT_EQ(info.LegalTradeMark(), "");
    EXPECT_FALSE(info.CompanyName().isEmpty());
    EXPECT_FALSE(info.LegalCopyright().isEmpty());
    EXPECT_THROW(info.GetVersionString(static_cast<TVersionType>(10)), std::out_of_range);
    EXPECT_THROW(info.GetVersionString(static_cast<TVersionType>(-1)), std::out_of_range);
}

TEST(TrpVersionInfo, OnlyTheUSEnglishTranslationCounts) {
    QTemporaryDir dir;
    const QString german = dir.filePath("german");
    ASSERT_TRUE(WriteVersionBlockFile(german, {{"FileVersion", "1.1.5.0"}, {"ProductName", "X"}},
                                      "040704B0"));
    const TrpVersionInfo none(german);
    for (int type = vtCompanyName; type <= vtComments; ++type)
        EXPECT_EQ(none.GetVersionString(TVersionType(type)), "") << type;

    const QString partial = dir.filePath("partial");
    ASSERT_TRUE(WriteVersionBlockFile(partial, {{"fileversion", "1.1.5.0"}}));
    const TrpVersionInfo some(partial);
    EXPECT_EQ(some.FileVersion(), "1.1.5.0");
    EXPECT_EQ(some.ProductName(), "");
}

TEST(ReadOwnVersionStrings, FourStringsInTheirOrder) {
    QTemporaryDir dir;
    const QString program = dir.filePath("trevalon");
    ASSERT_TRUE(WriteProgramFile(program, "1.1.5.3"));
    EXPECT_EQ(TGetNewVersion::ReadOwnVersionStrings(program),
              QStringList({"1.1.5.3", "(C) Corvane", "Trevalon", "1.1.5.3"}));
    EXPECT_TRUE(TGetNewVersion::ReadOwnVersionStrings(dir.filePath("absent")).isEmpty());
}

} // namespace
