#include "tango/TrevalonAttribute.h"

#include "tango/TrevalonDevice.h"

long TTrevalonAttribute::TangoType(TAttrKind kind) {
    switch (kind) {
    case TAttrKind::Bool:
        return Tango::DEV_BOOLEAN;
    case TAttrKind::UShort:
        return Tango::DEV_USHORT;
    case TAttrKind::Long:
        return Tango::DEV_LONG;
    case TAttrKind::Double:
        return Tango::DEV_DOUBLE;
    case TAttrKind::Enum:
        return Tango::DEV_ENUM;
    case TAttrKind::String:
        return Tango::DEV_STRING;
    }
    return Tango::DEV_VOID;
}

TTrevalonAttribute::TTrevalonAttribute(TAttrId id)
    : Tango::Attr(AttrInfo(id).Name, TangoType(AttrInfo(id).Kind),
                  AttrInfo(id).Writable ? Tango::READ_WRITE : Tango::READ),
      FId(id) {
    const TAttrInfo& info = AttrInfo(id);
    Tango::UserDefaultAttrProp properties;
    properties.set_description(info.Description);
    if (*info.Unit)
        properties.set_unit(info.Unit);
    if (info.MinValue)
        properties.set_min_value(info.MinValue);
    if (info.MaxValue)
        properties.set_max_value(info.MaxValue);
    std::vector<std::string> labels = EnumLabels(id);
    if (!labels.empty())
        properties.set_enum_labels(labels);
    set_default_properties(properties);
    if (info.Events)
        set_change_event(true, false);
}

void TTrevalonAttribute::read(Tango::DeviceImpl* device, Tango::Attribute& attribute) {
    static_cast<TTrevalonDevice*>(device)->ReadAttribute(FId, attribute);
}

void TTrevalonAttribute::write(Tango::DeviceImpl* device, Tango::WAttribute& attribute) {
    static_cast<TTrevalonDevice*>(device)->WriteAttribute(FId, attribute);
}
