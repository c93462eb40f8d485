// A configuration with requested values applied the way the Input/Output page applies a user's choices.
#include "requested_values.h"

#include "alarm_functions.h"
#include "input_type_rescale.h"
#include "input_types.h"
#include "configuration_rules.h"
#include "register_map.h"
#include "text_convert.h"
#include "unit_switch.h"

namespace {
bool IsAlarmOnlyRegister(int reg) {
    return reg == kRegAlarmSetPoint || reg == kRegAlarmHysteresis || reg == kRegAlarmInitialBlock;
}

bool Requested(const std::vector<RequestedValue>& requests, const char* name) {
    for (const RequestedValue& request : requests)
        if (std::string(request.key->name) == name) return true;
    return false;
}

bool TemperatureInput(int type) { return IsKnownInputType(type) && !IsLinearInput(type); }

// Two temperature inputs of which one counts in tenths of a degree and the other in whole degrees.
bool StepChanges(int oldType, int newType) {
    return TemperatureInput(oldType) && TemperatureInput(newType) && IsTenthsInput(oldType) != IsTenthsInput(newType);
}

// A difference of temperature in the new type's step: times ten into tenths, a tenth of it (rounded
// half away from zero) out of them; kept to 16 bits.
int16_t HysteresisInStep(int16_t value, int newType) {
    const int32_t carried = IsTenthsInput(newType) ? value * 10 : (value >= 0 ? value + 5 : value - 5) / 10;
    return static_cast<int16_t>(carried > 32767 ? 32767 : carried < -32768 ? -32768 : carried);
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
        // The page keeps the hysteresis's number, which into tenths would make 2 °C a tenth of that.
        if (!hysteresis && StepChanges(current.inputType, target.inputType))
            target.alarmHysteresis = HysteresisInStep(current.alarmHysteresis, target.inputType);
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

bool HysteresisCarriedToTenths(const ConfigSnapshot& current, const ConfigSnapshot& target,
                               const std::vector<RequestedValue>& requests) {
    return !Requested(requests, "alarme_histerese") && StepChanges(current.inputType, target.inputType);
}

ChangeCheck CheckRequestedChanges(const ConfigSnapshot& current, const ConfigSnapshot& target,
                                  const std::vector<RequestedValue>& requests, std::string* message) {
    for (const RequestedValue& request : requests) {
        if (!request.refusal.empty() && request.value != request.key->get(current)) {
            *message = request.origin + ": " + request.refusal;
            return ChangeCheck::Refused;
        }
    }
    // The page offers no unit for a linear input.
    if (IsLinearInput(target.inputType) && target.unit != current.unit) {
        *message = "unidade: uma entrada linear (16 a 18) não tem unidade de temperatura; a unidade não muda";
        return ChangeCheck::Inconsistent;
    }
    // Only what changes is written: a fault among values the transmitter already holds is not the
    // request's doing, and refusing it would refuse the file save wrote from that very transmitter.
    const std::vector<ConfigProblem> problems = CheckConfiguration(current, target);
    if (const ConfigProblem* problem = FirstChangedProblem(problems)) {
        *message = "Inconsistência: " + FixedText(problem->message.c_str());
        return ChangeCheck::Inconsistent;
    }
    return ChangeCheck::Accepted;
}

ConfigSnapshot GivenConfiguration(const std::vector<RequestedValue>& requests) {
    ConfigSnapshot given = {};
    given.alarmFunction = kNoAlarm;
    for (const RequestedValue& request : requests) request.key->put(given, request.value);
    // Without both, the sensor's range is not the file's to say: an unknown type has the register's whole range.
    const bool sensor = Requested(requests, "entrada") && Requested(requests, "unidade");
    if (!sensor) given.inputType = -1;
    const LimitPair limits = SensorLimits(given.inputType, given.unit);
    if (!Requested(requests, "limite_inferior")) given.lowerLimit = static_cast<int16_t>(limits.low);
    if (!Requested(requests, "limite_superior")) given.upperLimit = static_cast<int16_t>(limits.high);
    if (!Requested(requests, "alarme_setpoint")) given.alarmSetPoint = given.lowerLimit;
    if (!Requested(requests, "alarme_histerese")) given.alarmHysteresis = 0;
    return given;
}

ChangeCheck CheckRequestsAlone(const std::vector<RequestedValue>& requests, std::string* message) {
    const ConfigSnapshot given = GivenConfiguration(requests);
    const std::vector<ConfigProblem> problems = CheckConfiguration(given, given);
    if (problems.empty()) return ChangeCheck::Accepted;
    *message = "Inconsistência: " + FixedText(problems.front().message.c_str());
    return ChangeCheck::Inconsistent;
}

std::vector<const ParameterKey*> RequestsNotWritten(const std::vector<RequestedValue>& requests,
                                                    const ConfigSnapshot& current, const ConfigSnapshot& target) {
    std::vector<const ParameterKey*> left;
    if (target.alarmFunction != kNoAlarm) return left;
    for (const RequestedValue& request : requests)
        if (IsAlarmOnlyRegister(request.key->reg) && request.value != request.key->get(current))
            left.push_back(request.key);
    return left;
}
