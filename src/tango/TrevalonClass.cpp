#include "tango/TrevalonClass.h"

#include "tango/AttributeTable.h"
#include "tango/TrevalonAttribute.h"
#include "tango/TrevalonCommand.h"
#include "tango/TrevalonDevice.h"

TTrevalonClass* TTrevalonClass::Create(TLaserStation& station) {
    // Tango's DeviceClass keeps a reference to the name.
    static std::string className = ClassName;
    return new TTrevalonClass(className, station);
}

TTrevalonClass::TTrevalonClass(std::string& className, TLaserStation& station)
    : Tango::DeviceClass(className), FStation(station) {}

void TTrevalonClass::command_factory() {
    for (TCommandId id : {TCommandId::On, TCommandId::Off, TCommandId::Fire, TCommandId::Stop,
                          TCommandId::SendCommand})
        command_list.push_back(new TTrevalonCommand(id));
}

void TTrevalonClass::attribute_factory(std::vector<Tango::Attr*>& attributes) {
    for (int id = 0; id < AttrCount; ++id)
        attributes.push_back(new TTrevalonAttribute(TAttrId(id)));
}

void TTrevalonClass::device_factory(const Tango::DevVarStringArray* names) {
    if (names->length() + device_list.size() > 1)
        Tango::Except::throw_exception("Trevalon_OneDevice",
                                       "A Trevalon server drives one laser: give it one device",
                                       "TTrevalonClass::device_factory");
    for (CORBA::ULong i = 0; i < names->length(); ++i) {
        std::string deviceName = (*names)[i].in();
        auto* device = new TTrevalonDevice(this, deviceName, FStation);
        device_list.push_back(device);
        // Without a database (or with a file standing in for one) the
        // device is reached by its name.
        if (Tango::Util::_UseDb && !Tango::Util::_FileDb)
            export_device(device);
        else
            export_device(device, device->get_name().c_str());
    }
}
