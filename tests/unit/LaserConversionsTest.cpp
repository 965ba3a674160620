#include "laser/Conversions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(LaserFromPercent, ExactHalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(FromPercent(255, 50.0f), 128); // 127.5
    EXPECT_EQ(FromPercent(255, 10.0f), 26);  // 25.5
    EXPECT_EQ(FromPercent(255, 25.0f), 64);  // 63.75
    EXPECT_EQ(FromPercent(255, 30.0f), 76);  // 76.5 -> even 76
    EXPECT_EQ(FromPercent(100, 12.5f), 12);  // 12.5 -> even 12
    EXPECT_EQ(FromPercent(100, 13.5f), 14);
    EXPECT_EQ(FromPercent(200, 50.0f), 100);
}

TEST(LaserFromPercent, NearHalvesAreNotTies) {
    // 0.1 as a single is slightly above 0.1, so 255 x 0.1 / 100 is just above 0.255...
    // and 2550 x float(0.1)/100 a little above 2.55: it must not be treated as a tie.
    const float justAbove = std::nextafter(10.0f, 100.0f);
    const float justBelow = std::nextafter(10.0f, 0.0f);
    EXPECT_EQ(FromPercent(255, justAbove), 26);
    EXPECT_EQ(FromPercent(255, justBelow), 25);
    EXPECT_EQ(FromPercent(100, std::nextafter(12.5f, 100.0f)), 13);
    EXPECT_EQ(FromPercent(100, std::nextafter(12.5f, 0.0f)), 12);
}

TEST(LaserFromPercent, LimitsToZeroAndMax) {
    EXPECT_EQ(FromPercent(255, -5.0f), 0);
    EXPECT_EQ(FromPercent(255, 150.0f), 255);
    EXPECT_EQ(FromPercent(255, 100.0f), 255);
    EXPECT_EQ(FromPercent(255, 0.0f), 0);
    EXPECT_EQ(FromPercent(255, 1e30f), 255);
    EXPECT_EQ(FromPercent(255, std::numeric_limits<float>::infinity()), 255);
    EXPECT_EQ(FromPercent(255, std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(FromPercent(255, 1e-30f), 0);
    EXPECT_EQ(FromPercent(0, 50.0f), 0);
    EXPECT_EQ(FromPercent(std::numeric_limits<int>::max(), 100.0f),
              std::numeric_limits<int>::max());
}

TEST(LaserToPercent, ScalesAndLimits) {
    EXPECT_NEAR(ToPercent(254, 255), 99.6f, 0.01f);
    EXPECT_FLOAT_EQ(ToPercent(100, 200), 50.0f);
    EXPECT_FLOAT_EQ(ToPercent(-1, 200), 0.0f);
    EXPECT_FLOAT_EQ(ToPercent(300, 200), 100.0f);
    // A blade without travel: no division by zero.
    EXPECT_FLOAT_EQ(ToPercent(10, 0), 0.0f);
}

TEST(LaserClampValue, KeepsInsideRange) {
    EXPECT_FLOAT_EQ(ClampValue(-1.0f, 0.0f, 100.0f), 0.0f);
    EXPECT_FLOAT_EQ(ClampValue(101.0f, 0.0f, 100.0f), 100.0f);
    EXPECT_FLOAT_EQ(ClampValue(42.5f, 0.0f, 100.0f), 42.5f);
    // The percent setters store what this gives: never a NaN.
    EXPECT_FLOAT_EQ(ClampValue(std::numeric_limits<float>::quiet_NaN(), 0.0f, 100.0f), 0.0f);
}

TEST(LaserParse, DecimalAcceptsSignRejectsGarbage) {
    EXPECT_EQ(ParseDecimal("8"), 8);
    EXPECT_EQ(ParseDecimal("-12"), -12);
    EXPECT_EQ(ParseDecimal("+20"), 20);
    EXPECT_EQ(ParseDecimal(" 20 "), 20);
    EXPECT_EQ(ParseDecimal("-2147483648"), std::numeric_limits<int>::min());
    EXPECT_THROW(ParseDecimal(""), EConvertError);
    EXPECT_THROW(ParseDecimal("-"), EConvertError);
    EXPECT_THROW(ParseDecimal("12a"), EConvertError);
    EXPECT_THROW(ParseDecimal("1.5"), EConvertError);
    EXPECT_THROW(ParseDecimal("2147483648"), EConvertError);
    EXPECT_THROW(ParseDecimal("99999999999999999999"), EConvertError);
}

TEST(LaserParse, HexEitherCaseAndWidth) {
    EXPECT_EQ(ParseHex32("600010"), 0x600010u);
    EXPECT_EQ(ParseHex32("1f4"), 0x1F4u);
    EXPECT_EQ(ParseHex32("FFFFFFFF"), 0xFFFFFFFFu);
    EXPECT_THROW(ParseHex32("100000000"), EConvertError);
    EXPECT_EQ(ParseHex32("0000600010"), 0x600010u);
    EXPECT_EQ(ParseHex32("000"), 0u);
    EXPECT_THROW(ParseHex32("000100000000"), EConvertError);
    EXPECT_THROW(ParseHex32("XYZ"), EConvertError);
    EXPECT_THROW(ParseHex32(""), EConvertError);
    EXPECT_THROW(ParseHex32("-1"), EConvertError);
    EXPECT_EQ(ParseHex64("123456789ABCDEF0"), 0x123456789ABCDEF0ull);
    EXPECT_EQ(ParseHex64("00FFFFFFFFFFFFFFFF"), ~0ull);
    EXPECT_THROW(ParseHex64("10000000000000000"), EConvertError);
}

TEST(LaserParse, FirmwareFraction) {
    EXPECT_FLOAT_EQ(ParseFraction("2.10"), 2.1f);
    EXPECT_FLOAT_EQ(ParseFraction("1.2"), 1.2f);
    EXPECT_FLOAT_EQ(ParseFraction("2"), 2.0f);
    EXPECT_THROW(ParseFraction("V2.1"), EConvertError);
    EXPECT_THROW(ParseFraction("2,1"), EConvertError);
    EXPECT_THROW(ParseFraction("1.2.3"), EConvertError);
    EXPECT_THROW(ParseFraction("1e5"), EConvertError);
    EXPECT_THROW(ParseFraction(""), EConvertError);
}

TEST(LaserWireFormat, ZeroPaddedDecimalAndHex) {
    EXPECT_EQ(WithDecimal("RR", 50, 5), "RR00050");
    EXPECT_EQ(WithDecimal("RR", 1, 3), "RR001");
    EXPECT_EQ(WithDecimal("RR", 123456, 3), "RR123456"); // nothing is cut
    EXPECT_EQ(WithDecimal("SR-", 5, 2), "SR-05");
    EXPECT_EQ(WithDecimal("SR+", 123, 2), "SR+123");
    EXPECT_EQ(WithDecimal("HS", 12), "HS12");
    EXPECT_EQ(WithDecimal("MO", 0), "MO0");
    EXPECT_EQ(WithDecimal("SR-", 2147483648LL, 2), "SR-2147483648");
    EXPECT_EQ(WithHex("ER", 0x0F90, 4), "ER0F90");
    EXPECT_EQ(WithHex("ER", 0x1ABCD, 4), "ER1ABCD");
}
