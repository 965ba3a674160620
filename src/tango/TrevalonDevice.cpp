#include "tango/TrevalonDevice.h"

#include "tango/EventPusher.h"
#include "tango/LaserStation.h"

#include <cmath>

TTrevalonDevice::TTrevalonDevice(Tango::DeviceClass* deviceClass, std::string& name,
                                 TLaserStation& station)
    : Tango::Device_5Impl(deviceClass, name), FStation(station) {
    init_device();
}

TTrevalonDevice::~TTrevalonDevice() {
    delete_device();
}

void TTrevalonDevice::init_device() {
    set_change_event("State", true, false);
    set_change_event("Status", true, false);
    FStation.Start(ReadProperties());
    if (!FPusher)
        FPusher = std::make_unique<TEventPusher>(*this, FStation.Store());
}

void TTrevalonDevice::delete_device() {
    // Init runs this under the device's monitor, for which the pusher may be
    // waiting: it keeps running across Init and stops with the device.
    FStation.Halt();
}

TStationSettings TTrevalonDevice::ReadProperties() {
    TStationSettings settings;
    if (!Tango::Util::_UseDb)
        return settings;
    Tango::DbData data;
    for (const char* name : {"PollPeriod", "Relay", "RemoteFiring", "AllowRawCommands"})
        data.push_back(Tango::DbDatum(name));
    get_db_device()->get_property(data);
    if (!data[0].is_empty()) {
        Tango::DevLong period = settings.PollPeriod;
        data[0] >> period;
        settings.PollPeriod = period;
    }
    if (!data[1].is_empty())
        data[1] >> settings.Relay;
    if (!data[2].is_empty())
        data[2] >> settings.RemoteFiring;
    if (!data[3].is_empty())
        data[3] >> settings.AllowRawCommands;
    return settings;
}

Tango::DevState TTrevalonDevice::TangoState(TDeviceState state) {
    switch (state) {
    case TDeviceState::Init:
        return Tango::INIT;
    case TDeviceState::Fault:
        return Tango::FAULT;
    case TDeviceState::Alarm:
        return Tango::ALARM;
    case TDeviceState::Moving:
        return Tango::MOVING;
    case TDeviceState::Running:
        return Tango::RUNNING;
    case TDeviceState::On:
        return Tango::ON;
    case TDeviceState::Standby:
        return Tango::STANDBY;
    }
    return Tango::UNKNOWN;
}

Tango::DevState TTrevalonDevice::dev_state() {
    const TDeviceView view = ViewOf(FStation.Store().Get());
    set_state(TangoState(view.State));
    return get_state();
}

Tango::ConstDevString TTrevalonDevice::dev_status() {
    FStatusText = ViewOf(FStation.Store().Get()).Status;
    return FStatusText.c_str();
}

void TTrevalonDevice::read_attr_hardware(std::vector<long>&) {
    // One copy for all attributes of a request, so that they agree.
    FRead = FStation.Store().Get();
}

void TTrevalonDevice::ReadAttribute(TAttrId id, Tango::Attribute& attribute) {
    const TAttrValue& value = FRead.Values[id];
    if (!value.Valid) {
        attribute.set_quality(Tango::ATTR_INVALID);
        return;
    }
    TReadBuffer& buffer = FBuffers[id];
    switch (AttrInfo(id).Kind) {
    case TAttrKind::Bool:
        buffer.Bool = value.Number != 0;
        attribute.set_value(&buffer.Bool);
        break;
    case TAttrKind::UShort:
        buffer.UShort = static_cast<Tango::DevUShort>(value.Number);
        attribute.set_value(&buffer.UShort);
        break;
    case TAttrKind::Long:
        buffer.Long = static_cast<Tango::DevLong>(std::lround(value.Number));
        attribute.set_value(&buffer.Long);
        break;
    case TAttrKind::Double:
        buffer.Double = value.Number;
        attribute.set_value(&buffer.Double);
        break;
    case TAttrKind::Enum:
        buffer.Enum = static_cast<Tango::DevShort>(value.Number);
        attribute.set_value(&buffer.Enum);
        break;
    case TAttrKind::String:
        buffer.Text = value.Text;
        buffer.TextPointer = buffer.Text.data();
        attribute.set_value(&buffer.TextPointer);
        break;
    }
}

void TTrevalonDevice::WriteAttribute(TAttrId id, Tango::WAttribute& attribute) {
    double value = 0;
    switch (AttrInfo(id).Kind) {
    case TAttrKind::Bool: {
        Tango::DevBoolean flag = false;
        attribute.get_write_value(flag);
        value = flag ? 1 : 0;
        break;
    }
    case TAttrKind::Long: {
        Tango::DevLong number = 0;
        attribute.get_write_value(number);
        value = number;
        break;
    }
    case TAttrKind::Double: {
        Tango::DevDouble number = 0;
        attribute.get_write_value(number);
        if (!std::isfinite(number))
            Tango::Except::throw_exception("Trevalon_Refused", "Not a number",
                                           "TTrevalonDevice::WriteAttribute");
        value = number;
        break;
    }
    case TAttrKind::Enum: {
        Tango::DevShort ordinal = 0;
        attribute.get_write_value(ordinal);
        value = ordinal;
        break;
    }
    case TAttrKind::UShort:
    case TAttrKind::String:
        Tango::Except::throw_exception("Trevalon_Refused", "Read-only attribute",
                                       "TTrevalonDevice::WriteAttribute");
    }
    Check(FStation.Write(id, value), "TTrevalonDevice::WriteAttribute", false);
}

void TTrevalonDevice::Check(const TJobResult& result, const char* origin, bool pendingIsError) {
    switch (result.Kind) {
    case TJobResult::TKind::Done:
        return;
    case TJobResult::TKind::Pending:
        // A write that outlives the wait goes on; the device shows MOVING.
        if (!pendingIsError)
            return;
        Tango::Except::throw_exception(
            "Trevalon_Busy", "The laser has not answered yet; the command goes on", origin);
    case TJobResult::TKind::Refused:
        Tango::Except::throw_exception("Trevalon_Refused", result.Text, origin);
    case TJobResult::TKind::Failed:
        Tango::Except::throw_exception("Trevalon_LaserError", result.Text, origin);
    }
}

void TTrevalonDevice::SwitchSupply(bool on) {
    Check(FStation.SwitchSupply(on), on ? "TTrevalonDevice::On" : "TTrevalonDevice::Off", false);
}

void TTrevalonDevice::Fire() {
    Check(FStation.Fire(), "TTrevalonDevice::Fire", false);
}

void TTrevalonDevice::Stop() {
    Check(FStation.Stop(), "TTrevalonDevice::Stop", false);
}

std::string TTrevalonDevice::SendCommand(const std::string& command) {
    const TJobResult result = FStation.SendRaw(command);
    Check(result, "TTrevalonDevice::SendCommand", true);
    return result.Text;
}
