// The device's own rules: what a client may set on which laser, which state
// a poll result shows, how the relay property becomes an address, and how a
// request that runs late is accounted for.
#include "tango/DeviceView.h"
#include "tango/JobQueue.h"
#include "tango/LaserFeatures.h"
#include "tango/StationSettings.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

TLaserFeatures Laser(int type, TLaserOptions options, quint8 wavelengths = 1, int pulseMode = -1) {
    return {options, type, lasermodel::DiodeCount(type), wavelengths, pulseMode};
}

TLaserSnapshot Polled(TLaserStatus status) {
    TLaserSnapshot snapshot;
    snapshot.Phase = TStationPhase::Ready;
    snapshot.Status = status;
    return snapshot;
}

} // namespace

TEST(LaserFeatures, RefuseWhatTheWindowHides) {
    const TLaserOptions all = 0xFFFF;
    // Diode lasers turn a PFN voltage into diode currents.
    EXPECT_FALSE(Laser(8, all).Has(aiPFNVoltage));
    EXPECT_FALSE(Laser(5, all).Has(aiPFNVoltage));
    EXPECT_TRUE(Laser(1, loVariableVoltage).Has(aiPFNVoltage));
    EXPECT_TRUE(Laser(5, 0).Has(aiDiodeCurrent));
    EXPECT_FALSE(Laser(0, all).Has(aiDiodeCurrent));
    // One wavelength is nothing to choose; switching needs harmonic sets.
    EXPECT_FALSE(Laser(8, all, 0b001).Has(aiWavelength));
    EXPECT_TRUE(Laser(8, loHarmonicSets, 0b101).Has(aiWavelength));
    EXPECT_FALSE(Laser(8, 0, 0b111).Has(aiWavelength));
    // The pulse width needs the option and an answer to "PM?".
    EXPECT_FALSE(Laser(8, loPulseWidth, 1, -1).Has(aiLongPulse));
    EXPECT_TRUE(Laser(8, loPulseWidth, 1, 0).Has(aiLongPulse));
    EXPECT_FALSE(Laser(8, loApertureHeight).Has(aiApertureHeight));
    EXPECT_TRUE(Laser(8, loApertureWidth | loApertureHeight).Has(aiApertureHeight));
    EXPECT_TRUE(Laser(0, 0).Has(aiRepRate));
}

TEST(DeviceView, PolledLaserShowsTheMostPressingState) {
    const TDeviceView fault = ViewOf(Polled(lsOn | lsFire | lsFlow | lsExt));
    EXPECT_EQ(fault.State, TDeviceState::Alarm);
    EXPECT_EQ(fault.Status.substr(0, fault.Status.find('\n')), "Fault: FLOW, EXT");
    EXPECT_EQ(ViewOf(Polled(lsOn | lsCoolantLow)).State, TDeviceState::Alarm);
    // START alone is a laser warming up.
    EXPECT_EQ(ViewOf(Polled(lsStart)).State, TDeviceState::On);
    EXPECT_EQ(ViewOf(Polled(lsOn | lsFire)).State, TDeviceState::Running);
    EXPECT_EQ(ViewOf(Polled(lsOkToStart)).State, TDeviceState::Standby);

    TLaserSnapshot late = Polled(lsOn);
    late.LateJobs = 1;
    EXPECT_EQ(ViewOf(late).State, TDeviceState::Moving);
}

TEST(DeviceView, NoLaserIsAFaultThatSaysWhy) {
    TLaserSnapshot snapshot = Polled(lsOn | lsFlow);
    snapshot.Phase = TStationPhase::Lost;
    EXPECT_EQ(ViewOf(snapshot).State, TDeviceState::Fault);
    EXPECT_EQ(ViewOf(snapshot).Status, "Laser not responding");

    snapshot.Phase = TStationPhase::NotFound;
    snapshot.Problem = "Firmware too old";
    snapshot.Notes = {"IPC functionality not available"};
    EXPECT_EQ(ViewOf(snapshot).Status,
              "Laser failed to initialize\nFirmware too old\nIPC functionality not available");

    snapshot.Phase = TStationPhase::Discovering;
    EXPECT_EQ(ViewOf(snapshot).State, TDeviceState::Init);
}

TEST(StationSettings, RelayPropertyBecomesTheLasersAddress) {
    EXPECT_EQ(RelayToNetworkConnection("relay.lab:2000"), "relay.lab|2000");
    EXPECT_EQ(RelayToNetworkConnection(" 10.0.0.7 "), "10.0.0.7");
    EXPECT_EQ(RelayToNetworkConnection("[fe80::1]:2000"), "fe80::1|2000");
    EXPECT_EQ(RelayToNetworkConnection("fe80::1"), "fe80::1");
    EXPECT_EQ(RelayToNetworkConnection(""), "");
}

TEST(JobQueue, CallerStopsWaitingButTheJobStillRunsAndIsAccountedFor) {
    int abandoned = 0;
    std::vector<TJobResult> late;
    TJobQueue queue({{}, [&] { ++abandoned; }, [&](const TJobResult& r) { late.push_back(r); }});

    // Nobody runs the queue while the caller waits: its wait ends first.
    const TJobResult pending =
        queue.Run([]() -> std::string { throw ERefused("no"); }, std::chrono::milliseconds(10));
    EXPECT_EQ(pending.Kind, TJobResult::TKind::Pending);
    EXPECT_EQ(abandoned, 1);

    queue.RunPending();
    ASSERT_EQ(late.size(), 1u);
    EXPECT_EQ(late[0].Kind, TJobResult::TKind::Refused);
    EXPECT_EQ(late[0].Text, "no");
}

TEST(JobQueue, RunsOnTheOwnersThreadAndReportsFailures) {
    TJobQueue queue({});
    std::atomic<bool> answered{false};
    std::thread owner([&] {
        while (!answered) {
            queue.RunPending();
            std::this_thread::yield();
        }
    });
    const TJobResult done = queue.Run([] { return std::string("ok"); }, std::chrono::seconds(10));
    const TJobResult failed = queue.Run([]() -> std::string { throw std::runtime_error("broken"); },
                                        std::chrono::seconds(10));
    answered = true;
    owner.join();
    EXPECT_EQ(done.Kind, TJobResult::TKind::Done);
    EXPECT_EQ(done.Text, "ok");
    EXPECT_EQ(failed.Kind, TJobResult::TKind::Failed);
    EXPECT_EQ(failed.Text, "broken");

    queue.Close();
    EXPECT_EQ(queue.Run([] { return std::string(); }, std::chrono::seconds(1)).Kind,
              TJobResult::TKind::Failed);
}
