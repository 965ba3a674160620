// The command set of an identified laser: wire forms per type, clamps and
// conversions, error replies, motor waits and the status read-outs.
#include "integration/LaserSimFixture.h"

#include <QElapsedTimer>

#include <limits>

namespace {

LaserScript OfType(int type, const QByteArray& firmware = "1.50") {
    LaserScript s;
    s.Type = type;
    s.Firmware = firmware;
    return s;
}

} // namespace

TEST_F(LaserSimTest, RateCommandPerType) {
    {
        IdentifiedLaser(OfType(5).Set("MR?", "20"));
        Laser->SetRepRate(0);
        EXPECT_EQ(Laser->RepRate(), 100);
        Laser->SetRepRate(1550);
        EXPECT_EQ(Laser->RepRate(), 1550);
        Laser->SetRepRate(5000);
        EXPECT_EQ(Laser->RepRate(), 2000);
        EXPECT_EQ(Since(), (QByteArrayList{"RR001", "RR015", "RR020"}));
        TearDown();
    }
    {
        IdentifiedLaser(OfType(8, "2.10"));
        Laser->SetRepRate(1500);
        Laser->SetRepRate(-3);
        EXPECT_EQ(Laser->RepRate(), 1);
        EXPECT_EQ(Since(), (QByteArrayList{"RR01500", "RR00001"}));
        TearDown();
    }
    {
        IdentifiedLaser(OfType(3));
        Laser->SetRepRate(15);
        EXPECT_EQ(Laser->RepRate(), 15);
        EXPECT_EQ(Since(), QByteArrayList{"RR015"});
    }
}

TEST_F(LaserSimTest, BurstCommandPerType) {
    {
        IdentifiedLaser(OfType(2));
        Laser->SetBurstCount(100);
        EXPECT_EQ(Laser->BurstCount(), 50);
        Laser->SetBurstCount(0);
        EXPECT_EQ(Laser->BurstCount(), 1);
        EXPECT_EQ(Since(), (QByteArrayList{"BU00050", "BU00001"}));
        TearDown();
    }
    {
        IdentifiedLaser(OfType(8, "2.10"));
        Laser->SetBurstCount(250);
        EXPECT_EQ(Since(), (QByteArrayList{"BU100250", "BU200250"}));
    }
}

TEST_F(LaserSimTest, FamilyAFireModeAndOutputRange) {
    IdentifiedLaser(OfType(7));
    Laser->SetFireMode(fmBurst);
    EXPECT_EQ(Laser->FireMode(), fmBurst);
    EXPECT_EQ(Laser->RepRate(), 5); // recorded, not sent
    Laser->SetFireMode(fmContinuous);
    EXPECT_EQ(Laser->RepRate(), 1);
    Laser->SetOutputRange(erHigh);
    Laser->SetOutputRange(erLow);
    EXPECT_EQ(Since(), (QByteArrayList{"MO2", "MO0", "ENH", "ENL"}));
    // Family A has no variable voltage: the PFN voltage is left alone.
    Mark();
    Laser->SetPFNVoltage(50);
    EXPECT_FLOAT_EQ(Laser->PFNVoltage(), 100.0f);
    EXPECT_TRUE(Since().isEmpty()); // identified: the type is known
}

TEST_F(LaserSimTest, OutputRangeWithHarmonicSetsSendsENHBeforeHS) {
    LaserScript s = OfType(6);
    s.Set("SV?", "8").Set("NH?", "2").Set("HS1?", "05").Set("HS2?", "06");
    IdentifiedLaser(s);
    EXPECT_EQ(Laser->CurrentHarmonic(), 1);
    Laser->SetOutputRange(erHigh);
    Laser->SetOutputRange(erLow);
    // With harmonic sets the high range is always asked for.
    EXPECT_EQ(Since(), (QByteArrayList{"ENH", "HS2", "ENH", "HS1"}));
}

TEST_F(LaserSimTest, WavelengthSelectsTheFirstMatchingSetOnce) {
    LaserScript s = OfType(8, "2.10");
    s.Set("SV?", "8").Set("NH?", "3").Set("HS1?", "05").Set("HS2?", "09").Set("HS3?", "09");
    IdentifiedLaser(s);
    ASSERT_EQ(Laser->CurrentHarmonic(), 2);
    Laser->SetWavelength(wlGreen); // already selected: nothing sent
    EXPECT_TRUE(Since().isEmpty());
    Laser->SetWavelength(wlIR);
    Laser->SetWavelength(wlUV); // no such set: stored, nothing sent
    EXPECT_EQ(Laser->Wavelength(), wlUV);
    EXPECT_EQ(Since(), (QByteArrayList{"HS1", "SS"}));
    EXPECT_EQ(Laser->CurrentHarmonic(), 1);
}

TEST_F(LaserSimTest, OutputLevelConversionsAndClamps) {
    IdentifiedLaser(OfType(3).Set("SV?", "1"));
    Laser->SetOutputLevel(50);
    Laser->SetOutputLevel(10);
    Laser->SetOutputLevel(150);
    EXPECT_FLOAT_EQ(Laser->OutputLevel(), 100.0f);
    Laser->SetOutputLevel(-5);
    EXPECT_FLOAT_EQ(Laser->OutputLevel(), 0.0f);
    Laser->SetOutputLevel(std::numeric_limits<float>::quiet_NaN()); // from a damaged settings file
    EXPECT_FLOAT_EQ(Laser->OutputLevel(), 0.0f);
    EXPECT_EQ(Since(), (QByteArrayList{"AT128", "AT026", "AT255", "AT000", "AT000"}));
}

TEST_F(LaserSimTest, OptionalControlsNeedTheirOption) {
    IdentifiedLaser(OfType(3));
    Laser->SetOutputLevel(50);
    Laser->SetApertureWidth(50);
    Laser->SetApertureHeight(50);
    Laser->SetXYTheta(5);
    Laser->SetPolarizerAngle(40);
    Laser->SetMarkerApertureIndex(2);
    EXPECT_TRUE(Since().isEmpty());
    EXPECT_FLOAT_EQ(Laser->OutputLevel(), 0.0f);
    EXPECT_EQ(Laser->XYTheta(), 0);
}

TEST_F(LaserSimTest, PFNVoltagePerType) {
    {
        IdentifiedLaser(OfType(3));
        Laser->SetPFNVoltage(80); // no variable voltage on type 3
        EXPECT_FLOAT_EQ(Laser->PFNVoltage(), 100.0f);
        EXPECT_EQ(Since(), QByteArrayList{"VO255"});
        TearDown();
    }
    {
        IdentifiedLaser(OfType(4));
        Laser->SetPFNVoltage(80);
        EXPECT_EQ(Since(), QByteArrayList{"VO204"});
        TearDown();
    }
    {
        IdentifiedLaser(OfType(8, "2.10"));
        Laser->SetPFNVoltage(50);
        EXPECT_EQ(Since(), (QByteArrayList{"DC1128", "DC2128"}));
        EXPECT_FLOAT_EQ(Laser->GetDiodeCurrent(2), 50.0f);
        Laser->SetDiodeCurrent(2, 10);
        EXPECT_EQ(Since().last(), "DC2026");
        EXPECT_FLOAT_EQ(Laser->GetDiodeCurrent(1), 50.0f);
        EXPECT_FLOAT_EQ(Laser->GetDiodeCurrent(2), 10.0f);
        EXPECT_FLOAT_EQ(Laser->GetDiodeCurrent(0), -1.0f);
        TearDown();
    }
    {
        IdentifiedLaser(OfType(5));
        Laser->SetPFNVoltage(50);
        EXPECT_EQ(Since(), QByteArrayList{"DC1050"});
        EXPECT_FLOAT_EQ(Laser->GetDiodeCurrent(2), -1.0f);
    }
}

TEST_F(LaserSimTest, FiringOpensTheShutterOnTypes5And8) {
    {
        IdentifiedLaser(OfType(8, "2.10"));
        Laser->StartFiring();
        Laser->StopFiring();
        EXPECT_EQ(Since(), (QByteArrayList{"SH1", "GO", "ST"}));
        TearDown();
    }
    {
        IdentifiedLaser(OfType(3));
        Laser->StartFiring();
        EXPECT_EQ(Since(), QByteArrayList{"GO"});
    }
}

TEST_F(LaserSimTest, RotationPolarizerApertureAndMarker) {
    IdentifiedLaser(OfType(8, "2.10").Set("SV?", "37"));
    Laser->SetXYTheta(-5);
    Laser->SetXYTheta(123);
    EXPECT_EQ(Laser->XYTheta(), 123);
    Laser->SetApertureWidth(100);
    EXPECT_EQ(Laser->ApertureX(), 254);
    EXPECT_NEAR(Laser->ApertureWidth(), 99.6f, 0.01f);
    Laser->MoveApertureY(-4);
    Laser->SetMarkerOn(true);
    Laser->SetMarkerLevel(50);
    Laser->SetMarkerApertureIndex(3);
    EXPECT_EQ(Since(), (QByteArrayList{"SR-05", "SS", "SR+123", "SS", "XS254", "SS", "YS000", "SS",
                                       "SP200", "SP100", "MS3", "SS"}));
    EXPECT_EQ(Laser->GetMarkerSetting(), 100);
    EXPECT_FLOAT_EQ(Laser->MarkerLevel(), 50.0f);
    EXPECT_EQ(Laser->MarkerApertureIndex(), 3);
}

TEST_F(LaserSimTest, PolarizerAngles) {
    IdentifiedLaser(OfType(3).Set("SV?", "20").Set("ER0F90", "1"));
    Laser->SetPolarizerAngle(45);
    EXPECT_EQ(Laser->PolarizerAngle(), 44);
    Laser->SetPolarizerAngle(-10);
    EXPECT_EQ(Laser->PolarizerAngle(), 0);
    Laser->SetPolarizerAngle(400);
    EXPECT_EQ(Laser->PolarizerAngle(), 180);
    EXPECT_EQ(Since(), (QByteArrayList{"SR+22", "SR+00", "SR+90"}));
}

TEST_F(LaserSimTest, ErrorRepliesAndTheirCodes) {
    IdentifiedLaser(OfType(3));
    Control(1, "error RR* 1");
    try {
        Laser->SetRepRate(7);
        FAIL() << "no error";
    } catch (const ELaserError& e) {
        EXPECT_EQ(e.ErrorCode(), leInvalidParameter);
        EXPECT_STREQ(e.what(), "Invalid parameter");
    }
    EXPECT_EQ(Laser->Reply(), "?1");
    EXPECT_EQ(Laser->RepRate(), 7); // stored before sending

    Control(1, "error MO* 9");
    EXPECT_EQ(ErrorCodeOf([&] { Laser->SetFireMode(fmBurst); }), leUnknown);
    EXPECT_EQ(Laser->FireMode(), fmOneShot); // stored after sending

    const std::pair<QByteArray, int> digits[] = {{"0", 4}, {"2", 6}, {"3", 7}, {"4", 8}};
    for (const auto& [digit, code] : digits) {
        Control(1, "error QD* " + digit);
        EXPECT_EQ(ErrorCodeOf([&] { Laser->SetQSwitchEnabled(false); }), code);
    }
    EXPECT_TRUE(Laser->QSwitchEnabled());

    // A lone "?" is data.
    Control(1, "reply XYZ ?");
    EXPECT_EQ(Laser->SendCommand("XYZ", true), "?");

    // The raw error reply survives for a caller passing it on.
    Control(1, "error ABC 3");
    try {
        Laser->SendCommand("ABC", true);
        FAIL() << "no error";
    } catch (const ELaserError& e) {
        EXPECT_EQ(e.ErrorCode(), leCannotExecute);
    }
    EXPECT_EQ(Laser->Reply(), "?3");
}

TEST_F(LaserSimTest, StatusReplyFaults) {
    IdentifiedLaser(OfType(3));
    Control(1, "reply SS");
    EXPECT_EQ(ErrorCodeOf([&] { Laser->GetStatus(); }), leNoResponse);
    Control(1, "reply SS XYZ");
    EXPECT_EQ(ErrorCodeOf([&] { Laser->GetStatus(); }), leInvalidResponse);
    Control(1, "error SS 2");
    EXPECT_EQ(ErrorCodeOf([&] { Laser->GetStatus(); }), leInvalidMode);
    Control(1, "garbage SC");
    EXPECT_EQ(ErrorCodeOf([&] { Laser->GetShotCount(); }), leInvalidResponse);
    // Nothing was stored by the failed polls.
    EXPECT_EQ(Laser->RawStatus(), 0u);
    // The read-outs fall back instead.
    Control(1, "garbage FR?");
    Control(1, "error T1? 0");
    Control(1, "silent HR?");
    EXPECT_EQ(Laser->GetFlow(), -1);
    EXPECT_EQ(Laser->GetTemperature(), -1);
    // The laser's port waits two seconds for a reply.
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(Laser->GetHours(), -1);
    EXPECT_GE(clock.elapsed(), 1800);
    EXPECT_LT(clock.elapsed(), 4000);
}

TEST_F(LaserSimTest, StatusReadOutsAndFirePermission) {
    IdentifiedLaser(OfType(8, "2.10").Set("SC", "1F4").Set("HR?", "1A"));
    EXPECT_FLOAT_EQ(Laser->GetShotCount(), 50000.0f);
    EXPECT_EQ(Laser->GetHours(), 26);
    EXPECT_EQ(Laser->GetFlow(), 5);
    EXPECT_EQ(Laser->GetTemperature(), 25);
    Control(1, "reply SS 600100");
    EXPECT_TRUE(Laser->LaserEnabled());
    EXPECT_FALSE(Laser->CanFire(Laser->Status())); // run temperature not reached
    Control(1, "reply SS 610100");
    EXPECT_TRUE(Laser->CanFire(Laser->GetStatus()));
    Control(1, "reply SS 10060"); // shutter closed: diode faults dropped
    EXPECT_EQ(Laser->GetStatus() & lsTemp, 0);
    EXPECT_EQ(Laser->RawStatus(), 0x10000u);
    Mark();
    Laser->SetLaserEnabled(false);
    EXPECT_EQ(Since(), QByteArrayList{"OF"});
}

TEST_F(LaserSimTest, MotorWaitTimesOut) {
    IdentifiedLaser(OfType(3, "2.00").Set("SV?", "2"));
    Control(1, "reply SS 100080"); // the motor never stops
    const std::int64_t start = Clock.now;
    EXPECT_EQ(ErrorCodeOf([&] { Laser->SetApertureWidth(50); }), leTimedOut);
    EXPECT_EQ(Laser->ApertureX(), 0); // not stored
    const QByteArrayList sent = Since();
    EXPECT_EQ(sent.first(), "XS128");
    // Polls every 250 ms until just past the 10 s deadline.
    EXPECT_EQ(sent.count("SS"), 41);
    EXPECT_GT(Clock.now - start, 10000);
    // An unreadable status during the wait is code 3.
    Control(1, "garbage SS");
    EXPECT_EQ(ErrorCodeOf([&] { Laser->WaitForMotors(1000); }), leInvalidResponse);
}

TEST_F(LaserSimTest, MarkerAndPulseQueriesWhenNotIdentified) {
    LaserScript s;
    s.Set("SP?", "150").Set("PM?", "1").Set("XT?", "300");
    AddLaser(1, s);
    MakeLaser();
    EXPECT_EQ(Laser->GetMarkerSetting(), -1); // inactive: the query's default
    ASSERT_TRUE(Laser->FindLaser());
    EXPECT_EQ(Laser->ApertureXSteps(), 300);
    // Identified: the cached values, no traffic.
    Mark();
    EXPECT_FALSE(Laser->GetLongPulse());
    EXPECT_TRUE(Since().isEmpty());
    // After a reset fault every read asks the laser again.
    Control(1, "reply SS 800000");
    Laser->GetStatus();
    EXPECT_EQ(Laser->GetMarkerSetting(), 150);
    EXPECT_TRUE(Laser->GetLongPulse());
    Laser->SetLongPulse(false);
    EXPECT_TRUE(Laser->GetLongPulse());
    EXPECT_EQ(Since(), (QByteArrayList{"SS", "SP?", "PM?", "PM0", "PM?"}));
}

TEST_F(LaserSimTest, MarkerSettingFailureKeepsTheLevel) {
    IdentifiedLaser(OfType(3));
    Laser->SetMarkerSetting(120);
    Control(1, "error SP* 1");
    Laser->SetMarkerSetting(40); // swallowed
    EXPECT_EQ(Laser->GetMarkerSetting(), 120);
    Control(1, "normal SP*");
    // A negative level is sent as it is, and the laser refuses it.
    Control(1, "error SP-* 1");
    Laser->SetMarkerSetting(-5);
    EXPECT_EQ(Laser->GetMarkerSetting(), 120);
    EXPECT_EQ(Since(), (QByteArrayList{"SP120", "SP040", "SP-005"}));
}

TEST_F(LaserSimTest, PortSelection) {
    IdentifiedLaser(OfType(3));
    Laser->SetPortNumber(0);
    EXPECT_EQ(Laser->PortNumber(), 1);
    EXPECT_FALSE(Laser->Connected());
    EXPECT_FALSE(Laser->Identified());
    // Slot 3 does not exist.
    EXPECT_EQ(ErrorCodeOf([&] { Laser->SetPortNumber(3); }), leOpenPort);
    EXPECT_EQ(Laser->PortNumber(), 3);
    // A command reopens the port it names.
    Laser->SetPortNumber(1);
    EXPECT_TRUE(Laser->Connected());
    Laser->Disconnect();
    EXPECT_EQ(Laser->SendCommand("FR?", true), "5");
    EXPECT_TRUE(Laser->Connected());
}

TEST_F(LaserSimTest, BladeWithoutTravelStaysAtStepZero) {
    IdentifiedLaser(OfType(3).Set("SV?", "2").Set("XT?", "0"));
    EXPECT_EQ(Laser->ApertureXSteps(), 0);
    Mark();
    Laser->SetApertureWidth(50);
    Laser->MoveApertureX(7);
    EXPECT_EQ(Since(), (QByteArrayList{"XS000", "XS000"}));
    EXPECT_EQ(Laser->ApertureX(), 0);
    EXPECT_FLOAT_EQ(Laser->ApertureWidth(), 0.0f);
}
