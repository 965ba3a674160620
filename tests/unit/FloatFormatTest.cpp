#include "controls/FloatFormat.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(FormatFloat, WidthPrecisionAndSurroundingText) {
    EXPECT_EQ(FormatFloat("%5.2f", 0.0), " 0.00");
    EXPECT_EQ(FormatFloat("%.2f", 7.0), "7.00");
    EXPECT_EQ(FormatFloat("%5.2f", 100.0), "100.00");
    EXPECT_EQ(FormatFloat("Rate %6.1f Hz", 12.25), "Rate   12.2 Hz");
    EXPECT_EQ(FormatFloat("%-6.1f|", 2.0), "2.0   |");
    EXPECT_EQ(FormatFloat("%+.1e", 1500.0), "+1.5e+03");
    EXPECT_EQ(FormatFloat("%.0f%%", 50.0), "50%");
    EXPECT_EQ(FormatFloat("%lf", 0.5), "0.500000");
}

TEST(FormatFloat, ConversionsOtherThanOneFloatAreShownAsWritten) {
    // Nothing but one floating conversion ever reaches printf.
    EXPECT_EQ(FormatFloat("%s", 1.0), "%s");
    EXPECT_EQ(FormatFloat("%d items", 1.0), "%d items");
    EXPECT_EQ(FormatFloat("%n", 1.0), "%n");
    EXPECT_EQ(FormatFloat("%.1f %.1f", 1.0), "1.0 %.1f");
    EXPECT_EQ(FormatFloat("%*f", 1.0), "%*f");
    EXPECT_EQ(FormatFloat("%.1000f", 1.0), "%.1000f");
    EXPECT_EQ(FormatFloat("100%", 1.0), "100%");
    EXPECT_EQ(FormatFloat("", 1.0), "");
}

TEST(ParseFloat, AcceptsSignedDecimalsWithExponent) {
    EXPECT_EQ(ParseFloat("12.5"), 12.5);
    EXPECT_EQ(ParseFloat("  \t7\r\n"), 7.0);
    EXPECT_EQ(ParseFloat("+3"), 3.0);
    EXPECT_EQ(ParseFloat("-0.25"), -0.25);
    EXPECT_EQ(ParseFloat(".5"), 0.5);
    EXPECT_EQ(ParseFloat("5."), 5.0);
    EXPECT_EQ(ParseFloat("1e3"), 1000.0);
    EXPECT_EQ(ParseFloat("2.5E-1"), 0.25);
    EXPECT_EQ(ParseFloat("1e+2"), 100.0);
}

TEST(ParseFloat, RefusesWhatIsNotANumber) {
    for (const char* text : {"", " ", "1e", "e5", "--3", "+-3", "1,5", "1.2.3", "inf", "nan",
                             "0x10", "5 5", "abc", "."})
        EXPECT_FALSE(ParseFloat(QString::fromLatin1(text)).has_value()) << text;
    EXPECT_FALSE(ParseFloat(QString::fromUtf8("\u0663")).has_value()); // an Arabic-Indic three
}

TEST(ParseFloat, OutOfRangeSaturates) {
    EXPECT_TRUE(std::isinf(*ParseFloat("1e400")));
    EXPECT_LT(*ParseFloat("-1e400"), 0.0);
    EXPECT_EQ(*ParseFloat("1e-400"), 0.0);
}
