#pragma once

#include "tango/JobQueue.h"
#include "tango/LaserFeatures.h"
#include "tango/SnapshotStore.h"
#include "tango/StationSettings.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>

class QTimer;
class TCVLaser;
class TIPCMessenger;
class TSafetyPoll;

// The laser's owner in the device server, as the main window is in the
// program: it finds the laser, puts it into its start settings, polls it
// through the safety poll (which also serves the mailbox), and carries out
// what clients ask for.
//
// It lives on the Qt thread, the only thread that touches the laser, the
// connection manager and the mailbox. Other threads (Tango's) call the
// public operations below; those queue a job for the Qt thread, and each
// job ends by publishing what the laser holds afterwards into Store(), from
// which every attribute is served.
//
// A Tango request waits for its job at most RequestWait, so that a motor
// move (up to 10 s per wait) never runs past a client's time-out. A job that
// takes longer finishes all the same: the device shows MOVING meanwhile, and
// a failure at its end appears in Status.
class TLaserStation : public QObject {
    Q_OBJECT
public:
    static constexpr int RetryPeriod = 5000; // ms between discoveries while no laser answers
    static constexpr std::chrono::milliseconds RequestWait{2500};

    // On the Qt thread, with a TConnectionManager in existence. `messenger`
    // may be null (no mailbox); `mailboxNote` then says why, for Status.
    TLaserStation(std::unique_ptr<TCVLaser> laser, std::unique_ptr<TIPCMessenger> messenger,
                  std::string mailboxNote = {});
    // On the Qt thread: fails the jobs not yet run, then releases the laser,
    // whose shutdown sends "OF" and "SM0".
    ~TLaserStation() override;
    TLaserStation(const TLaserStation&) = delete;
    TLaserStation& operator=(const TLaserStation&) = delete;

    // Thread-safe.
    const TSnapshotStore& Store() const { return FStore; }

    // ---- Any thread but the Qt thread --------------------------------------
    // Takes the settings and starts a discovery; returns at once.
    void Start(const TStationSettings& settings);
    // Stops polling and looking for the laser until the next Start; returns
    // at once. Nothing is sent to the laser.
    void Halt();

    // The operations below refuse (Refused) without a laser that is polled,
    // and otherwise report Done, Failed with the laser's error, or Pending.
    // Writes `value` (booleans 0 or 1, enumerations their ordinal) through
    // the laser object's setter. Refused for a setting this laser lacks.
    TJobResult Write(TAttrId id, double value);
    // Supply on (refused unless RemoteFiring is set and the laser is OK to
    // start) or off (always).
    TJobResult SwitchSupply(bool on);
    // Fires in the current mode. Refused unless RemoteFiring is set and the
    // last poll found the laser ready to fire.
    TJobResult Fire();
    TJobResult Stop();
    // One raw exchange, as a mailbox client gets it: the reply, the laser's
    // error reply ("?1"), or empty text when nothing came back. Refused
    // unless AllowRawCommands is set.
    TJobResult SendRaw(const std::string& command);

private:
    // ---- The Qt thread -----------------------------------------------------
    bool Busy() const;
    void ScheduleJobs();
    void Settle();
    void RunJobs();
    void PollTimerFired();
    void RetryTimerFired();
    void Discover(bool announce);
    void ApplyStartSettings();
    void ApplySetting(TAttrId id, double value);
    void LaserLost();
    void Publish();
    void RefreshIdentity();
    void FillValues(TLaserSnapshot& snapshot) const;
    std::string RequireLaser() const;
    TJobResult RunJob(std::function<std::string()> body);
    void LateJobDone(const TJobResult& result);
    static TJobResult Refusal(const std::string& reason);
    std::string RefusalWithoutLaser() const;

    std::unique_ptr<TCVLaser> FLaser;
    std::unique_ptr<TIPCMessenger> FMessenger;
    std::unique_ptr<TSafetyPoll> FPoll;
    QTimer* FPollTimer;
    QTimer* FRetryTimer;
    TStationSettings FSettings;
    TStationPhase FPhase = TStationPhase::Starting;
    TLaserFeatures FFeatures;
    TLaserStatus FStatus = 0;
    bool FHaveStatus = false; // a tick since the discovery read the status word
    bool FCanFire = false;
    // The laser was told to fire continuously or a burst and has not been
    // seen to stop: the poll counts it as possibly firing if it is lost.
    bool FFireRequested = false;
    long FTicks = 0;
    long FFireTick = 0;
    // The station's own work in progress (a tick, a job, a discovery): none
    // starts inside another, as a relay's connect wait processes events while
    // the laser object is in the middle of an exchange.
    int FDepth = 0;
    // The laser's texts for the snapshot, made once per identification.
    struct TIdentity {
        int Port = -1;
        quint8 Type = 0;
        float FirmwareVersion = 0;
        QString Network;
        std::string Model;
        std::string Firmware;
        std::string Laser;
    } FIdentity;
    std::string FProblem;
    std::string FMailboxNote;
    std::string FStartNote;
    std::string FRefusalNote;
    std::string FLateNote;

    // ---- Shared ------------------------------------------------------------
    std::atomic<bool> FRemoteFiring{false};
    std::atomic<bool> FAllowRawCommands{false};
    TSnapshotStore FStore;
    TJobQueue FJobs;
};
