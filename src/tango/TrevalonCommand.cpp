#include "tango/TrevalonCommand.h"

#include "tango/TrevalonDevice.h"

namespace {

struct TCommandInfo {
    const char* Name;
    Tango::CmdArgType Type; // of the argument and of the answer
    const char* Argument;
    const char* Answer;
    Tango::DispLevel Level;
};

TCommandInfo InfoOf(TCommandId id) {
    switch (id) {
    case TCommandId::On:
        return {"On", Tango::DEV_VOID, "", "", Tango::OPERATOR};
    case TCommandId::Off:
        return {"Off", Tango::DEV_VOID, "", "", Tango::OPERATOR};
    case TCommandId::Fire:
        return {"Fire", Tango::DEV_VOID, "", "", Tango::OPERATOR};
    case TCommandId::Stop:
        return {"Stop", Tango::DEV_VOID, "", "", Tango::OPERATOR};
    case TCommandId::SendCommand:
        return {"SendCommand", Tango::DEV_STRING, "A laser command, without the ;LA prefix",
                "The laser's reply, its error reply (?1), or empty text", Tango::EXPERT};
    }
    return {"", Tango::DEV_VOID, "", "", Tango::OPERATOR};
}

} // namespace

TTrevalonCommand::TTrevalonCommand(TCommandId id)
    : Tango::Command(InfoOf(id).Name, InfoOf(id).Type, InfoOf(id).Type, InfoOf(id).Argument,
                     InfoOf(id).Answer, InfoOf(id).Level),
      FId(id) {}

CORBA::Any* TTrevalonCommand::execute(Tango::DeviceImpl* device, const CORBA::Any& input) {
    auto& trevalon = *static_cast<TTrevalonDevice*>(device);
    switch (FId) {
    case TCommandId::On:
        trevalon.SwitchSupply(true);
        break;
    case TCommandId::Off:
        trevalon.SwitchSupply(false);
        break;
    case TCommandId::Fire:
        trevalon.Fire();
        break;
    case TCommandId::Stop:
        trevalon.Stop();
        break;
    case TCommandId::SendCommand: {
        const char* command = nullptr;
        extract(input, command);
        return insert(trevalon.SendCommand(command ? command : "").c_str());
    }
    }
    return insert();
}
