#pragma once

#include <tango.h>

#include <string>

class TLaserStation;

// The Tango device class "Trevalon": its attributes and commands, and its
// one device, which drives the process's one laser.
class TTrevalonClass : public Tango::DeviceClass {
public:
    static constexpr const char* ClassName = "Trevalon";

    // For Tango::DServer::class_factory; Tango owns the result. The station
    // must outlive the server.
    static TTrevalonClass* Create(TLaserStation& station);

    void command_factory() override;
    void attribute_factory(std::vector<Tango::Attr*>& attributes) override;
    // Refuses a list of more than one device: a process has one laser.
    void device_factory(const Tango::DevVarStringArray* names) override;

private:
    TTrevalonClass(std::string& className, TLaserStation& station);

    TLaserStation& FStation;
};
