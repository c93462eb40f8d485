// The alarm-function catalogue and its offered list.
#include "alarm_functions.h"

const char AlarmFunctionCatalogue[kAlarmFunctionCount][kAlarmFunctionNameSlot] = {
    "Sem Alarme                   ", "Sensor aberto ou em curto    ", "Evento de Rampas e Patamares ",
    "Resistência queimada         ", "Valor mínimo                 ", "Valor máximo                 ",
    "Diferencial mínimo           ", "Diferencial máximo           ", "Diferencial                  ",
};

const char* AlarmFunctionName(int code) {
    if (code < 0 || code >= kAlarmFunctionCount) return nullptr;
    return AlarmFunctionCatalogue[code];
}

int AlarmFunctionFromPosition(int position) {
    if (position < 0 || position >= kOfferedAlarmFunctionCount) return -1;
    return position < 2 ? position : position + 2;
}
