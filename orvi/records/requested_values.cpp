// A configuration with requested values applied the way the Input/Output page applies a user's choices.
#include "requested_values.h"

#include "input_type_rescale.h"
#include "unit_switch.h"

namespace {
bool Requested(const std::vector<RequestedValue>& requests, const char* name) {
    for (const RequestedValue& request : requests)
        if (std::string(request.key->name) == name) return true;
    return false;
}
}  // namespace

ConfigSnapshot ApplyRequests(const ConfigSnapshot& current, const std::vector<RequestedValue>& requests) {
    ConfigSnapshot target = current;
    for (const RequestedValue& request : requests) request.key->put(target, request.value);

    const bool lower = Requested(requests, "limite_inferior");
    const bool upper = Requested(requests, "limite_superior");
    const bool setPoint = Requested(requests, "alarme_setpoint");
    const bool hysteresis = Requested(requests, "alarme_histerese");
    if (target.inputType != current.inputType) {
        if (!lower)
            target.lowerLimit =
                RescaleToInputType(current.lowerLimit, current.inputType, target.inputType, current.unit);
        if (!upper)
            target.upperLimit =
                RescaleToInputType(current.upperLimit, current.inputType, target.inputType, current.unit);
        if (!setPoint)
            target.alarmSetPoint =
                RescaleToInputType(current.alarmSetPoint, current.inputType, target.inputType, current.unit);
    }
    // Only a switch between the two known units converts, as on the page (a linear input has no
    // temperatures; the hysteresis is a difference; tenths types in tenths).
    if (DecideUnitSwitch(current.unit, target.unit) == kUnitConvert) {
        const UnitQuantity T = UnitQuantity::Temperature;
        const int type = target.inputType;
        if (!lower) target.lowerLimit = ConvertToUnit(target.lowerLimit, target.unit, type, T);
        if (!upper) target.upperLimit = ConvertToUnit(target.upperLimit, target.unit, type, T);
        if (!setPoint) target.alarmSetPoint = ConvertToUnit(target.alarmSetPoint, target.unit, type, T);
        if (!hysteresis)
            target.alarmHysteresis = ConvertToUnit(target.alarmHysteresis, target.unit, type, UnitQuantity::Difference);
    }
    return target;
}
