#pragma once

#include "tango/DeviceView.h"
#include "tango/JobQueue.h"
#include "tango/LaserSnapshot.h"
#include "tango/StationSettings.h"

#include <tango.h>

#include <array>
#include <memory>
#include <string>

class TEventPusher;
class TLaserStation;

// The Tango device "Trevalon". It never touches the laser: its attributes
// are served from the station's cache, and its writes and commands are jobs
// the station carries out on the Qt thread, after which the cache holds what
// the laser holds. Everything here runs on Tango's request threads under the
// device's monitor, except the event pusher's thread.
//
// Device properties: PollPeriod (ms, default 250), Relay ("host:port"),
// RemoteFiring (default false: Fire is refused), AllowRawCommands (default
// false: SendCommand is refused). Init (Tango's) reads them again and looks
// for the laser again.
//
// Errors reach the client as DevFailed with the reason Trevalon_Refused
// (nothing was sent: no laser, a setting this laser lacks, firing or raw
// commands not allowed, not ready), Trevalon_LaserError (the laser refused or
// did not answer) or Trevalon_Busy (a command whose answer is not known yet).
class TTrevalonDevice : public Tango::Device_5Impl {
public:
    TTrevalonDevice(Tango::DeviceClass* deviceClass, std::string& name, TLaserStation& station);
    // Stops the event pusher; the station keeps the laser.
    ~TTrevalonDevice() override;

    void init_device() override;
    void delete_device() override;
    Tango::DevState dev_state() override;
    Tango::ConstDevString dev_status() override;
    void read_attr_hardware(std::vector<long>& attributes) override;

    void ReadAttribute(TAttrId id, Tango::Attribute& attribute);
    void WriteAttribute(TAttrId id, Tango::WAttribute& attribute);
    void SwitchSupply(bool on);
    void Fire();
    void Stop();
    std::string SendCommand(const std::string& command);

    static Tango::DevState TangoState(TDeviceState state);

private:
    // Where a read's value lives until Tango has sent it.
    struct TReadBuffer {
        Tango::DevBoolean Bool = false;
        Tango::DevUShort UShort = 0;
        Tango::DevLong Long = 0;
        Tango::DevDouble Double = 0;
        Tango::DevShort Enum = 0;
        std::string Text;
        Tango::DevString TextPointer = nullptr;
    };

    TStationSettings ReadProperties();
    static void Check(const TJobResult& result, const char* origin, bool pendingIsError);

    TLaserStation& FStation;
    TLaserSnapshot FRead;
    std::array<TReadBuffer, AttrCount> FBuffers{};
    std::string FStatusText;
    std::unique_ptr<TEventPusher> FPusher;
};
