// Applying requested values to a transmitter with the Input/Output page's rules, checks and write order.
#include "config_change.h"

#include "alarm_functions.h"
#include "exit_codes.h"
#include "input_type_rescale.h"
#include "input_types.h"
#include "io_consistency_checks.h"
#include "io_write_sequence.h"
#include "line_session.h"
#include "register_map.h"
#include "unit_switch.h"
#include "text_output.h"
#include "transactions.h"

namespace {
bool Requested(const std::vector<RequestedValue>& requests, const char* name) {
    for (const RequestedValue& request : requests)
        if (std::string(request.key->name) == name) return true;
    return false;
}

const char kOffsetFailure[] = "Erro na escrita do Offset de indicação (%s)";
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

int CheckConfiguration(const ConfigSnapshot& target, std::string* message) {
    char text[kIoMessageSize];
    if (FindConsistencyFault(target, text, sizeof text) != 0) {
        *message = text;
        return kExitCheck;
    }
    // The page's spin allows 0 up to the width of the sensor range; a typed value beyond it
    // would reach the relay unchecked.
    if (target.alarmFunction != kNoAlarm && IsKnownInputType(target.inputType)) {
        const LimitPair sensor = SensorLimits(target.inputType, target.unit);
        const int width = sensor.high - sensor.low;
        if (target.alarmHysteresis < 0 || target.alarmHysteresis > width) {
            *message = Format("A Histerese de Alarme deve estar entre 0 e %d!", width);
            return kExitCheck;
        }
    }
    return kExitOk;
}

std::vector<PlannedWrite> PlanWrites(const ConfigSnapshot& target, const uint16_t* words) {
    IoWriteStep steps[kMaxIoWriteSteps];
    const int count = BuildIoWriteSequence(target, steps);
    std::vector<PlannedWrite> plan;
    for (int i = 0; i < count; ++i) {
        const int16_t old = static_cast<int16_t>(words[steps[i].reg]);
        if (old != steps[i].value)
            plan.push_back({ParameterKeyOfRegister(steps[i].reg), old, steps[i].value, steps[i].failureFormat});
    }
    const int16_t oldOffset = static_cast<int16_t>(words[kRegIndicationOffset]);
    if (oldOffset != target.indicationOffset)
        plan.push_back(
            {ParameterKeyOfRegister(kRegIndicationOffset), oldOffset, target.indicationOffset, kOffsetFailure});
    return plan;
}

std::vector<const ParameterKey*> RequestsNotWritten(const std::vector<RequestedValue>& requests,
                                                    const ConfigSnapshot& target) {
    std::vector<const ParameterKey*> left;
    if (target.alarmFunction != kNoAlarm) return left;
    for (const RequestedValue& request : requests) {
        const int reg = request.key->reg;
        if (reg == kRegAlarmSetPoint || reg == kRegAlarmHysteresis || reg == kRegAlarmInitialBlock)
            left.push_back(request.key);
    }
    return left;
}

int RunWrites(const std::vector<PlannedWrite>& plan) {
    std::string written;
    for (const PlannedWrite& step : plan) {
        const LinkError result = WriteRegister(step.key->reg, step.value);
        if (result != kLinkOk) {
            Complain(Format(step.failureFormat, LinkErrorText(result)));
            Complain(written.empty() ? std::string("nenhum parâmetro foi escrito.")
                                     : "já escritos antes da falha: " + written + ".");
            return kExitWrite;
        }
        written += (written.empty() ? "" : ", ") + std::string(step.key->name);
        WriteOut(Format("escrito: %s = %d\n", step.key->name, step.value));
    }
    return kExitOk;
}

std::string ChangeTable(const std::vector<PlannedWrite>& plan, const ConfigSnapshot& current,
                        const ConfigSnapshot& target) {
    std::string table = Format("%-18s %-8s %-8s %s\n", "PARÂMETRO", "ATUAL", "NOVO", "DESCRIÇÃO");
    for (const PlannedWrite& step : plan)
        table += Format("%-18s %-8d %-8d %s -> %s\n", step.key->name, step.oldWord, step.value,
                        DescribeParameter(*step.key, current).c_str(), DescribeParameter(*step.key, target).c_str());
    return table;
}

int ApplyConfiguration(const std::vector<RequestedValue>& requests, bool dryRun) {
    uint16_t words[kConfigBlockWords] = {};
    int code = ReadConfiguration(words);
    if (code != kExitOk) return code;
    DecodeConfigBlock(words);
    const ConfigSnapshot current = configSnapshot;
    const ConfigSnapshot target = ApplyRequests(current, requests);

    std::string message;
    code = CheckConfiguration(target, &message);
    if (code != kExitOk) {
        Complain("Inconsistência: " + message);
        Complain("nada foi escrito.");
        return code;
    }
    for (const ParameterKey* key : RequestsNotWritten(requests, target))
        Complain(Format("aviso: %s não é escrito enquanto a função de alarme for 0 (Sem Alarme)", key->name));

    const std::vector<PlannedWrite> plan = PlanWrites(target, words);
    if (plan.empty()) {
        WriteOut("Nada a mudar: o transmissor já tem esta configuração.\n");
        return kExitOk;
    }
    if (dryRun) {
        WriteOut(ChangeTable(plan, current, target));
        WriteOut(Format("(simulação: nada foi escrito; %d parâmetro(s) mudariam)\n", static_cast<int>(plan.size())));
        return kExitOk;
    }
    return RunWrites(plan);
}
