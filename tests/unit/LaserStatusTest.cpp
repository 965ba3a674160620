#include "laser/StatusTables.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {
const TStatusTable& General() {
    return StatusTableOf(TStatusFamily::General);
}
const TStatusTable& FamilyA() {
    return StatusTableOf(TStatusFamily::A);
}
const TStatusTable& FamilyB() {
    return StatusTableOf(TStatusFamily::B);
}
const TStatusTable& FamilyC() {
    return StatusTableOf(TStatusFamily::C);
}
} // namespace

TEST(LaserStatusDecode, ZeroTableSetsEveryDerivedBit) {
    const TStatusTable zero{};
    EXPECT_EQ(DecodeStatus(0, zero), 0x1FFF);
    EXPECT_EQ(DecodeStatus(0xFFFFFFFF, zero), 0x1FFF);
}

TEST(LaserStatusDecode, KindsOfEntries) {
    TStatusTable table{};
    for (auto& e : table)
        e = {0, 0, 3}; // never
    table[0] = {0x6, 0x2, 2};
    table[1] = {0x6, 0, 1};
    table[2] = {0x6, 0, 0};
    EXPECT_EQ(DecodeStatus(0x2, table), 0x3);
    EXPECT_EQ(DecodeStatus(0x6, table), 0x2);
    EXPECT_EQ(DecodeStatus(0x1, table), 0x4);
}

TEST(LaserStatusDecode, GeneralLayout) {
    EXPECT_EQ(DecodeStatus(0x600010, General()), lsOn | lsOkToFire | lsOkToStart);
    EXPECT_EQ(DecodeStatus(0x80000, General()), lsCoolantLow);
    EXPECT_EQ(DecodeStatus(0xF, General()), lsFlow | lsTemp | lsExt | lsWork);
    EXPECT_EQ(DecodeStatus(0x20, General()), lsFire | lsOkToStart);
    EXPECT_EQ(DecodeStatus(0x80, General()), lsRemote);
    // OK_TO_FIRE needs both the ready bit and the supply.
    EXPECT_EQ(DecodeStatus(0x400000, General()), lsOkToStart);
}

TEST(LaserStatusDecode, FamilyABurstLock) {
    EXPECT_EQ(DecodeStatus(0x10, FamilyA()), lsOn | lsBurstLock | lsOkToStart);
    EXPECT_EQ(DecodeStatus(0x400010, FamilyA()), lsOn | lsOkToFire | lsOkToStart);
    EXPECT_EQ(DecodeStatus(0x30, FamilyA()), lsOn | lsFire | lsOkToStart);
    EXPECT_EQ(DecodeStatus(0x80000, FamilyA()), 0);
}

TEST(LaserStatusDecode, FamilyBLayout) {
    EXPECT_EQ(DecodeStatus(0x10, FamilyB()), lsFlow);
    EXPECT_EQ(DecodeStatus(0x20, FamilyB()), lsTemp);
    EXPECT_EQ(DecodeStatus(0x80000, FamilyB()), lsTemp); // chiller failure
    EXPECT_EQ(DecodeStatus(0x8, FamilyB()), lsExt);
    EXPECT_EQ(DecodeStatus(0x4, FamilyB()), lsWork);
    EXPECT_EQ(DecodeStatus(0x400100, FamilyB()), lsOn | lsOkToFire | lsOkToStart);
    EXPECT_EQ(DecodeStatus(0x6000, FamilyB()), lsFire | lsStart);
}

TEST(LaserStatusDecode, FamilyCLayout) {
    EXPECT_EQ(DecodeStatus(0x80000, FamilyC()), lsFlow); // chiller error
    EXPECT_EQ(DecodeStatus(0x1, FamilyC()), lsFlow);
    EXPECT_EQ(DecodeStatus(0x40, FamilyC()), lsTemp); // LD2 fault
    EXPECT_EQ(DecodeStatus(0x400100, FamilyC()), lsOn | lsOkToFire | lsOkToStart);
}

TEST(LaserStatusDecode, ResetInEveryFamily) {
    for (auto family :
         {TStatusFamily::General, TStatusFamily::A, TStatusFamily::B, TStatusFamily::C}) {
        EXPECT_TRUE(DecodeStatus(0x800000, StatusTableOf(family)) & lsReset);
        EXPECT_FALSE(DecodeStatus(0x0, StatusTableOf(family)) & lsReset);
    }
}

TEST(LaserStatusDecode, FamilyOfEachType) {
    EXPECT_EQ(StatusFamilyOfType(2), TStatusFamily::A);
    EXPECT_EQ(StatusFamilyOfType(6), TStatusFamily::A);
    EXPECT_EQ(StatusFamilyOfType(7), TStatusFamily::A);
    EXPECT_EQ(StatusFamilyOfType(5), TStatusFamily::B);
    EXPECT_EQ(StatusFamilyOfType(8), TStatusFamily::C);
    for (int type : {0, 1, 3, 4, 9, 200})
        EXPECT_EQ(StatusFamilyOfType(type), TStatusFamily::General) << type;
}

TEST(LaserStatusRules, Type8DropsDiodeFaultsWhileShutterClosed) {
    quint32 raw = 0x10060;
    EXPECT_FALSE(DeriveStatus(raw, FamilyC(), 8, 2.1f) & lsTemp);
    EXPECT_EQ(raw, 0x10000u);
    raw = 0x10070;
    EXPECT_TRUE(DeriveStatus(raw, FamilyC(), 8, 2.1f) & lsTemp);
    EXPECT_EQ(raw, 0x10070u);
    // Other types keep the bits.
    raw = 0x60;
    DeriveStatus(raw, General(), 3, 2.1f);
    EXPECT_EQ(raw, 0x60u);
}

TEST(LaserStatusRules, Type5OldFirmwareMayAlwaysStart) {
    quint32 raw = 0;
    EXPECT_EQ(DeriveStatus(raw, FamilyB(), 5, 1.5f), lsOkToStart);
    raw = 0x4;
    EXPECT_EQ(DeriveStatus(raw, FamilyB(), 5, 1.5f), lsWork);
    raw = 0x10; // flow does not block it
    EXPECT_EQ(DeriveStatus(raw, FamilyB(), 5, 1.5f), lsFlow | lsOkToStart);
    raw = 0;
    EXPECT_EQ(DeriveStatus(raw, FamilyB(), 5, 2.0f), 0);
}

TEST(LaserStatusRules, CanFire) {
    EXPECT_TRUE(CanFireWith(lsOn | lsOkToFire | lsOkToStart, 3, 0x600010));
    EXPECT_FALSE(CanFireWith(lsOn | lsBurstLock | lsOkToStart, 2, 0x10));
    EXPECT_TRUE(CanFireWith(lsOn | lsOkToFire | lsOkToStart, 2, 0x400010));
    EXPECT_FALSE(CanFireWith(lsOn, 0, 0x10)); // type 0 never
    EXPECT_FALSE(CanFireWith(lsOn | lsFlow, 3, 0x11));
    EXPECT_FALSE(CanFireWith(lsOn | lsStart, 3, 0x50));
    EXPECT_FALSE(CanFireWith(lsOkToStart, 3, 0));
    // Type 8 also needs the run temperature.
    EXPECT_FALSE(CanFireWith(lsOn | lsOkToStart, 8, 0x100));
    EXPECT_TRUE(CanFireWith(lsOn | lsOkToStart, 8, 0x10100));
}

TEST(LaserStatusNames, TablesAreCompleteAndDistinct) {
    std::set<std::string> derived(DerivedStatusNames.begin(), DerivedStatusNames.end());
    EXPECT_EQ(derived.size(), std::size_t(DerivedStatusBits));
    EXPECT_STREQ(RawStatusNamesGeneral[20], "MOTOR_MOVING");
    EXPECT_STREQ(RawStatusNamesFamilyC[16], "RUN_TEMP_OK");
    EXPECT_STREQ(FamilyCStatusLabels[11], "Variable");
    for (std::size_t i = 21; i < 24; ++i) {
        EXPECT_STREQ(RawStatusNamesGeneral[i], RawStatusNamesFamilyB[i]);
        EXPECT_STREQ(RawStatusNamesGeneral[i], RawStatusNamesFamilyC[i]);
    }
}
