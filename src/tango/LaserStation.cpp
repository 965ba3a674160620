#include "tango/LaserStation.h"

#include "diag/ExcMagic.h"
#include "ipc/IPCMessenger.h"
#include "laser/BusyScope.h"
#include "laser/CVLaser.h"
#include "session/Rounding.h"
#include "session/SafetyPoll.h"

#include <QTimer>

#include <algorithm>

namespace {

void Log(const std::string& text) {
    if (TExcMagic* log = TExcMagic::Instance())
        log->WriteEntry(QByteArray::fromStdString("Tango device: " + text), true);
}

} // namespace

TLaserStation::TLaserStation(std::unique_ptr<TCVLaser> laser,
                             std::unique_ptr<TIPCMessenger> messenger, std::string mailboxNote)
    : FLaser(std::move(laser)), FMessenger(std::move(messenger)),
      FPoll(std::make_unique<TSafetyPoll>(*FLaser, FMessenger.get())), FPollTimer(new QTimer(this)),
      FRetryTimer(new QTimer(this)), FMailboxNote(std::move(mailboxNote)),
      FJobs({[this] { ScheduleJobs(); },
             [this] { FStore.Modify([](TLaserSnapshot& s) { ++s.LateJobs; }); },
             [this](const TJobResult& result) { LateJobDone(result); }}) {
    FPollTimer->setInterval(FSettings.PollPeriod);
    connect(FPollTimer, &QTimer::timeout, this, [this] { PollTimerFired(); });
    FRetryTimer->setSingleShot(true);
    FRetryTimer->setInterval(RetryPeriod);
    connect(FRetryTimer, &QTimer::timeout, this, [this] { RetryTimerFired(); });
    Publish();
}

TLaserStation::~TLaserStation() {
    FJobs.Close();
    FPollTimer->stop();
    FRetryTimer->stop();
    FPoll.reset();
    FMessenger.reset();
    FLaser.reset();
}

// ---- Requests from Tango's threads --------------------------------------------

void TLaserStation::Start(const TStationSettings& settings) {
    FRemoteFiring = settings.RemoteFiring;
    FAllowRawCommands = settings.AllowRawCommands;
    FJobs.Post([this, settings] {
        FSettings = settings;
        FSettings.PollPeriod = std::max(settings.PollPeriod, TStationSettings::MinPollPeriod);
        FPollTimer->setInterval(FSettings.PollPeriod);
        const QString relay = RelayToNetworkConnection(settings.Relay);
        if (relay != FLaser->NetworkConnection()) {
            try {
                FLaser->SetNetworkConnection(relay);
            } catch (const std::exception&) {
                // The discovery opens the port again and says what it found.
            }
        }
        Discover(true);
        return std::string();
    });
}

void TLaserStation::Halt() {
    FJobs.Post([this] {
        FPollTimer->stop();
        FRetryTimer->stop();
        FPhase = TStationPhase::Starting;
        Publish();
        return std::string();
    });
}

TJobResult TLaserStation::Refusal(const std::string& reason) {
    return {TJobResult::TKind::Refused, reason};
}

std::string TLaserStation::RefusalWithoutLaser() const {
    // Read from the published snapshot: this runs on the caller's thread.
    const TLaserSnapshot snapshot = FStore.Get();
    switch (snapshot.Phase) {
    case TStationPhase::Ready:
        return {};
    case TStationPhase::Starting:
    case TStationPhase::Discovering:
        return "No laser yet: looking for it";
    case TStationPhase::NotFound:
        return "No laser: Laser failed to initialize";
    case TStationPhase::Lost:
        return "No laser: Laser not responding";
    case TStationPhase::ResetFailure:
        return "No laser: supply reset failure, run Init";
    }
    return "No laser";
}

TJobResult TLaserStation::RunJob(std::function<std::string()> body) {
    // Refused at once rather than queued behind a discovery that takes
    // seconds; the job checks again on the Qt thread.
    const std::string refusal = RefusalWithoutLaser();
    if (!refusal.empty())
        return Refusal(refusal);
    return FJobs.Run(
        [this, body = std::move(body)] {
            const std::string missing = RequireLaser();
            if (!missing.empty())
                throw ERefused(missing);
            // Whatever happened, clients read what the laser holds now.
            struct TPublishOnExit {
                TLaserStation* Station;
                ~TPublishOnExit() { Station->Publish(); }
            } publish{this};
            return body();
        },
        RequestWait);
}

TJobResult TLaserStation::Write(TAttrId id, double value) {
    return RunJob([this, id, value] {
        if (!FFeatures.Has(id))
            throw ERefused(AttrInfo(id).Lacks ? AttrInfo(id).Lacks : "Not available");
        ApplySetting(id, value);
        return std::string();
    });
}

TJobResult TLaserStation::SwitchSupply(bool on) {
    // Switching the supply on is the first step to firing: refused from the
    // network unless remote firing is allowed. Off always goes through.
    if (on && !FRemoteFiring)
        return Refusal("Remote firing is disabled: set the device property RemoteFiring to true");
    return RunJob([this, on] {
        if (on) {
            // As the window's switch: only while the laser may be started.
            if (!(FStatus & lsOkToStart))
                throw ERefused("The laser is not OK to start");
            FLaser->SetLaserEnabled(true);
        } else if (FLaser->Identified()) {
            FLaser->SetLaserEnabled(false);
        } else {
            // SetLaserEnabled would identify the laser first.
            FLaser->DoCommand(QByteArrayLiteral("OF"), true);
        }
        return std::string();
    });
}

TJobResult TLaserStation::Fire() {
    if (!FRemoteFiring)
        return Refusal("Remote firing is disabled: set the device property RemoteFiring to true");
    return RunJob([this] {
        if (!FCanFire)
            throw ERefused("The laser is not ready to fire");
        FLaser->StartFiring();
        FFireRequested = FLaser->FireMode() != fmOneShot;
        FFireTick = FTicks;
        return std::string();
    });
}

TJobResult TLaserStation::Stop() {
    return RunJob([this] {
        FFireRequested = false;
        FLaser->StopFiring();
        return std::string();
    });
}

TJobResult TLaserStation::SendRaw(const std::string& command) {
    if (!FAllowRawCommands)
        return Refusal(
            "Raw commands are disabled: set the device property AllowRawCommands to true");
    return RunJob([this, command] {
        const QByteArray text = QByteArray::fromStdString(command).trimmed();
        if (text.isEmpty())
            return std::string();
        try {
            return FLaser->SendCommand(text, true).toStdString();
        } catch (const std::exception&) {
            // As the mailbox: the laser's own error reply, or nothing.
            return FLaser->Reply().toStdString();
        }
    });
}

// ---- The Qt thread --------------------------------------------------------------

bool TLaserStation::Busy() const {
    return FDepth > 0 || FLaser->Busy();
}

void TLaserStation::ScheduleJobs() {
    // Thread-safe: the call is queued to the station's thread.
    QMetaObject::invokeMethod(this, &TLaserStation::RunJobs, Qt::QueuedConnection);
}

void TLaserStation::Settle() {
    // Jobs that arrived while the station was busy run once it is not.
    if (FDepth == 0 && FJobs.HasPending())
        ScheduleJobs();
}

void TLaserStation::RunJobs() {
    if (Busy())
        return;
    {
        const TBusyScope depth(FDepth);
        FJobs.RunPending();
    }
    Settle();
}

std::string TLaserStation::RequireLaser() const {
    if (FPhase == TStationPhase::Ready)
        return {};
    return "No laser";
}

void TLaserStation::LateJobDone(const TJobResult& result) {
    if (result.Kind == TJobResult::TKind::Refused || result.Kind == TJobResult::TKind::Failed)
        FLateNote = "A request that ran late failed: " + result.Text;
    else
        FLateNote.clear();
    FStore.Modify([](TLaserSnapshot& s) { --s.LateJobs; });
    Publish();
}

void TLaserStation::PollTimerFired() {
    // Inside a relay's connect wait the laser is in the middle of an exchange.
    if (Busy() || FPhase != TStationPhase::Ready)
        return;
    {
        const TBusyScope depth(FDepth);
        const TPollTick tick = FPoll->Tick(FFireRequested);
        ++FTicks;
        if (tick.FiringEnded || (tick.Outcome == TPollTick::TOutcome::Polled &&
                                 !(tick.Status & lsFire) && FTicks > FFireTick + 1))
            FFireRequested = false;

        switch (tick.Outcome) {
        case TPollTick::TOutcome::NotResponding:
            LaserLost();
            break;
        case TPollTick::TOutcome::ResetFailure:
            FStatus = tick.Status;
            FHaveStatus = true;
            FCanFire = false;
            FPhase = TStationPhase::ResetFailure;
            FPollTimer->stop();
            Log("Laser supply reset failure");
            break;
        case TPollTick::TOutcome::Polled:
            FStatus = tick.Status;
            FHaveStatus = true;
            FCanFire = tick.CanFire;
            break;
        }
        if (tick.Refusal)
            FRefusalNote = "The laser refused to stop: " + tick.Refusal->Message().toStdString();
        else if (!(FStatus & TSafetyPoll::FaultMask))
            FRefusalNote.clear();
        Publish();
    }
    Settle();
}

void TLaserStation::LaserLost() {
    FPollTimer->stop();
    FFireRequested = false;
    FCanFire = false;
    FPhase = TStationPhase::Lost;
    FRetryTimer->start();
    Log("Laser not responding");
}

void TLaserStation::RetryTimerFired() {
    if (FPhase != TStationPhase::Lost && FPhase != TStationPhase::NotFound)
        return;
    if (Busy()) {
        FRetryTimer->start();
        return;
    }
    {
        const TBusyScope depth(FDepth);
        Discover(false);
    }
    Settle();
}

void TLaserStation::Discover(bool announce) {
    FPollTimer->stop();
    FRetryTimer->stop();
    const TStationPhase before = FPhase;
    if (announce) {
        // A discovery retried behind a lost laser keeps showing the loss.
        FPhase = TStationPhase::Discovering;
        Publish();
    }
    FProblem.clear();
    bool found = false;
    try {
        found = FLaser->FindLaser();
    } catch (const ELaserError& error) {
        FProblem = error.Message().toStdString();
    } catch (const std::exception& error) {
        FProblem = error.what();
    }
    if (!found) {
        FPhase = announce || before != TStationPhase::Lost ? TStationPhase::NotFound
                                                           : TStationPhase::Lost;
        FRetryTimer->start();
        if (announce)
            Log("Laser failed to initialize");
        Publish();
        return;
    }
    FPoll->LaserFound();
    ApplyStartSettings();
    FPoll->Readouts().Setup(FLaser.get());
    FStatus = 0;
    FHaveStatus = false;
    FCanFire = false;
    FFireRequested = false;
    FRefusalNote.clear();
    FPhase = TStationPhase::Ready;
    FPollTimer->start();
    Log("Found laser on COM" + std::to_string(FLaser->PortNumber()));
    Publish();
}

void TLaserStation::ApplyStartSettings() {
    // The window's start settings, in its order, so that the laser hears the
    // same commands from either. A failure ends them there, as it ends the
    // window's; the poll then finds out whether the laser is still there.
    TCVLaser& laser = *FLaser;
    FStartNote.clear();
    int pulseMode = -1;
    try {
        laser.SetFireMode(fmOneShot);
        if (laser.RepRate() != 1)
            laser.SetRepRate(1);
        laser.SetOutputLevel(10);
        // A wavelength or range change stops firing first.
        laser.StopFiring();
        if (laser.HasOption(loHarmonicSets))
            laser.SetWavelength(laser.Wavelength());
        laser.SetApertureWidth(0);
        laser.SetApertureHeight(0);
        laser.StopFiring();
        laser.SetOutputRange(erLow);
        // Rotation and polarizer are re-applied at the values the laser object
        // holds, which sends nothing.
        if (laser.HasOption(loLED))
            laser.SetMarkerLevel(50);
        pulseMode = laser.QueryDecimal(QByteArrayLiteral("PM?"), -1);
        if (pulseMode >= 0 && laser.HasOption(loPulseWidth))
            laser.SetLongPulse(pulseMode == 1);
        if (laser.GetDiodeCount() <= 0)
            laser.SetPFNVoltage(50);
        else
            laser.SetDiodeCurrent(0, 0);
    } catch (const ELaserError& error) {
        FStartNote = "Start settings incomplete: " + error.Message().toStdString();
    } catch (const std::exception& error) {
        FStartNote = std::string("Start settings incomplete: ") + error.what();
    }
    FFeatures = TLaserFeatures::Of(laser, pulseMode);
}

void TLaserStation::ApplySetting(TAttrId id, double value) {
    TCVLaser& laser = *FLaser;
    const auto ordinal = [value](int count, const char* what) {
        const int n = RoundHalfEven(value);
        if (n < 0 || n >= count)
            throw ERefused(std::string("No such ") + what);
        return n;
    };
    switch (id) {
    case aiRepRate:
        if (const int hz = RoundHalfEven(value); hz != laser.RepRate())
            laser.SetRepRate(hz);
        break;
    case aiFireMode:
        laser.SetFireMode(TFireMode(ordinal(3, "firing mode")));
        break;
    case aiBurstCount:
        laser.SetBurstCount(RoundHalfEven(value));
        break;
    case aiOutputLevel:
        laser.SetOutputLevel(float(value));
        break;
    case aiOutputRange: {
        const auto range = TOutputRange(ordinal(2, "output range"));
        FFireRequested = false;
        laser.StopFiring();
        laser.SetOutputRange(range);
        break;
    }
    case aiWavelength: {
        const auto wavelength = TWavelength(ordinal(3, "wavelength"));
        if (!FFeatures.Offers(wavelength))
            throw ERefused("This laser does not offer that wavelength");
        FFireRequested = false;
        laser.StopFiring();
        laser.SetWavelength(wavelength);
        break;
    }
    case aiPFNVoltage:
        laser.SetPFNVoltage(float(value));
        break;
    case aiDiodeCurrent:
        laser.SetDiodeCurrent(0, float(value));
        break;
    case aiApertureWidth:
        laser.SetApertureWidth(float(value));
        break;
    case aiApertureHeight:
        laser.SetApertureHeight(float(value));
        break;
    case aiXYTheta:
        if (const int theta = RoundHalfEven(value); theta != laser.XYTheta())
            laser.SetXYTheta(theta);
        break;
    case aiPolarizerAngle:
        if (const int angle = RoundHalfEven(value); angle != laser.PolarizerAngle())
            laser.SetPolarizerAngle(angle);
        break;
    case aiIlluminatorLevel:
        laser.SetMarkerLevel(float(value));
        break;
    case aiLongPulse:
        laser.SetLongPulse(value != 0);
        break;
    default:
        throw ERefused(std::string(AttrInfo(id).Name) + " is read-only");
    }
}

// ---- The cache ------------------------------------------------------------------

void TLaserStation::Publish() {
    TLaserSnapshot next;
    // Found but not polled yet: the device stays INIT for that one tick
    // rather than show a supply state it has not read.
    next.Phase =
        FPhase == TStationPhase::Ready && !FHaveStatus ? TStationPhase::Discovering : FPhase;
    next.Status = FStatus;
    next.CanFire = FCanFire;
    next.Problem = FProblem;
    if (FPhase == TStationPhase::Ready) {
        RefreshIdentity();
        next.Laser = FIdentity.Laser;
    }
    for (const std::string* note : {&FMailboxNote, &FStartNote, &FRefusalNote, &FLateNote})
        if (!note->empty())
            next.Notes.push_back(*note);
    FillValues(next);
    FStore.Modify([&next](TLaserSnapshot& s) {
        const int late = s.LateJobs;
        s = next;
        s.LateJobs = late;
    });
}

void TLaserStation::RefreshIdentity() {
    // The texts change only with a discovery; formatting them on every tick
    // would cost the poll more than the rest of its publishing.
    const TCVLaser& laser = *FLaser;
    if (FIdentity.Port == laser.PortNumber() && FIdentity.Type == laser.LaserType() &&
        FIdentity.FirmwareVersion == laser.FirmwareVersion() &&
        FIdentity.Network == laser.NetworkConnection() && !FIdentity.Model.empty())
        return;
    FIdentity.Port = laser.PortNumber();
    FIdentity.Type = laser.LaserType();
    FIdentity.FirmwareVersion = laser.FirmwareVersion();
    FIdentity.Network = laser.NetworkConnection();
    FIdentity.Model = laser.GetLaserTypeName().toStdString();
    FIdentity.Firmware = QString::number(double(laser.FirmwareVersion()), 'f', 2).toStdString();
    FIdentity.Laser = FIdentity.Model + " on COM" + std::to_string(FIdentity.Port);
    if (!FIdentity.Network.isEmpty())
        FIdentity.Laser += " through " + FIdentity.Network.toStdString();
    FIdentity.Laser += ", firmware " + FIdentity.Firmware;
}

void TLaserStation::FillValues(TLaserSnapshot& s) const {
    const auto set = [&s](TAttrId id, double number) { s.Values[id] = {true, number, {}}; };
    const bool ready = FPhase == TStationPhase::Ready;

    // The last status word stays readable after a reset failure: it shows why.
    if (FHaveStatus && (ready || FPhase == TStationPhase::ResetFailure)) {
        set(aiStatusWord, FStatus);
        for (int id = aiFlowInterlock; id <= aiCoolantLow; ++id)
            set(TAttrId(id), (FStatus & AttrInfo(TAttrId(id)).Bit) != 0);
    }
    if (!ready)
        return;

    const TReadouts& readouts = FPoll->Readouts();
    const std::pair<TAttrId, TReadouts::TKind> readoutIds[] = {
        {aiShotCount, TReadouts::rkShots},
        {aiHours, TReadouts::rkHours},
        {aiFlowRate, TReadouts::rkFlow},
        {aiTemperature, TReadouts::rkTemperature}};
    for (const auto& [id, kind] : readoutIds)
        if (readouts.Present(kind) && readouts.Value(kind) >= 0)
            set(id, readouts.Value(kind));

    TCVLaser& laser = *FLaser;
    s.Values[aiModel] = {true, 0, FIdentity.Model};
    set(aiLaserType, laser.LaserType());
    s.Values[aiFirmware] = {true, 0, FIdentity.Firmware};
    set(aiOptions, laser.Options());

    const auto setting = [&](TAttrId id, double number) {
        if (FFeatures.Has(id))
            set(id, number);
    };
    setting(aiRepRate, laser.RepRate());
    setting(aiFireMode, laser.FireMode());
    setting(aiBurstCount, laser.BurstCount());
    setting(aiOutputLevel, double(laser.OutputLevel()));
    setting(aiOutputRange, laser.OutputRange());
    setting(aiWavelength, laser.Wavelength());
    setting(aiPFNVoltage, double(laser.PFNVoltage()));
    setting(aiDiodeCurrent, double(laser.GetDiodeCurrent(1)));
    setting(aiApertureWidth, double(laser.ApertureWidth()));
    setting(aiApertureHeight, double(laser.ApertureHeight()));
    setting(aiXYTheta, laser.XYTheta());
    setting(aiPolarizerAngle, laser.PolarizerAngle());
    // Cached once identified; asked of the laser otherwise, which a read of
    // the cache must never cause.
    if (laser.Identified()) {
        setting(aiIlluminatorLevel, double(laser.MarkerLevel()));
        setting(aiLongPulse, laser.GetLongPulse());
    }
}
