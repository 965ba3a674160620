#pragma once

#include "laser/LaserError.h"
#include "laser/LaserModel.h"
#include "laser/StatusTables.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <cstdint>
#include <functional>
#include <memory>

class TGenericController;

// Clock and pause of the laser object. The protocol demands pauses (200 ms
// during identification, 250 ms between motor polls); tests and benchmarks
// replace them to drive or measure time.
struct TLaserTiming {
    std::function<std::int64_t()> Now; // monotonic milliseconds
    std::function<void(int)> Pause;    // blocks for the given milliseconds
    static TLaserTiming System();      // platform::TickCount and a thread sleep
};

// The object through which the program talks to one laser. It owns a
// generic controller (";LA" prefix) whose channel reaches the laser on a
// COM slot or, with NetworkConnection set, through a relay host.
//
// Failures the caller should see are thrown as ELaserError (codes in
// LaserError.h). Unreadable numbers in replies to "LT?", "MR?", "NH?",
// "HSn?" and the register read throw EConvertError. Queries that only feed
// displays (flow, temperature, hours, travels, marker level, pulse mode)
// return a default instead of throwing.
//
// Nothing is sent while the object is not active (FindLaser or Initialize
// makes it active). All calls block the calling thread for the exchange; the
// object must be used from one thread, and a connection manager must exist
// before the first port is opened.
class TCVLaser {
public:
    static constexpr int ReplyTimeout = 2000;       // ms, set on the port after each open
    static constexpr int MotorPollInterval = 250;   // ms
    static constexpr int MotorMoveTimeout = 10000;  // ms
    static constexpr int InitMotorTimeout1 = 20000; // ms
    static constexpr int InitPause = 200;           // ms
    static constexpr int InitMotorTimeout2 = 10000; // ms
    static constexpr int PolarizerRegister = 0x0F90;

    TCVLaser();
    // Shutdown: "OF" (reply awaited) then "SM0" (none) when connected; errors
    // end that sequence silently. Then the port is released.
    virtual ~TCVLaser();
    TCVLaser(const TCVLaser&) = delete;
    TCVLaser& operator=(const TCVLaser&) = delete;

    // ---- Published properties ----------------------------------------------
    float ApertureHeight() const; // percent of the height blade's travel
    void SetApertureHeight(float percent);
    float ApertureWidth() const; // percent of the width blade's travel
    void SetApertureWidth(float percent);
    int BurstCount() const { return FBurstCount; }
    void SetBurstCount(int pulses); // limited to 1..MaxBurstCount()
    TFireMode FireMode() const { return FFireMode; }
    void SetFireMode(TFireMode mode);
    bool LaserEnabled();           // one "SS" exchange: ON or START set
    void SetLaserEnabled(bool on); // identifies first when needed; "ON"/"OF"
    int MarkerApertureIndex() const { return FMarkerApertureIndex; }
    void SetMarkerApertureIndex(int index);
    bool MarkerOn(); // marker level > 0
    void SetMarkerOn(bool on);
    float MarkerLevel(); // percent of 200
    void SetMarkerLevel(float percent);
    const QString& NetworkConnection() const { return FNetworkConnection; }
    void SetNetworkConnection(const QString& address); // reconnects when active
    float OutputLevel() const { return FOutputLevel; }
    void SetOutputLevel(float percent); // "AT", needs loAttenuator
    TOutputRange OutputRange() const { return FOutputRange; }
    void SetOutputRange(TOutputRange range);
    float PFNVoltage() const { return FPFNVoltage; }
    void SetPFNVoltage(float percent); // "VO" or diode currents
    int PortNumber() const { return FPortNumber; }
    void SetPortNumber(int port); // below 1: closes the port, keeps the number
    int RepRate() const { return FRepRate; }
    void SetRepRate(int hz); // limited to MinRepRate()..MaxRepRate()
    bool QSwitchEnabled() const { return FQSwitchEnabled; }
    void SetQSwitchEnabled(bool enabled);
    TWavelength Wavelength() const { return FWavelength; }
    void SetWavelength(TWavelength wavelength);
    int XYTheta() const { return FXYTheta; }
    void SetXYTheta(int theta); // needs loXYTheta

    // ---- Connection --------------------------------------------------------
    // Opens the slot (routing it to NetworkConnection first when that is
    // set); throws leOpenPort when it cannot be opened. Inactive object or
    // port <= 0: only stores the port number and returns false.
    bool OpenPort(int port);
    void Disconnect();                      // closes the port; clears Connected and Identified
    QString GetLaserTypeName() const;       // no traffic; "unknown" above type 8
    int GetDiodeCount() const;              // -1 type 0, 1 type 5, 2 type 8, else 0
    float GetDiodeCurrent(int index) const; // last percent of diode 1/2, else -1

    // ---- Commands ----------------------------------------------------------
    // One exchange; the reply (without CR) is left in Reply(). Returns false
    // without sending while inactive, and when a reply was cut off by the
    // time-out. Throws leUnknownCommand..leOptionNotInstalled or leUnknown
    // for error replies ("?n"), leNoResponse for an empty reply, leOpenPort
    // when the port cannot be opened; leNoResponse without sending once the
    // laser was given up.
    bool DoCommand(const QByteArray& command, bool expectReply);
    // DoCommand and a copy of the reply; errors propagate with Reply()
    // still holding the error reply. A raw "MO0".."MO2" the laser accepts
    // also becomes FireMode(), so that the object keeps knowing how the
    // laser fires when another program changed it.
    QByteArray SendCommand(const QByteArray& command, bool expectReply);
    const QByteArray& Reply() const { return FReply; }
    // The reply read as a number; `fallback` on any failure (never throws).
    int QueryDecimal(const QByteArray& command, int fallback);
    int QueryHex(const QByteArray& command, int fallback);
    // Cached type once identified; otherwise asks "LT?" (EConvertError on a
    // non-numeric reply; 0 when nothing was sent). Sets the rate unit.
    quint8 GetLaserType();
    // With new firmware, polls "SS" every 250 ms until raw bit 20 (motor
    // moving) clears; throws leTimedOut past `timeoutMs`.
    void WaitForMotors(int timeoutMs);
    void SelectHarmonic(TWavelength wavelength, TOutputRange range);
    void StartFiring();                             // "SH1" first on types 5 and 8, then "GO"
    void StopFiring();                              // "ST"
    void SetDiodeCurrent(int index, float percent); // index 0 = every diode
    void SetPolarizerAngle(int degrees);            // 0..180, even degrees
    int PolarizerAngle() const { return FPolarizerAngle; }
    void MoveApertureX(int steps);
    void MoveApertureY(int steps);
    int GetMarkerSetting();           // LED level 0..200, -1 when unknown
    void SetMarkerSetting(int level); // 0..200; failures leave it unchanged
    bool GetLongPulse();
    void SetLongPulse(bool longPulse);
    int GetApertureXSteps();
    int GetApertureYSteps();

    // ---- Status ------------------------------------------------------------
    // One "SS" exchange; the derived word (empty when nothing was sent).
    // Throws leInvalidResponse for a non-hexadecimal reply. RESET clears Identified.
    TLaserStatus GetStatus();
    bool CanFire(TLaserStatus status);
    float GetShotCount(); // -1 when not identified; throws like GetStatus
    int GetHours();       // -1 when unavailable
    int GetFlow();
    int GetTemperature();

    // ---- Identification ----------------------------------------------------
    // Scans the present slots in ascending order and identifies the first
    // laser that answers. Only leFirmwareTooOld escapes the scan.
    bool FindLaser();
    // Identifies the laser on the current port and pushes the settings.
    bool Initialize();
    QString GetFirmwareVersion(); // the reply to "VN"
    TLaserOptions ReadOptions();

    // ---- Giving the laser up -----------------------------------------------
    // The owner gives the laser up: it stopped answering, or its supply
    // failed to reset. Until FindLaser or Initialize runs again every command
    // throws leNoResponse without sending anything, so that a value typed
    // before the loss never reaches a laser that came back on the line
    // meanwhile. The shutdown's "OF" and "SM0" are still tried.
    void GiveUp() { FGivenUp = true; }
    bool GivenUp() const { return FGivenUp; }

    // True while a call of this object is reaching the laser: an exchange, a
    // port being opened (a relay's connect wait processes events, so other
    // code may run inside it) or a pause of the protocol. An exchange started
    // from such code would mix its reply with the one awaited.
    bool Busy() const { return FBusyDepth > 0; }

    // ---- State read-outs ---------------------------------------------------
    bool Active() const { return FActive; }
    bool Connected() const { return FConnected; }
    bool Identified() const { return FIdentified; }
    quint8 LaserType() const { return FLaserType; } // cached, no traffic
    float FirmwareVersion() const { return FFirmwareVersion; }
    bool NewFirmware() const { return FNewFirmware; }
    TLaserOptions Options() const { return FOptions; }
    bool HasOption(TLaserOption option) const { return (FOptions & option) != 0; }
    int MaxRepRate() const { return FMaxRepRate; }
    int MinRepRate() const { return FMinRepRate; }
    int RepRateUnit() const { return FRepRateUnit; }
    int MaxBurstCount() const { return FMaxBurstCount; }
    int HarmonicCount() const { return FHarmonicCount; }
    const QVector<THarmonicEntry>& Harmonics() const { return FHarmonics; }
    int CurrentHarmonic() const { return FCurrentHarmonic; }
    quint8 Wavelengths() const { return FWavelengths; } // bit = TWavelength ordinal
    quint32 RawStatus() const { return FRawStatus; }
    TLaserStatus Status() const { return FStatus; }
    const TStatusTable& StatusTable() const { return FStatusTable; }
    int ApertureXSteps() const { return FApertureXSteps; } // cached travel
    int ApertureYSteps() const { return FApertureYSteps; }
    int ApertureX() const { return FApertureX; }
    int ApertureY() const { return FApertureY; }
    quint8 PolarizerKind() const { return FPolarizerKind; }

    // Replaces the clock and pause (tests, benchmarks).
    void SetTiming(TLaserTiming timing) { FTiming = std::move(timing); }

private:
    void ThrowError(int code);
    // FTiming.Pause, counted as a time the object is busy.
    void Pause(int milliseconds);
    void ReadHarmonicSets();
    void PushSettings();
    void Shutdown();

    // Fields in the order of the laser's data model.
    int FBurstCount = 1;
    std::unique_ptr<TGenericController> FController;
    int FCurrentHarmonic = -1;
    float FDiode1Current = 0.0f;
    float FDiode2Current = 0.0f;
    int FHarmonicCount = 0;
    QVector<THarmonicEntry> FHarmonics;
    TFireMode FFireMode = fmOneShot;
    bool FIdentified = false;
    TStatusTable FStatusTable{};
    quint8 FLaserType = 0;
    TLaserStatus FStatus = 0;
    bool FLongPulse = false;
    int FMarkerApertureIndex = 0;
    int FMaxBurstCount = 4000;
    int FMaxRepRate = 10;
    int FMinRepRate = 1;
    QString FNetworkConnection;
    float FOutputLevel = 0.0f;
    TOutputRange FOutputRange = erLow;
    float FPFNVoltage = 100.0f;
    int FPolarizerAngle = 0;
    int FPortNumber = 1;
    bool FConnected = false;
    bool FQSwitchEnabled = true;
    int FRepRate = 1;
    int FRepRateUnit = 1;
    bool FActive = false;
    bool FNewFirmware = false;
    float FFirmwareVersion = 0.0f;
    TWavelength FWavelength = wlIR;
    quint8 FWavelengths = 1u << wlIR;
    int FXYTheta = 0;
    quint32 FRawStatus = 0;
    QByteArray FReply;
    int FApertureYSteps = 255;
    int FApertureXSteps = 255;
    int FApertureX = 0;
    int FApertureY = 0;
    quint8 FPolarizerKind = 0;
    int FMarkerSetting = 0;
    TLaserOptions FOptions = 0;
    bool FGivenUp = false;
    int FBusyDepth = 0;

    TLaserTiming FTiming = TLaserTiming::System();
};
