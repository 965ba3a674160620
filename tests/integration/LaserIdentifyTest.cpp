// Finding and identifying the laser, against simulated lasers on ptys.
#include "integration/LaserSimFixture.h"

#include <stdexcept>

namespace {

LaserScript Type8() {
    LaserScript s;
    s.Type = 8;
    s.Firmware = "2.10";
    s.Set("SV?", "3F").Set("LC?", "50").Set("NH?", "3");
    s.Set("HS0?", "0").Set("HS1?", "05").Set("HS2?", "09").Set("HS3?", "0E");
    return s;
}

} // namespace

TEST_F(LaserSimTest, IdentifiesAType8LaserInItsExactOrder) {
    IdentifiedLaser(Type8());
    EXPECT_TRUE(Laser->Identified());
    EXPECT_EQ(Laser->PortNumber(), 1);
    EXPECT_EQ(Laser->LaserType(), 8);
    EXPECT_EQ(Laser->GetLaserTypeName(), QStringLiteral("Oltrin"));
    EXPECT_FLOAT_EQ(Laser->FirmwareVersion(), 2.1f);
    EXPECT_TRUE(Laser->NewFirmware());
    EXPECT_EQ(Laser->MaxRepRate(), 2000); // 20 x 100 for type 8
    EXPECT_EQ(Laser->MinRepRate(), 1);
    EXPECT_EQ(Laser->MaxBurstCount(), 4000);
    EXPECT_EQ(Laser->Options(), loAttenuator | loApertureWidth | loApertureHeight | loHarmonicSets |
                                    loOutputRange | loMarkerAperture | loXYTheta |
                                    loVariableVoltage | loLED | loPulseWidth);
    EXPECT_EQ(Laser->HarmonicCount(), 3);
    ASSERT_EQ(Laser->Harmonics().size(), 4);
    EXPECT_EQ(Laser->Harmonics()[3], (THarmonicEntry{0, 1, erHigh, wlUV}));
    EXPECT_EQ(Laser->Wavelength(), wlGreen); // green is preferred
    EXPECT_EQ(Laser->CurrentHarmonic(), 2);

    // Identification, the motor waits (one poll each: the motors are still),
    // then the settings in their order, each move followed by a motor wait.
    const QByteArrayList expected = {
        "SM1",     "VN",     "LT?", "SS",   "SS",    "MR?",    "XT?",    "YT?",      "SV?",
        "LC?",     "ER0F90", "NH?", "HS0?", "HS1?",  "HS2?",   "HS3?",   "BU100001", "BU200001",
        "RR00001", "MO1",    "HS2", "SS",   "LT?",   "DC1255", "DC2255", "XS000",    "SS",
        "YS000",   "SS",     "MS0", "SS",   "SR+00", "SS"};
    EXPECT_EQ(Commands(), expected);
    // The 200 ms pause between the two motor waits, and the 250 ms poll pauses.
    const std::vector<int> pauses = {250, 200, 250, 250, 250, 250, 250, 250};
    EXPECT_EQ(Clock.pauses, pauses);
}

TEST_F(LaserSimTest, ScanSkipsASilentPortAndOneAnsweringError3) {
    AddSim(1, {"--set", "fault silent"});
    LaserScript busy;
    busy.Set("SM1", "?3");
    AddLaser(2, busy);
    AddLaser(4, LaserScript());
    MakeLaser();
    ASSERT_TRUE(Laser->FindLaser());
    EXPECT_EQ(Laser->PortNumber(), 4);
    EXPECT_EQ(Commands(1), QByteArrayList{"SM1"});
    EXPECT_EQ(Commands(2), QByteArrayList{"SM1"});
    EXPECT_EQ(Commands(4).value(0), "SM1");
}

TEST_F(LaserSimTest, OldFirmwareEndsTheScanWithCode9) {
    LaserScript old;
    old.Type = 2;
    old.Firmware = "1.1";
    AddLaser(1, old);
    AddLaser(2, LaserScript());
    MakeLaser();
    try {
        Laser->FindLaser();
        FAIL() << "no error";
    } catch (const ELaserError& e) {
        EXPECT_EQ(e.ErrorCode(), leFirmwareTooOld);
        EXPECT_STREQ(e.what(), "Need to update laser firmware to V1.2 or later");
    }
    EXPECT_FALSE(Laser->Identified());
    EXPECT_TRUE(Commands(2).isEmpty()); // the next port was never tried
    // Nothing after the check: no options were read.
    EXPECT_FALSE(Commands(1).contains("SV?"));
}

TEST_F(LaserSimTest, FirmwareGatesByType) {
    struct Case {
        int type;
        QByteArray firmware;
        bool found;
        bool newFirmware;
    };
    const Case cases[] = {{5, "1.1", true, false},  {8, "1.1", true, false},
                          {2, "1.2", true, false},  {1, "1.2", true, false},
                          {3, "1.99", true, false}, {3, "2.0", true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        SCOPED_TRACE(c.firmware.constData());
        LaserScript s;
        s.Type = c.type;
        s.Firmware = c.firmware;
        AddLaser(1, s);
        MakeLaser();
        EXPECT_EQ(Laser->FindLaser(), c.found);
        EXPECT_EQ(Laser->NewFirmware(), c.newFirmware);
        // Motor waits poll the status only with new firmware.
        const QByteArrayList sent = Commands();
        const qsizetype mr = sent.indexOf("MR?");
        EXPECT_EQ(sent.mid(0, mr).contains("SS"), c.newFirmware);
        TearDown();
    }
}

TEST_F(LaserSimTest, RateBoundsByType) {
    LaserScript t5;
    t5.Type = 5;
    t5.Set("MR?", "2");
    IdentifiedLaser(t5);
    EXPECT_EQ(Laser->MaxRepRate(), 200);
    EXPECT_EQ(Laser->MinRepRate(), 100);
    EXPECT_EQ(Laser->RepRateUnit(), 100);
    EXPECT_EQ(Laser->RepRate(), 100); // the stored 1 Hz was raised to the minimum
    EXPECT_EQ(Laser->GetDiodeCount(), 1);
}

TEST_F(LaserSimTest, MaximumRateOverflowIsAClearError) {
    LaserScript s = Type8();
    s.Set("MR?", "30000000"); // x 100 does not fit 32 bits
    AddLaser(1, s);
    MakeLaser();
    Laser->SetPortNumber(1);
    EXPECT_THROW(Laser->Initialize(), std::overflow_error);
    EXPECT_FALSE(Laser->Identified());
    EXPECT_EQ(Laser->MaxRepRate(), 10); // unchanged
    // In a scan it only makes the port fail.
    TearDown();
    AddLaser(1, s);
    MakeLaser();
    EXPECT_FALSE(Laser->FindLaser());
}

TEST_F(LaserSimTest, HarmonicSetsAndDefaultWavelength) {
    {
        LaserScript s;
        s.Set("SV?", "8").Set("NH?", "2").Set("HS1?", "06").Set("HS2?", "0D");
        IdentifiedLaser(s);
        EXPECT_EQ(Laser->Wavelengths(), (1 << wlIR) | (1 << wlUV));
        EXPECT_EQ(Laser->Wavelength(), wlIR);
        EXPECT_EQ(Laser->Harmonics()[1], (THarmonicEntry{0, 1, erHigh, wlIR}));
        TearDown();
    }
    {
        // Invalid sets only: the stored wavelength stays.
        LaserScript s;
        s.Set("SV?", "8").Set("NH?", "2").Set("HS1?", "01").Set("HS2?", "31");
        AddLaser(1, s);
        MakeLaser();
        Laser->SetWavelength(wlUV);
        ASSERT_TRUE(Laser->FindLaser());
        EXPECT_EQ(Laser->Wavelengths(), 0);
        EXPECT_EQ(Laser->Wavelength(), wlUV);
        EXPECT_EQ(Laser->Harmonics()[1].Valid, 0);
        EXPECT_EQ(Laser->Harmonics()[2].Valid, 0);
        TearDown();
    }
    {
        // No sets: only set 0 is described, and nothing can be selected.
        LaserScript s;
        s.Set("SV?", "8").Set("HS0?", "09");
        IdentifiedLaser(s);
        EXPECT_EQ(Laser->HarmonicCount(), 0);
        EXPECT_EQ(Laser->Harmonics().size(), 1);
        EXPECT_EQ(Laser->Wavelength(), wlGreen);
        EXPECT_FALSE(Commands().contains("HS0"));
        EXPECT_EQ(Laser->CurrentHarmonic(), -1);
        TearDown();
    }
}

TEST_F(LaserSimTest, MinusOneHarmonicSetsIsALaserWithoutSets) {
    LaserScript s;
    s.Set("SV?", "8").Set("NH?", "-1");
    IdentifiedLaser(s);
    EXPECT_EQ(Laser->HarmonicCount(), -1);
    EXPECT_TRUE(Laser->Harmonics().empty());
    EXPECT_FALSE(Commands().contains("HS0?"));
}

TEST_F(LaserSimTest, UnreadableHarmonicCountFailsThePort) {
    for (const QByteArray& count :
         {QByteArray("-2"), QByteArray("256"), QByteArray("100000"), QByteArray("x")}) {
        LaserScript s;
        s.Set("NH?", count);
        AddLaser(1, s);
        MakeLaser();
        EXPECT_FALSE(Laser->FindLaser()) << count.constData();
        TearDown();
    }
}

TEST_F(LaserSimTest, PolarizerTakesTheRotationStage) {
    LaserScript s;
    s.Set("SV?", "20").Set("ER0F90", "1");
    IdentifiedLaser(s);
    EXPECT_TRUE(Laser->HasOption(loPolarizer));
    EXPECT_FALSE(Laser->HasOption(loXYTheta));
    EXPECT_EQ(Laser->PolarizerKind(), 1);
    EXPECT_FALSE(Commands().contains("SR+00")); // no XY theta pushed
}

TEST_F(LaserSimTest, OptionQueriesThatFailLeaveTheirBitsClear) {
    LaserScript s;
    s.Type = 6;
    s.Set("SV?", "?0").Set("LC?", "").Set("ER0F90", "5");
    IdentifiedLaser(s);
    // Type 6 forces the output range; nothing else.
    EXPECT_EQ(Laser->Options(), loOutputRange);
    EXPECT_EQ(Laser->PolarizerKind(), 0);
}

TEST_F(LaserSimTest, NoPortPresentSendsNothing) {
    MakeLaser();
    EXPECT_FALSE(Laser->FindLaser());
    EXPECT_FALSE(Laser->Connected());
}

TEST_F(LaserSimTest, ResetFaultForcesReidentification) {
    IdentifiedLaser(LaserScript());
    Control(1, "reply SS 800080");
    EXPECT_TRUE(Laser->GetStatus() & lsReset);
    EXPECT_FALSE(Laser->Identified());
    Control(1, "reply SS 80");
    Mark();
    Laser->SetLaserEnabled(true);
    const QByteArrayList sent = Since();
    ASSERT_FALSE(sent.isEmpty());
    EXPECT_EQ(sent.first(), "SM1");
    EXPECT_EQ(sent.last(), "ON");
    EXPECT_TRUE(Laser->Identified());
}

TEST_F(LaserSimTest, BeforeActivationNothingIsSent) {
    AddLaser(1, LaserScript());
    MakeLaser();
    Laser->SetLaserEnabled(true);
    Laser->SetRepRate(5);
    Laser->SetNetworkConnection(QStringLiteral("127.0.0.1|9")); // only stored
    EXPECT_EQ(Laser->GetStatus(), 0);
    EXPECT_EQ(Laser->QueryDecimal("FR?", -7), -7);
    EXPECT_EQ(Laser->RepRate(), 5);
    EXPECT_EQ(Laser->NetworkConnection(), QStringLiteral("127.0.0.1|9"));
    EXPECT_FALSE(Laser->Connected());
    EXPECT_TRUE(Commands().isEmpty());
}

TEST_F(LaserSimTest, ShutdownSwitchesOffAndReturnsControl) {
    IdentifiedLaser(LaserScript());
    const qsizetype before = Commands().size();
    Laser.reset();
    const QByteArrayList all = WaitForCommands(1, before + 2);
    EXPECT_EQ(all.mid(before), (QByteArrayList{"OF", "SM0"}));
}

TEST_F(LaserSimTest, ShutdownStopsAtAFailedSwitchOff) {
    LaserScript s;
    s.Set("OF", "?3");
    IdentifiedLaser(s);
    const qsizetype before = Commands().size();
    Laser.reset();
    Control(1, "ping"); // the simulator has handled what came before
    EXPECT_EQ(Commands().mid(before), QByteArrayList{"OF"});
}

TEST_F(LaserSimTest, ALaserThatOutlivesTheConnectionManagerShutsDownQuietly) {
    // A program that ends its connection manager first: the closing
    // commands and the release of the port fail, and the destructor must
    // still return normally rather than end the process.
    IdentifiedLaser(LaserScript());
    Manager.reset();
    Laser.reset();
    EXPECT_EQ(Laser, nullptr);
}

// ---- Over the network --------------------------------------------------------

class LaserNetworkTest : public LaserSimTest {
protected:
    void StartTcpLaser(const LaserScript& script) {
        TcpSim = SimProcess::StartTcp(script.SetArgs());
        ASSERT_NE(TcpSim, nullptr);
    }
    QString Address() const { return QStringLiteral("127.0.0.1|%1").arg(TcpSim->TcpPort()); }
    void TearDown() override {
        LaserSimTest::TearDown();
        TcpSim.reset();
    }
    std::unique_ptr<SimProcess> TcpSim;
};

TEST_F(LaserNetworkTest, WithoutSerialPortsTheRelayIsTriedOnSlot1) {
    StartTcpLaser(Type8());
    MakeLaser(); // no serial slot at all
    Laser->SetNetworkConnection(Address());
    ASSERT_TRUE(Laser->FindLaser());
    EXPECT_EQ(Laser->PortNumber(), 1);
    EXPECT_EQ(Laser->LaserType(), 8);
    EXPECT_EQ(Laser->GetStatus() & lsRemote, lsRemote);
}

TEST_F(LaserNetworkTest, PresentSlotsAreRoutedToTheRelay) {
    StartTcpLaser(LaserScript());
    AddSim(3, {"--set", "fault silent"});
    MakeLaser();
    Laser->SetNetworkConnection(Address());
    ASSERT_TRUE(Laser->FindLaser());
    EXPECT_EQ(Laser->PortNumber(), 3);
    EXPECT_TRUE(Commands(3).isEmpty()); // the serial device was never used
}

TEST_F(LaserSimTest, LaserTypesBeyondTheTable) {
    {
        LaserScript s;
        s.Type = 9;
        IdentifiedLaser(s);
        EXPECT_EQ(Laser->LaserType(), 9);
        EXPECT_EQ(Laser->GetLaserTypeName(), QStringLiteral("unknown"));
        EXPECT_EQ(Laser->GetDiodeCount(), 0);
        TearDown();
    }
    {
        // Not a byte: not taken for type 8 (264 mod 256).
        LaserScript s;
        s.Type = 264;
        AddLaser(1, s);
        MakeLaser();
        EXPECT_FALSE(Laser->FindLaser());
        EXPECT_NE(Laser->LaserType(), 8);
    }
}
