// The simulated laser's own logic: each family's raw status layout, the
// command forms it accepts and refuses, and what ends by itself in time.
// Time is driven: every call takes the simulator's clock as an argument.

#include "SimLaser.h"

#include <gtest/gtest.h>

using lasersim::TSimLaser;

namespace {

QByteArray Ask(TSimLaser& laser, const QByteArray& command, qint64 now = 0) {
    return laser.Handle(command, now).value_or("<silent>");
}

void Configure(TSimLaser& laser, const QByteArray& name, const QByteArray& value) {
    ASSERT_EQ(laser.Set(name, value, 0), QByteArray()) << name.constData();
}

// A laser of the given type under serial control, warmed up at once.
TSimLaser ReadyLaser(int type) {
    TSimLaser laser;
    laser.Set("type", QByteArray::number(type), 0);
    laser.Set("start-time", "0", 0);
    laser.Set("motor-time", "300", 0);
    EXPECT_EQ(Ask(laser, "SM1"), "ok");
    return laser;
}

} // namespace

TEST(SimStatusLayout, PowerOnReadyWordPerFamily) {
    // One shot mode (bit 10), RS232 (bit 7), OK to start (21) and OK to fire
    // (22) sit alike in every layout; "on" is bit 4 in the general layout and
    // family A, bit 8 in families B and C; family C adds RUN_TEMP_OK (16).
    const struct {
        int Type;
        quint32 Off;
        quint32 On;
    } cases[] = {
        {1, 0x200480, 0x600490}, {2, 0x200480, 0x600490}, {5, 0x200480, 0x600580},
        {8, 0x210480, 0x610580}, {0, 0x200480, 0x600490}, {4, 0x200480, 0x600490},
    };
    for (const auto& c : cases) {
        TSimLaser laser = ReadyLaser(c.Type);
        EXPECT_EQ(laser.RawStatus(0), c.Off) << "type " << c.Type;
        ASSERT_EQ(Ask(laser, "ON"), "ok");
        EXPECT_EQ(laser.RawStatus(0), c.On) << "type " << c.Type;
        EXPECT_EQ(Ask(laser, "SS"), QByteArray::number(c.On, 16).toUpper());
    }
}

TEST(SimStatusLayout, InterlocksAndFaultsLandOnEachFamilysBits) {
    const struct {
        int Type;
        const char* Interlock;
        quint32 Bit;
    } cases[] = {
        {1, "flow", 0x1}, {1, "temp", 0x2},  {1, "ext", 0x4},   {1, "work", 0x8}, {6, "flow", 0x1},
        {6, "work", 0x8}, {5, "flow", 0x10}, {5, "temp", 0x20}, {5, "ext", 0x8},  {5, "work", 0x4},
        {8, "flow", 0x1}, {8, "temp", 0x2},  {8, "ext", 0x4},   {8, "work", 0x8},
    };
    for (const auto& c : cases) {
        TSimLaser laser = ReadyLaser(c.Type);
        ASSERT_EQ(laser.Set("interlock", QByteArray(c.Interlock) + " open", 0), QByteArray());
        // An open interlock also takes away OK to start.
        const quint32 raw = laser.RawStatus(0);
        EXPECT_EQ(raw & 0x7F, c.Bit) << "type " << c.Type << " " << c.Interlock;
        EXPECT_EQ(raw & 0x200000, 0u) << "type " << c.Type << " " << c.Interlock;
    }
    for (int type : {1, 2, 5, 8}) {
        TSimLaser laser = ReadyLaser(type);
        Configure(laser, "coolant-low", "1");
        EXPECT_EQ(laser.RawStatus(0) & 0x80000, 0x80000u) << "type " << type;
        Configure(laser, "reset-fault", "1");
        EXPECT_EQ(laser.RawStatus(0) & 0xE00000, 0x800000u) << "type " << type;
    }
}

TEST(SimStatusLayout, DiodeFaultsShutterAndRunTemperatureOnTypeEight) {
    TSimLaser laser = ReadyLaser(8);
    Configure(laser, "diode-fault", "1 1");
    Configure(laser, "diode-fault", "2 1");
    Configure(laser, "run-temp-ok", "0");
    EXPECT_EQ(laser.RawStatus(0) & 0x10070, 0x60u);
    ASSERT_EQ(Ask(laser, "SH1"), "ok");
    EXPECT_EQ(laser.RawStatus(0) & 0x10070, 0x70u);
    // Type 5 reports its one diode's fault on bit 0; the shutter has no bit.
    TSimLaser five = ReadyLaser(5);
    Configure(five, "diode-fault", "1 1");
    ASSERT_EQ(Ask(five, "SH1"), "ok");
    EXPECT_EQ(five.RawStatus(0) & 0x7F, 0x1u);
}

TEST(SimStatusLayout, StartingThenOnAfterTheStartTime) {
    for (int type : {1, 8}) {
        TSimLaser laser = ReadyLaser(type);
        Configure(laser, "start-time", "1000");
        ASSERT_EQ(Ask(laser, "ON", 100), "ok");
        const quint32 on = type == 8 ? 0x100 : 0x10;
        const quint32 starting = type == 8 ? 0x4000 : 0x40;
        EXPECT_EQ(laser.RawStatus(500) & (on | starting | 0x400000), starting);
        EXPECT_EQ(Ask(laser, "GO", 500), "?3");
        EXPECT_EQ(laser.RawStatus(1100) & (on | starting | 0x400000), on | 0x400000);
    }
}

TEST(SimMotion, MotorBitSetForTheMotorTimeAfterEveryMove) {
    for (int type : {1, 2, 5, 8}) {
        for (const QByteArray& move :
             {QByteArray("XS100"), QByteArray("YS010"), QByteArray("SR-05"), QByteArray("MS1"),
              QByteArray("AT128"), QByteArray("HS2")}) {
            TSimLaser laser = ReadyLaser(type);
            ASSERT_EQ(Ask(laser, move, 1000), "ok") << move.constData();
            EXPECT_EQ(laser.RawStatus(1299) & 0x100000, 0x100000u) << move.constData();
            EXPECT_EQ(laser.RawStatus(1300) & 0x100000, 0u) << move.constData();
        }
    }
    // A move to where the motor already stands does not run it.
    TSimLaser still = ReadyLaser(1);
    ASSERT_EQ(Ask(still, "XS000", 1000), "ok");
    ASSERT_EQ(Ask(still, "HS1", 1000), "ok");
    EXPECT_EQ(still.RawStatus(1000) & 0x100000, 0u);

    TSimLaser stuck = ReadyLaser(8);
    Configure(stuck, "motor-time", "-1");
    ASSERT_EQ(Ask(stuck, "XS001"), "ok");
    EXPECT_EQ(stuck.RawStatus(3600000) & 0x100000, 0x100000u);
    Configure(stuck, "moving", "0");
    EXPECT_EQ(stuck.RawStatus(3600000) & 0x100000, 0u);
}

TEST(SimFiring, OneShotAndBurstEndByThemselvesContinuousRunsUntilStop) {
    TSimLaser laser = ReadyLaser(1);
    ASSERT_EQ(Ask(laser, "RR010"), "ok"); // 10 Hz
    ASSERT_EQ(Ask(laser, "ON"), "ok");
    ASSERT_EQ(Ask(laser, "GO", 1000), "ok"); // one shot: 100 ms
    EXPECT_TRUE(laser.Firing(1099));
    EXPECT_FALSE(laser.Firing(1100));
    EXPECT_EQ(laser.Shots(1100), 1u);

    ASSERT_EQ(Ask(laser, "MO2"), "ok");
    ASSERT_EQ(Ask(laser, "BU00005"), "ok");
    ASSERT_EQ(Ask(laser, "GO", 2000), "ok"); // 5 pulses: 500 ms
    EXPECT_EQ(laser.RawStatus(2200) & 0x20, 0x20u);
    EXPECT_EQ(laser.Shots(2200), 1u + 3u);
    EXPECT_FALSE(laser.Firing(2500));
    EXPECT_EQ(laser.Shots(9000), 6u);

    ASSERT_EQ(Ask(laser, "MO0", 10000), "ok");
    ASSERT_EQ(Ask(laser, "GO", 10000), "ok");
    EXPECT_TRUE(laser.Firing(60000));
    ASSERT_EQ(Ask(laser, "ST", 11000), "ok");
    EXPECT_FALSE(laser.Firing(11000));
    EXPECT_EQ(laser.Shots(20000), 6u + 11u);
}

TEST(SimFiring, FamilyABurstLocksOutThenTypeEightNeedsRunTemperature) {
    TSimLaser laser = ReadyLaser(2);
    ASSERT_EQ(Ask(laser, "RR010"), "ok");
    ASSERT_EQ(Ask(laser, "MO2"), "ok");
    ASSERT_EQ(Ask(laser, "BU00005"), "ok");
    ASSERT_EQ(Ask(laser, "ON"), "ok");
    ASSERT_EQ(Ask(laser, "GO", 0), "ok");
    // After the burst: on, not firing, not OK to fire (the program's burst lock).
    EXPECT_EQ(laser.RawStatus(600) & 0x400030, 0x10u);
    EXPECT_EQ(Ask(laser, "GO", 600), "?3");
    EXPECT_EQ(laser.RawStatus(1500) & 0x400030, 0x400010u);
    // A burst of one pulse locks out as well; a one shot does not.
    ASSERT_EQ(Ask(laser, "BU00001"), "ok");
    ASSERT_EQ(Ask(laser, "GO", 2000), "ok");
    EXPECT_EQ(laser.RawStatus(2200) & 0x400030, 0x10u);
    ASSERT_EQ(Ask(laser, "MO1"), "ok");
    ASSERT_EQ(Ask(laser, "GO", 4000), "ok");
    EXPECT_EQ(laser.RawStatus(4200) & 0x400030, 0x400010u);

    TSimLaser eight = ReadyLaser(8);
    Configure(eight, "run-temp-ok", "0");
    ASSERT_EQ(Ask(eight, "ON"), "ok");
    EXPECT_EQ(Ask(eight, "GO"), "?3");
    Configure(eight, "run-temp-ok", "1");
    EXPECT_EQ(Ask(eight, "GO"), "ok");
}

TEST(SimFiring, InterlockOrResetFaultStopsTheLaserAndBlocksSwitchOn) {
    TSimLaser laser = ReadyLaser(8);
    ASSERT_EQ(Ask(laser, "MO0"), "ok");
    ASSERT_EQ(Ask(laser, "ON"), "ok");
    ASSERT_EQ(Ask(laser, "GO"), "ok");
    Configure(laser, "interlock", "ext open");
    EXPECT_FALSE(laser.Firing(10));
    EXPECT_EQ(laser.RawStatus(10) & 0x100, 0u);
    EXPECT_EQ(Ask(laser, "ON", 10), "?3");
    Configure(laser, "interlock", "ext closed");
    EXPECT_EQ(Ask(laser, "ON", 10), "ok");
    Configure(laser, "reset-fault", "1");
    EXPECT_EQ(laser.RawStatus(10) & 0x100, 0u);
    EXPECT_EQ(Ask(laser, "ON", 10), "?3");
}

TEST(SimCommands, WireFormsPerType) {
    TSimLaser eight = ReadyLaser(8);
    EXPECT_EQ(Ask(eight, "RR01500"), "ok");
    EXPECT_EQ(Ask(eight, "RR020"), "?1");   // type 8 reads five digits
    EXPECT_EQ(Ask(eight, "RR02001"), "?1"); // above "MR?" x 100
    EXPECT_EQ(Ask(eight, "BU00050"), "?0");
    EXPECT_EQ(Ask(eight, "BU100050"), "ok");
    EXPECT_EQ(Ask(eight, "BU200050"), "ok");
    EXPECT_EQ(Ask(eight, "DC2255"), "ok");
    EXPECT_EQ(Ask(eight, "VO255"), "?0");
    EXPECT_EQ(Ask(eight, "ENH"), "?0");

    TSimLaser five = ReadyLaser(5);
    EXPECT_EQ(Ask(five, "RR001"), "ok"); // units of 100 Hz
    EXPECT_EQ(Ask(five, "RR000"), "?1");
    EXPECT_EQ(Ask(five, "DC1050"), "ok");
    EXPECT_EQ(Ask(five, "DC1101"), "?1"); // type 5 scale is 0..100
    EXPECT_EQ(Ask(five, "DC2050"), "?4");
    EXPECT_EQ(Ask(five, "BU04000"), "ok");

    TSimLaser two = ReadyLaser(2);
    EXPECT_EQ(Ask(two, "BU00050"), "ok");
    EXPECT_EQ(Ask(two, "BU00051"), "?1");
    EXPECT_EQ(Ask(two, "ENH"), "ok");
    EXPECT_EQ(Ask(two, "VO255"), "?4");
    EXPECT_EQ(Ask(two, "SH1"), "?0");

    TSimLaser one = ReadyLaser(1);
    EXPECT_EQ(Ask(one, "RR020"), "ok");
    EXPECT_EQ(Ask(one, "RR20"), "?1");
    EXPECT_EQ(Ask(one, "BU10000"), "?1"); // above 4000, not "BU1"
    EXPECT_EQ(Ask(one, "BU04000"), "ok");
    EXPECT_EQ(Ask(one, "VO128"), "ok");
    EXPECT_EQ(Ask(one, "MO3"), "?1");
}

TEST(SimCommands, SerialControlOptionsAndHarmonicSets) {
    TSimLaser laser;
    EXPECT_EQ(Ask(laser, "ON"), "?2");
    EXPECT_EQ(Ask(laser, "HS1"), "?2");
    EXPECT_EQ(Ask(laser, "OF"), "ok"); // stopping needs no serial control
    EXPECT_EQ(Ask(laser, "LT?"), "8");
    EXPECT_EQ(Ask(laser, "SM1"), "ok");
    EXPECT_EQ(Ask(laser, "NH?"), "3");
    EXPECT_EQ(Ask(laser, "HS0?"), "05");
    EXPECT_EQ(Ask(laser, "HS3?"), "0D");
    EXPECT_EQ(Ask(laser, "HS4?"), "?1");
    EXPECT_EQ(Ask(laser, "HS0"), "?1");
    EXPECT_EQ(Ask(laser, "HS3"), "ok");
    EXPECT_EQ(Ask(laser, "ER0F90"), "0000");
    EXPECT_EQ(Ask(laser, "QQ"), "?0");

    Configure(laser, "options", "0");
    Configure(laser, "config", "0");
    Configure(laser, "harmonics", "41,06");
    Configure(laser, "polarizer", "1");
    EXPECT_EQ(Ask(laser, "SV?"), "00");
    EXPECT_EQ(Ask(laser, "AT128"), "?4");
    EXPECT_EQ(Ask(laser, "XT?"), "?4");
    EXPECT_EQ(Ask(laser, "SR+22"), "?4");
    EXPECT_EQ(Ask(laser, "PM1"), "?4");
    EXPECT_EQ(Ask(laser, "SP100"), "?4");
    EXPECT_EQ(Ask(laser, "HS1"), "?4");
    EXPECT_EQ(Ask(laser, "NH?"), "1");
    EXPECT_EQ(Ask(laser, "HS0?"), "41");
    EXPECT_EQ(Ask(laser, "ER0F90"), "0001");
    Configure(laser, "options", "20");
    EXPECT_EQ(Ask(laser, "SR+22"), "ok");
    EXPECT_EQ(Ask(laser, "SR-05"), "?1"); // a polarizer only turns one way
}

TEST(SimCommands, ReadOutsAndTheirScales) {
    TSimLaser eight = ReadyLaser(8);
    Configure(eight, "shots", "50000");
    EXPECT_EQ(Ask(eight, "SC"), "1F4"); // hundreds of pulses on diode lasers
    TSimLaser one = ReadyLaser(1);
    Configure(one, "shots", "50000");
    EXPECT_EQ(Ask(one, "SC"), "C350");
    Configure(one, "hours", "255");
    Configure(one, "flow", "-3");
    Configure(one, "temperature", "31");
    EXPECT_EQ(Ask(one, "HR?"), "FF");
    EXPECT_EQ(Ask(one, "FR?"), "-3");
    EXPECT_EQ(Ask(one, "T1?"), "31");
    EXPECT_EQ(Ask(one, "SP200"), "ok");
    EXPECT_EQ(Ask(one, "SP201"), "?1");
    EXPECT_EQ(Ask(one, "SP?"), "200");
    EXPECT_EQ(Ask(one, "PM1"), "ok");
    EXPECT_EQ(Ask(one, "PM?"), "1");
    Configure(one, "firmware", "1.19");
    EXPECT_EQ(Ask(one, "VN"), "1.19");
    EXPECT_EQ(Ask(one, "MR?"), "20");
}
