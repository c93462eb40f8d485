// Building and running the Input/Output page's write sequence.
#include "io_write_sequence.h"
#include <cstdio>
#include "alarm_functions.h"
#include "io_consistency_checks.h"
#include "register_map.h"

namespace {

IoWriteStep Step(int8_t reg, int16_t value, const char* failureFormat) {
    IoWriteStep step = {reg, value, failureFormat};
    return step;
}

}  // namespace

int BuildIoWriteSequence(const ConfigSnapshot& s, IoWriteStep* steps) {
    int count = 0;
    steps[count++] = Step(kRegUnit, EncodeWideField(s.unit), "Erro na escrita da Unidade de Temperatura (%s)");
    steps[count++] = Step(kRegInputType, EncodeByteField(s.inputType), "Erro na escrita do Tipo de Entrada (%s)");
    // The upper limit goes first.
    steps[count++] = Step(kRegUpperLimit, s.upperLimit, "Erro na escrita do Limite Superior (%s)");
    steps[count++] = Step(kRegLowerLimit, s.lowerLimit, "Erro na escrita do Limite Inferior (%s)");
    steps[count++] = Step(kRegOutputType, EncodeByteField(s.outputType), "Erro na escrita do Tipo de Saída (%s)");
    steps[count++] = Step(kRegAlarmFunction, s.alarmFunction, "Erro na escrita da função do relé de alarme (%s)");
    if (s.alarmFunction != kNoAlarm) {
        steps[count++] = Step(kRegAlarmSetPoint, s.alarmSetPoint, "Erro na escrita do Set Point de Alarme (%s)");
        steps[count++] = Step(kRegAlarmInitialBlock, EncodeWideField(s.alarmInitialBlock),
                              "Erro na escrita do Bloqueio Inicial de Alarme (%s)");
        steps[count++] = Step(kRegAlarmHysteresis, s.alarmHysteresis, "Erro na escrita da Histerese de Alarme (%s)");
    }
    return count;
}

bool RunIoWriteSequence(const ConfigSnapshot& snapshot, IoRegisterWriter write, IoWriteFailurePrompt ask,
                        void* context) {
    IoWriteStep steps[kMaxIoWriteSteps];
    const int count = BuildIoWriteSequence(snapshot, steps);
    for (int i = 0; i < count; ++i) {
        for (;;) {
            const LinkError result = write(steps[i].reg, steps[i].value);
            if (result == kLinkOk) break;
            char message[kIoMessageSize];
            std::snprintf(message, sizeof message, steps[i].failureFormat, LinkErrorText(result));
            const WriteFailureAnswer answer = ask(message, context);
            if (answer == kWriteAbort) return false;
            if (answer != kWriteRetry) break;
        }
    }
    return true;
}
