// The laser object against the simulator's own model of each laser type:
// its command parser, status layouts, interlocks, firing and motors, rather
// than scripted replies.
#include "integration/LaserSimFixture.h"

namespace {

QStringList LaserOfType(int type, const QStringList& more = {}) {
    QStringList args = {"--set", QStringLiteral("set type %1").arg(type),
                        "--set", "set start-time 0",
                        "--set", "set motor-time 0"};
    for (const QString& line : more)
        args << "--set" << line;
    return args;
}

} // namespace

TEST_F(LaserSimTest, EveryTypeIdentifiesSwitchesOnAndFires) {
    for (int type = 0; type <= 8; ++type) {
        SCOPED_TRACE(type);
        AddSim(1, LaserOfType(type));
        MakeLaser();
        ASSERT_TRUE(Laser->FindLaser());
        EXPECT_EQ(Laser->LaserType(), type);
        // The settings pushed at identification were all accepted.
        EXPECT_EQ(Sims[1]->Control("get rate"), "OK 1");

        Laser->SetLaserEnabled(true);
        const TLaserStatus on = Laser->GetStatus();
        EXPECT_TRUE(on & lsOn);
        EXPECT_TRUE(on & lsRemote);
        EXPECT_TRUE(on & lsOkToStart);
        EXPECT_TRUE(Laser->LaserEnabled());
        EXPECT_EQ(Laser->CanFire(on), type != 0);
        if (type != 0) {
            Laser->SetFireMode(fmContinuous);
            Laser->StartFiring();
            EXPECT_TRUE(Laser->GetStatus() & lsFire);
            Laser->StopFiring();
            EXPECT_FALSE(Laser->GetStatus() & lsFire);
        }
        Laser->SetLaserEnabled(false);
        EXPECT_FALSE(Laser->GetStatus() & lsOn);
        TearDown();
    }
}

TEST_F(LaserSimTest, InterlocksInEachFamily) {
    for (int type : {3, 2, 5, 8}) {
        SCOPED_TRACE(type);
        AddSim(1, LaserOfType(type));
        MakeLaser();
        ASSERT_TRUE(Laser->FindLaser());
        Laser->SetLaserEnabled(true);
        const struct {
            const char* name;
            TLaserStatus bit;
        } interlocks[] = {{"flow", lsFlow}, {"temp", lsTemp}, {"ext", lsExt}, {"work", lsWork}};
        for (const auto& interlock : interlocks) {
            Control(1, QByteArray("set interlock ") + interlock.name + " open");
            const TLaserStatus s = Laser->GetStatus();
            EXPECT_EQ(s & (lsFlow | lsTemp | lsExt | lsWork), interlock.bit) << interlock.name;
            EXPECT_FALSE(Laser->CanFire(s));
            Control(1, QByteArray("set interlock ") + interlock.name + " closed");
        }
        TearDown();
    }
}

TEST_F(LaserSimTest, CoolantLowByFamily) {
    const struct {
        int type;
        TLaserStatus expected;
    } cases[] = {{3, lsCoolantLow}, {2, 0}, {5, lsTemp}, {8, lsFlow}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        AddSim(1, LaserOfType(c.type));
        MakeLaser();
        ASSERT_TRUE(Laser->FindLaser());
        const TLaserStatus before = Laser->GetStatus();
        Control(1, "set coolant-low 1");
        EXPECT_EQ(Laser->GetStatus() & ~before, c.expected);
        TearDown();
    }
}

TEST_F(LaserSimTest, Type8NeedsRunTemperatureAndOpensTheShutter) {
    AddSim(1, LaserOfType(8, {"set run-temp-ok 0"}));
    MakeLaser();
    ASSERT_TRUE(Laser->FindLaser());
    Laser->SetLaserEnabled(true);
    EXPECT_FALSE(Laser->CanFire(Laser->GetStatus()));
    Control(1, "set run-temp-ok 1");
    EXPECT_TRUE(Laser->CanFire(Laser->GetStatus()));
    // Diode faults count only while the shutter is open.
    Control(1, "set diode-fault 2 1");
    EXPECT_FALSE(Laser->GetStatus() & lsTemp);
    Laser->SetFireMode(fmContinuous);
    Laser->StartFiring();
    EXPECT_EQ(Sims[1]->Control("get shutter"), "OK 1");
    EXPECT_TRUE(Laser->GetStatus() & lsTemp);
}

TEST_F(LaserSimTest, ResetFaultOfTheSimulatedLaser) {
    AddSim(1, LaserOfType(3));
    MakeLaser();
    ASSERT_TRUE(Laser->FindLaser());
    Control(1, "set reset-fault 1");
    EXPECT_TRUE(Laser->GetStatus() & lsReset);
    EXPECT_FALSE(Laser->Identified());
    // Switching on identifies again, and the laser refuses while the fault lasts.
    EXPECT_EQ(ErrorCodeOf([&] { Laser->SetLaserEnabled(true); }), leCannotExecute);
    Control(1, "set reset-fault 0");
    Laser->SetLaserEnabled(true);
    EXPECT_TRUE(Laser->Identified());
    EXPECT_TRUE(Laser->LaserEnabled());
}

TEST_F(LaserSimTest, MotorWaitEndsWhenTheMotorsStop) {
    AddSim(1, LaserOfType(3));
    MakeLaser();
    ASSERT_TRUE(Laser->FindLaser());
    ASSERT_TRUE(Laser->NewFirmware());
    // The motors keep running until the third poll pause has passed.
    Control(1, "set moving -1");
    SimProcess* sim = Sims[1].get();
    int pauses = 0;
    Laser->SetTiming({[this] { return Clock.now; },
                      [&](int ms) {
                          Clock.now += ms;
                          if (++pauses == 3)
                              sim->Control("set moving 0");
                      }});
    Mark();
    Laser->SetOutputLevel(50);
    EXPECT_EQ(Since(), (QByteArrayList{"AT128", "SS", "SS", "SS"}));
    EXPECT_EQ(Sims[1]->Control("get attenuator"), "OK 128");
}

TEST_F(LaserSimTest, RateAndBurstLimitsAgreeWithTheSimulatedLaser) {
    AddSim(1, LaserOfType(5, {"set maxrate 2"}));
    MakeLaser();
    ASSERT_TRUE(Laser->FindLaser());
    Laser->SetRepRate(150);
    EXPECT_EQ(Sims[1]->Control("get rate"), "OK 1");
    Laser->SetRepRate(1000);
    EXPECT_EQ(Laser->RepRate(), 200);
    EXPECT_EQ(Sims[1]->Control("get rate"), "OK 2");
    TearDown();

    AddSim(1, LaserOfType(8));
    MakeLaser();
    ASSERT_TRUE(Laser->FindLaser());
    Laser->SetBurstCount(4000);
    EXPECT_EQ(Sims[1]->Control("get burst"), "OK 4000");
    EXPECT_EQ(Sims[1]->Control("get burst2"), "OK 4000");
    Laser->SetRepRate(1500);
    EXPECT_EQ(Sims[1]->Control("get rate"), "OK 1500");
}
