// load and set against the transmitter: one configuration read, the plan, then the writes.
#include "config_change.h"

#include "exit_codes.h"
#include "line_session.h"
#include "platform.h"
#include "text_output.h"
#include "transactions.h"

int ApplyConfiguration(const std::vector<RequestedValue>& requests, bool dryRun) {
    uint16_t words[kConfigBlockWords] = {};
    int code = ReadConfiguration(words);
    // Ctrl-C during the read: the read ends, nothing is written.
    if (Interrupted()) {
        Complain("interrompido: nada foi escrito.");
        return kExitInterrupted;
    }
    if (code != kExitOk) return code;
    DecodeConfigBlock(words);
    const ConfigSnapshot current = configSnapshot;
    const ConfigSnapshot target = ApplyRequests(current, requests);

    std::string message;
    code = CheckChanges(current, target, requests, &message);
    if (code != kExitOk) {
        Complain(message);
        Complain("nada foi escrito.");
        return code;
    }
    const std::vector<const ParameterKey*> notWritten = RequestsNotWritten(requests, current, target);
    for (const ParameterKey* key : notWritten)
        Complain(Format("aviso: %s não é escrito enquanto a função de alarme for 0 (Sem Alarme)", key->name));

    const std::vector<PlannedWrite> plan = PlanWrites(target, words);
    if (plan.empty()) {
        if (!notWritten.empty()) {
            Complain("nada foi escrito: dê também alarme_funcao para escrever os valores do alarme.");
            return kExitCheck;
        }
        WriteOut("Nada a mudar: o transmissor já tem esta configuração.\n");
        return kExitOk;
    }
    if (dryRun) {
        WriteOut(ChangeTable(plan, current, target));
        WriteOut(Format("(simulação: nada foi escrito; %d parâmetro(s) mudariam)\n", static_cast<int>(plan.size())));
        return kExitOk;
    }
    return RunWrites(plan, WriteRegister, Interrupted);
}
