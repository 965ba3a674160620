#pragma once

#include <tango.h>

// The device's own commands (Tango adds Init, State and Status).
enum class TCommandId { On, Off, Fire, Stop, SendCommand };

// One command of the device; the device carries it out.
class TTrevalonCommand : public Tango::Command {
public:
    explicit TTrevalonCommand(TCommandId id);

    CORBA::Any* execute(Tango::DeviceImpl* device, const CORBA::Any& input) override;

private:
    TCommandId FId;
};
