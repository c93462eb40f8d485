// Applying requested values with the Input/Output page's rules, checks and write order.
#include "config_plan.h"

#include "alarm_functions.h"
#include "exit_codes.h"
#include "input_types.h"
#include "io_consistency_checks.h"
#include "io_write_sequence.h"
#include "register_map.h"
#include "text_output.h"

namespace {
// Whether one of the page's consistency checks (numbered as FindConsistencyFault numbers them)
// looks at a field that changes: a fault among values the transmitter already holds is not the
// file's doing, and refusing it would refuse the file save wrote from that very transmitter.
bool FaultTouchesAChange(int fault, const ConfigSnapshot& current, const ConfigSnapshot& target) {
    const bool sensor = current.inputType != target.inputType || current.unit != target.unit;
    const bool lower = current.lowerLimit != target.lowerLimit;
    const bool upper = current.upperLimit != target.upperLimit;
    const bool alarm = current.alarmFunction != target.alarmFunction || current.alarmSetPoint != target.alarmSetPoint;
    switch (fault) {
    case 1: return sensor || lower;
    case 2: return sensor || upper;
    case 3: return lower || upper;
    case 4: return alarm || lower;
    case 5: return alarm || upper;
    default: return true;
    }
}

bool IsAlarmOnlyRegister(int reg) {
    return reg == kRegAlarmSetPoint || reg == kRegAlarmHysteresis || reg == kRegAlarmInitialBlock;
}

const char kOffsetFailure[] = "Erro na escrita do Offset de indicação (%s)";
}  // namespace

int CheckChanges(const ConfigSnapshot& current, const ConfigSnapshot& target,
                 const std::vector<RequestedValue>& requests, std::string* message) {
    for (const RequestedValue& request : requests) {
        if (!request.refusal.empty() && request.value != request.key->get(current)) {
            *message = request.refusal;
            return kExitUsage;
        }
    }
    // The page offers no unit for a linear input.
    if (IsLinearInput(target.inputType) && target.unit != current.unit) {
        *message = "unidade: uma entrada linear (16 a 18) não tem unidade de temperatura; a unidade não muda";
        return kExitCheck;
    }
    char text[kIoMessageSize];
    const int fault = FindConsistencyFault(target, text, sizeof text);
    if (fault != 0 && FaultTouchesAChange(fault, current, target)) {
        *message = std::string("Inconsistência: ") + text;
        return kExitCheck;
    }
    // The page's spin allows 0 up to the width of the sensor range; a typed value beyond it
    // would reach the relay unchecked.
    if (target.alarmFunction != kNoAlarm && IsKnownInputType(target.inputType) &&
        target.alarmHysteresis != current.alarmHysteresis) {
        const LimitPair sensor = SensorLimits(target.inputType, target.unit);
        const int width = sensor.high - sensor.low;
        if (target.alarmHysteresis < 0 || target.alarmHysteresis > width) {
            *message = Format("Inconsistência: A Histerese de Alarme deve estar entre 0 e %d!", width);
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
                                                    const ConfigSnapshot& current, const ConfigSnapshot& target) {
    std::vector<const ParameterKey*> left;
    if (target.alarmFunction != kNoAlarm) return left;
    for (const RequestedValue& request : requests)
        if (IsAlarmOnlyRegister(request.key->reg) && request.value != request.key->get(current))
            left.push_back(request.key);
    return left;
}

int RunWrites(const std::vector<PlannedWrite>& plan, RegisterWriter write, InterruptCheck interrupted) {
    std::string written;
    for (const PlannedWrite& step : plan) {
        if (interrupted()) {
            Complain(written.empty() ? std::string("interrompido: nada foi escrito.")
                                     : "interrompido depois de escrever " + written + "; o restante não foi escrito.");
            return kExitInterrupted;
        }
        const LinkError result = write(step.key->reg, step.value);
        if (result != kLinkOk) {
            Complain(Format(step.failureFormat, LinkErrorText(result)));
            // The echo confirmed this write; only the read-back differed.
            if (result == kLinkValueMismatch)
                Complain(Format("não confirmado: %s (o transmissor pode ter recebido o valor)", step.key->name));
            if (!written.empty())
                Complain("já escritos antes da falha: " + written + ".");
            else
                Complain(result == kLinkValueMismatch ? "nenhum parâmetro antes dele foi escrito."
                                                      : "nenhum parâmetro foi escrito.");
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
