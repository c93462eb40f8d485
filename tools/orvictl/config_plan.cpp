// Applying requested values with the Input/Output page's rules, checks and write order.
#include "config_plan.h"

#include "alarm_functions.h"
#include "exit_codes.h"
#include "io_write_sequence.h"
#include "live_diagnostic_texts.h"
#include "register_map.h"
#include "text_output.h"

namespace {
const char kOffsetFailure[] = "Erro na escrita do Offset de indicação (%s)";
}  // namespace

int CheckChanges(const ConfigSnapshot& current, const ConfigSnapshot& target,
                 const std::vector<RequestedValue>& requests, std::string* message) {
    switch (CheckRequestedChanges(current, target, requests, message)) {
    case ChangeCheck::Refused: return kExitUsage;
    case ChangeCheck::Inconsistent: return kExitCheck;
    default: return kExitOk;
    }
}

int CheckFileFirmware(const FileExtras& file, int16_t target, const FirmwareDifferenceTable& table,
                      std::string* warning, std::string* refusal) {
    if (file.firmwareVersion <= 0 || file.firmwareVersion == target) return kExitOk;
    *warning = Format("aviso: o arquivo foi feito para o firmware %s e o transmissor tem o firmware %s",
                      FirmwareText(file.firmwareVersion).c_str(), FirmwareText(target).c_str());
    if (const FirmwareMapDifference* difference = FindFirmwareDifference(file.firmwareVersion, target, table)) {
        *refusal = Format("o mapa de registradores do firmware %s difere do do firmware %s: %s",
                          FirmwareText(target).c_str(), FirmwareText(file.firmwareVersion).c_str(), difference->what);
        return kExitCheck;
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

ConfigComparison CompareConfiguration(const uint16_t* words, const ConfigSnapshot& current,
                                      const std::vector<RequestedValue>& requests) {
    ConfigComparison comparison;
    comparison.current = current;
    comparison.target = ApplyRequests(current, requests);
    comparison.code = CheckChanges(current, comparison.target, requests, &comparison.message);
    if (comparison.code != kExitOk) return comparison;
    comparison.notWritten = RequestsNotWritten(requests, current, comparison.target);
    comparison.plan = PlanWrites(comparison.target, words);
    return comparison;
}

bool NeedsAlarmFunction(const std::vector<RequestedValue>& requests,
                        const std::vector<const ParameterKey*>& notWritten) {
    if (notWritten.empty()) return false;
    for (const RequestedValue& request : requests)
        if (request.key->reg == kRegAlarmFunction) return false;
    return true;
}

std::string WriteFailureText(const char* name, const WriteOutcome& outcome) {
    switch (outcome.kind) {
    case WriteOutcomeKind::kNotConfirmed:
        return outcome.hasReadBack ? Format("não confirmado: %s (lido %d; o transmissor pode ter recebido o valor)",
                                            name, outcome.readBack)
                                   : Format("não confirmado: %s (o transmissor pode ter recebido o valor)", name);
    case WriteOutcomeKind::kNoReply: return Format("sem resposta: %s pode ter sido escrito", name);
    case WriteOutcomeKind::kRefused:
        return Format("recusado: %s não foi escrito (exceção %d)", name, outcome.exceptionCode);
    default: return Format("não enviado: %s não foi escrito", name);
    }
}

int RunWrites(const std::vector<PlannedWrite>& plan, RegisterWriter write, InterruptCheck interrupted) {
    std::string written;
    for (const PlannedWrite& step : plan) {
        if (interrupted()) {
            Complain(written.empty() ? std::string("interrompido: nada foi escrito.")
                                     : "interrompido depois de escrever " + written + "; o restante não foi escrito.");
            return kExitInterrupted;
        }
        const WriteOutcome outcome = write(step.key->reg, step.value);
        if (outcome.kind != WriteOutcomeKind::kConfirmed) {
            Complain(FixedText(Format(step.failureFormat, LinkErrorText(outcome.error))));
            Complain(WriteFailureText(step.key->name, outcome));
            if (!written.empty())
                Complain("já escritos antes da falha: " + written + ".");
            else
                Complain("nenhum parâmetro antes dele foi escrito.");
            return kExitWrite;
        }
        written += (written.empty() ? "" : ", ") + std::string(step.key->name);
        WriteOut(Format("escrito: %s = %d\n", step.key->name, step.value));
    }
    return kExitOk;
}

std::string ChangeTable(const std::vector<PlannedWrite>& plan, const ConfigSnapshot& current,
                        const ConfigSnapshot& target) {
    std::string table = Format("%s %-8s %-8s %s\n", PadRight("PARÂMETRO", 18).c_str(), "ATUAL", "NOVO", "DESCRIÇÃO");
    for (const PlannedWrite& step : plan)
        table += Format("%-18s %-8d %-8d %s -> %s\n", step.key->name, step.oldWord, step.value,
                        DescribeParameter(*step.key, current).c_str(), DescribeParameter(*step.key, target).c_str());
    return table;
}
