#pragma once

#include "tango/AttributeTable.h"

#include <tango.h>

// One Tango attribute of the device, built from its row of the attribute
// table: type, unit, limits, enumeration labels and whether the poll pushes
// its change events. Reading and writing are the device's.
class TTrevalonAttribute : public Tango::Attr {
public:
    explicit TTrevalonAttribute(TAttrId id);

    void read(Tango::DeviceImpl* device, Tango::Attribute& attribute) override;
    void write(Tango::DeviceImpl* device, Tango::WAttribute& attribute) override;

    static long TangoType(TAttrKind kind);

private:
    TAttrId FId;
};
