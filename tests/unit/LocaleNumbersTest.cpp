#include "platform/LocaleNumbers.h"

#include <QByteArray>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

namespace {

using platform::TLocaleNumbers;

const TLocaleNumbers Comma(QStringLiteral("de_DE.UTF-8"));
const TLocaleNumbers Point(QStringLiteral("en_US.UTF-8"));

// Sets the three locale variables for one test and puts them back after it.
class LocaleEnvironment {
public:
    LocaleEnvironment(const char* all, const char* numeric, const char* lang) {
        Set("LC_ALL", all);
        Set("LC_NUMERIC", numeric);
        Set("LANG", lang);
    }
    ~LocaleEnvironment() {
        for (int i = 0; i < 3; ++i) {
            if (FHad[i])
                qputenv(Names[i], FSaved[i]);
            else
                qunsetenv(Names[i]);
        }
    }

private:
    void Set(const char* name, const char* value) {
        const int i = FCount++;
        FHad[i] = qEnvironmentVariableIsSet(name);
        FSaved[i] = qgetenv(name);
        if (value)
            qputenv(name, value);
        else
            qunsetenv(name);
    }

    static constexpr const char* Names[3] = {"LC_ALL", "LC_NUMERIC", "LANG"};
    int FCount = 0;
    bool FHad[3] = {};
    QByteArray FSaved[3];
};

TEST(LocaleNumbers, TheEnvironmentNamesTheLocaleLcAllFirst) {
    {
        LocaleEnvironment env("", "de_DE.UTF-8", "en_US.UTF-8");
        EXPECT_EQ(TLocaleNumbers::FromEnvironment().DecimalSeparator(), ",");
    }
    {
        LocaleEnvironment env("C", "de_DE.UTF-8", "de_DE.UTF-8");
        EXPECT_EQ(TLocaleNumbers::FromEnvironment().DecimalSeparator(), ".");
    }
    {
        LocaleEnvironment env(nullptr, nullptr, "de_DE@euro");
        EXPECT_EQ(TLocaleNumbers::FromEnvironment().DecimalSeparator(), ",");
    }
    {
        LocaleEnvironment env(nullptr, nullptr, nullptr);
        EXPECT_EQ(TLocaleNumbers::FromEnvironment().DecimalSeparator(), ".");
    }
    EXPECT_EQ(TLocaleNumbers("POSIX").DecimalSeparator(), ".");
    EXPECT_EQ(TLocaleNumbers("xx_YY").DecimalSeparator(), ".");
}

TEST(LocaleNumbers, FloatsAreWrittenAsTheirWidenedDecimalExpansion) {
    EXPECT_EQ(Comma.FromDouble(double(57.2f)), "57,2000007629395");
    EXPECT_EQ(Point.FromDouble(double(33.3f)), "33.2999992370605");
    EXPECT_EQ(Comma.FromDouble(50), "50");
    EXPECT_EQ(Comma.FromDouble(-0.0), "0");
    EXPECT_EQ(Comma.FromDouble(-12.5), "-12,5");
    EXPECT_EQ(Point.FromDouble(1.5e20), "1.5e+20");
    EXPECT_THROW(Point.FromDouble(std::numeric_limits<double>::quiet_NaN()), std::invalid_argument);
    EXPECT_THROW(Point.FromDouble(-std::numeric_limits<double>::infinity()), std::invalid_argument);
}

TEST(LocaleNumbers, EveryFloatComesBackExactly) {
    for (const float value : {0.1f, 33.3f, 57.2f, 99.99f, 1e-6f, -90.5f, 100.0f, 3.4e38f}) {
        const std::optional<double> back = Comma.ToDouble(Comma.FromDouble(double(value)));
        ASSERT_TRUE(back.has_value()) << value;
        EXPECT_EQ(float(*back), value);
    }
}

TEST(LocaleNumbers, OnlyTheLocalesSeparatorAndNoGroupingIsRead) {
    EXPECT_EQ(Comma.ToDouble(" 12,5 "), 12.5);
    EXPECT_EQ(Comma.ToDouble("-,5"), -0.5);
    EXPECT_EQ(Comma.ToDouble("+3,"), 3.0);
    EXPECT_EQ(Comma.ToDouble("1,5E2"), 150.0);
    EXPECT_EQ(TLocaleNumbers("sv_SE.UTF-8").ToDouble(QString::fromUtf8("\u22123,5")), -3.5);
    // A file from a machine with the other separator.
    EXPECT_FALSE(Comma.ToDouble("1.234"));
    EXPECT_FALSE(Point.ToDouble("1,234"));
    EXPECT_FALSE(Point.ToDouble("1,234.5"));
    for (const char* text :
         {"", " ", "abc", "12abc", "1,2,3", ",", "1e", "e5", "- 1", "0x10", "inf", "nan", "1e400"})
        EXPECT_FALSE(Comma.ToDouble(text)) << text;
}

} // namespace
