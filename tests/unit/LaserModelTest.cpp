#include "laser/LaserModel.h"
#include "laser/LaserError.h"

#include <gtest/gtest.h>

TEST(LaserErrorTable, CodesIndexTheirRows) {
    for (int code = 0; code < LaserErrorCount; ++code) {
        EXPECT_EQ(LaserErrors()[std::size_t(code)].Code, code);
        const ELaserError e(code);
        EXPECT_EQ(e.ErrorCode(), code);
        EXPECT_STREQ(e.what(), LaserErrors()[std::size_t(code)].Message);
    }
    EXPECT_EQ(ELaserError(9).Message(),
              QStringLiteral("Need to update laser firmware to V1.2 or later"));
    EXPECT_EQ(ELaserError(6).Message(), QStringLiteral("Invalid mode - must be in RS232 mode"));
    EXPECT_EQ(ELaserError(42).ErrorCode(), 0);
}

TEST(LaserErrorTable, ErrorReplies) {
    EXPECT_TRUE(IsErrorReply("?1"));
    EXPECT_TRUE(IsErrorReply("?9"));
    EXPECT_TRUE(IsErrorReply("?abc"));
    EXPECT_FALSE(IsErrorReply("?"));
    EXPECT_FALSE(IsErrorReply(""));
    EXPECT_FALSE(IsErrorReply("1?"));
    EXPECT_EQ(ErrorReplyCode("?0"), 4);
    EXPECT_EQ(ErrorReplyCode("?1"), 5);
    EXPECT_EQ(ErrorReplyCode("?2"), 6);
    EXPECT_EQ(ErrorReplyCode("?3"), 7);
    EXPECT_EQ(ErrorReplyCode("?4"), 8);
    EXPECT_EQ(ErrorReplyCode("?5"), 0);
    EXPECT_EQ(ErrorReplyCode("?9"), 0);
    EXPECT_EQ(ErrorReplyCode("?x"), 0);
}

TEST(LaserModelTable, NamesAndTypeAbove8) {
    EXPECT_EQ(lasermodel::TypeName(0), QStringLiteral("unknown"));
    EXPECT_EQ(lasermodel::TypeName(5), QStringLiteral("Quelln"));
    EXPECT_EQ(lasermodel::TypeName(8), QStringLiteral("Oltrin"));
    EXPECT_EQ(lasermodel::TypeName(9), QStringLiteral("unknown"));
    EXPECT_EQ(lasermodel::TypeName(255), QStringLiteral("unknown"));
    EXPECT_EQ(lasermodel::TypeName(-1), QStringLiteral("unknown"));
}

TEST(LaserModelTable, WhatTheTypeDecides) {
    EXPECT_EQ(lasermodel::DiodeCount(0), -1);
    EXPECT_EQ(lasermodel::DiodeCount(5), 1);
    EXPECT_EQ(lasermodel::DiodeCount(8), 2);
    for (int type : {1, 2, 3, 4, 6, 7, 9})
        EXPECT_EQ(lasermodel::DiodeCount(type), 0) << type;
    EXPECT_EQ(lasermodel::RepRateUnit(5), 100);
    EXPECT_EQ(lasermodel::RepRateUnit(8), 1);
    EXPECT_EQ(lasermodel::MaxBurstCount(6), 50);
    EXPECT_EQ(lasermodel::MaxBurstCount(8), 4000);
    EXPECT_FALSE(lasermodel::NeedsFirmware12(5));
    EXPECT_FALSE(lasermodel::NeedsFirmware12(8));
    EXPECT_TRUE(lasermodel::NeedsFirmware12(2));
    EXPECT_TRUE(lasermodel::NeedsFirmware12(0));
}

TEST(LaserHarmonicCode, DecodesRangeWavelengthAndKind) {
    THarmonicEntry e;
    DecodeHarmonicCode(0x09, e);
    EXPECT_EQ(e, (THarmonicEntry{0, 1, erLow, wlGreen}));
    e = {};
    DecodeHarmonicCode(0x06, e);
    EXPECT_EQ(e, (THarmonicEntry{0, 1, erHigh, wlIR}));
    e = {};
    DecodeHarmonicCode(0x4D, e);
    EXPECT_EQ(e, (THarmonicEntry{1, 1, erLow, wlUV}));
    e = {};
    DecodeHarmonicCode(0x01, e); // no wavelength
    EXPECT_EQ(e.Valid, 0);
    e = {};
    DecodeHarmonicCode(0x31, e); // wavelength field 0x30
    EXPECT_EQ(e.Valid, 0);
    e = {};
    DecodeHarmonicCode(0x08, e); // range bits 0
    EXPECT_EQ(e.Valid, 0);
    // Range 3 and kind 0x80 leave the previous values.
    e = {1, 0, erHigh, wlUV};
    DecodeHarmonicCode(0x87, e);
    EXPECT_EQ(e, (THarmonicEntry{1, 1, erHigh, wlIR}));
}

TEST(LaserOptionsWord, FromRepliesAndType) {
    EXPECT_EQ(BuildOptions(0x3F, -1, 0, 8), loAttenuator | loApertureWidth | loApertureHeight |
                                                loHarmonicSets | loOutputRange | loMarkerAperture |
                                                loXYTheta | loVariableVoltage);
    // A polarizer takes the rotation stage.
    const TLaserOptions polar = BuildOptions(0x20, -1, 1, 8);
    EXPECT_TRUE(polar & loPolarizer);
    EXPECT_FALSE(polar & loXYTheta);
    EXPECT_FALSE(BuildOptions(0, -1, 1, 8) & loPolarizer);
    EXPECT_EQ(BuildOptions(-1, 0x7F, 0, 3), 0x0200 | 0x1000 | loLED | 0x4000 | loPulseWidth);
    EXPECT_EQ(BuildOptions(-1, -1, 0, 6), loOutputRange);
    for (int type : {2, 3, 6, 7})
        EXPECT_FALSE(BuildOptions(-1, -1, 0, type) & loVariableVoltage) << type;
    for (int type : {0, 1, 4, 5, 8, 9})
        EXPECT_TRUE(BuildOptions(-1, -1, 0, type) & loVariableVoltage) << type;
}
