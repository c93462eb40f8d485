// load, set and diff against the transmitter: one configuration read, the plan, then the writes.
#include "config_change.h"

#include "config_plan.h"
#include "exit_codes.h"
#include "input_types.h"
#include "line_session.h"
#include "platform.h"
#include "register_map.h"
#include "text_output.h"
#include "transactions.h"

namespace {
// The four trims as the transmitter holds them; an exit code.
int ReadTrims(LineSession& session, CalibrationValues* values) {
    for (const CalibrationValueSlot& slot : kCalibrationSlots) {
        uint16_t word = 0;
        const LinkError result = ReadPrivate(session.line, slot.address, &word);
        if (result != kLinkOk) {
            session.ComplainNoReply(FixedText(Format(slot.readFailure, LinkErrorText(result))).c_str(), result);
            return kExitNoReply;
        }
        values->*slot.field = static_cast<int16_t>(word);
    }
    session.TakeTrims(*values);
    return kExitOk;
}

// Each trim written and read back, as the Calibration page's write would be confirmed by its next read.
int WriteTrims(LineSession& session, const std::vector<TrimWrite>& plan, int* written) {
    for (const TrimWrite& step : plan) {
        if (Interrupted()) {
            Complain("interrompido: a calibração não foi escrita por inteiro.");
            return kExitInterrupted;
        }
        const CalibrationValueSlot& slot = kCalibrationSlots[step.slot];
        const WriteOutcome outcome = WritePrivateAndReadBack(session.line, slot.address, step.value);
        if (outcome.kind != WriteOutcomeKind::kConfirmed) {
            Complain(FixedText(Format(slot.writeFailure, LinkErrorText(outcome.error))));
            Complain(WriteFailureText(kCalibrationKeys[step.slot], outcome));
            return kExitWrite;
        }
        ++*written;
        WriteOut(Format("escrito: %s = %d\n", kCalibrationKeys[step.slot], step.value));
    }
    return kExitOk;
}

std::string TrimRows(const std::vector<TrimWrite>& plan) {
    std::string rows;
    for (const TrimWrite& step : plan)
        rows += Format("%-18s %-8d %-8d calibração da saída\n", kCalibrationKeys[step.slot], step.oldValue, step.value);
    return rows;
}
}  // namespace

int ApplyConfiguration(LineSession& session, const std::vector<RequestedValue>& requests, ChangeMode mode,
                       const FileExtras* trims, int* written, const FileExtras* madeFor) {
    int count = 0;
    if (!written) written = &count;
    *written = 0;
    uint16_t words[kConfigBlockWords] = {};
    int code = session.ReadConfiguration(words);
    // Ctrl-C during the read: the read ends, nothing is written.
    if (Interrupted()) {
        Complain("interrompido: nada foi escrito.");
        return kExitInterrupted;
    }
    if (code != kExitOk) return code;
    const ConfigComparison comparison = CompareConfiguration(words, session.TakeRead(words), requests);
    const ConfigSnapshot& current = comparison.current;
    const ConfigSnapshot& target = comparison.target;
    std::string message = comparison.message;
    code = comparison.code;
    if (madeFor) {
        std::string warning, refusal;
        if (CheckFileFirmware(*madeFor, current.firmwareVersion, kKnownFirmwareDifferences, &warning, &refusal) !=
            kExitOk)
            code = kExitCheck, message = refusal;
        if (!warning.empty()) Complain(warning);
    }
    std::vector<TrimWrite> trimPlan;
    if (code == kExitOk && trims) {
        CalibrationValues held = {};
        code = ReadTrims(session, &held);
        if (code != kExitOk) return code;
        code = PlanTrimRestore(*trims, current.serialNumber, held, &trimPlan, &message);
    }
    if (code != kExitOk) {
        Complain(message);
        Complain("nada foi escrito.");
        return code;
    }
    const std::vector<const ParameterKey*>& notWritten = comparison.notWritten;
    for (const ParameterKey* key : notWritten)
        Complain(Format("aviso: %s não é escrito enquanto a função de alarme for 0 (Sem Alarme)", key->name));

    const std::vector<PlannedWrite>& plan = comparison.plan;
    for (const PlannedWrite& step : plan)
        if (step.key->reg == kRegAlarmHysteresis && HysteresisCarriedToTenths(current, target, requests))
            Complain(
                Format("alarme_histerese passa de %d para %d: a entrada %d conta em %s, e a histerese fica a "
                       "mesma em graus",
                       step.oldWord, step.value, target.inputType,
                       IsTenthsInput(target.inputType) ? "décimos de grau" : "graus inteiros"));
    if (plan.empty() && trimPlan.empty()) {
        if (NeedsAlarmFunction(requests, notWritten)) {
            Complain("nada foi escrito: dê também alarme_funcao para escrever os valores do alarme.");
            return kExitCheck;
        }
        WriteOut("Nada a mudar: o transmissor já tem esta configuração.\n");
        return kExitOk;
    }
    const int changes = static_cast<int>(plan.size() + trimPlan.size());
    if (mode != ChangeMode::Write) {
        WriteOut(ChangeTable(plan, current, target) + TrimRows(trimPlan));
        if (mode == ChangeMode::Compare) {
            WriteOut(Format("(%d parâmetro(s) diferem do arquivo)\n", changes));
            return kExitDiffers;
        }
        WriteOut(Format("(simulação: nada foi escrito; %d parâmetro(s) mudariam)\n", changes));
        return kExitOk;
    }
    code = RunWrites(
        plan, [&session](int8_t reg, int16_t value) { return WriteRegisterOutcome(session.line, reg, value); },
        Interrupted);
    if (code != kExitOk) return code;
    *written = static_cast<int>(plan.size());
    return WriteTrims(session, trimPlan, written);
}
