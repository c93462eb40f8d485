// The parameter keys of orvictl over the snapshot fields and catalogues of the model.
#include "parameter_keys.h"

#include <cstring>

#include "alarm_functions.h"
#include "input_types.h"
#include "live_diagnostic_texts.h"
#include "output_types.h"
#include "register_map.h"
#include "text_convert.h"

namespace {
// A catalogue's name without its padding.
std::string TrimRight(const char* cp1252) {
    std::string value = FixedText(cp1252);
    value.erase(value.find_last_not_of(' ') + 1);
    return value;
}

bool IsOfferedAlarmFunction(long code) {
    for (int position = 0; position < kOfferedAlarmFunctionCount; ++position)
        if (AlarmFunctionFromPosition(position) == code) return true;
    return false;
}
}  // namespace

const ParameterKey kParameterKeys[kParameterKeyCount] = {
    {"entrada", "Tipo de Entrada", kRegInputType, KeyKind::InputType,
     [](const ConfigSnapshot& s) -> int32_t { return s.inputType; },
     [](ConfigSnapshot& s, int32_t v) { s.inputType = static_cast<int8_t>(v); }},
    {"unidade", "Unidade de Temperatura", kRegUnit, KeyKind::Unit,
     [](const ConfigSnapshot& s) -> int32_t { return s.unit; }, [](ConfigSnapshot& s, int32_t v) { s.unit = v; }},
    {"limite_inferior", "Limite Inferior da Escala", kRegLowerLimit, KeyKind::Scale,
     [](const ConfigSnapshot& s) -> int32_t { return s.lowerLimit; },
     [](ConfigSnapshot& s, int32_t v) { s.lowerLimit = static_cast<int16_t>(v); }},
    {"limite_superior", "Limite Superior da Escala", kRegUpperLimit, KeyKind::Scale,
     [](const ConfigSnapshot& s) -> int32_t { return s.upperLimit; },
     [](ConfigSnapshot& s, int32_t v) { s.upperLimit = static_cast<int16_t>(v); }},
    {"saida", "Saída de Corrente", kRegOutputType, KeyKind::OutputType,
     [](const ConfigSnapshot& s) -> int32_t { return s.outputType; },
     [](ConfigSnapshot& s, int32_t v) { s.outputType = static_cast<int8_t>(v); }},
    {"alarme_funcao", "Função do Relé de Alarme", kRegAlarmFunction, KeyKind::AlarmFunction,
     [](const ConfigSnapshot& s) -> int32_t { return s.alarmFunction; },
     [](ConfigSnapshot& s, int32_t v) { s.alarmFunction = static_cast<int16_t>(v); }},
    {"alarme_setpoint", "Set Point de Alarme", kRegAlarmSetPoint, KeyKind::Scale,
     [](const ConfigSnapshot& s) -> int32_t { return s.alarmSetPoint; },
     [](ConfigSnapshot& s, int32_t v) { s.alarmSetPoint = static_cast<int16_t>(v); }},
    {"alarme_histerese", "Histerese de Alarme", kRegAlarmHysteresis, KeyKind::Hysteresis,
     [](const ConfigSnapshot& s) -> int32_t { return s.alarmHysteresis; },
     [](ConfigSnapshot& s, int32_t v) { s.alarmHysteresis = static_cast<int16_t>(v); }},
    {"alarme_bloqueio", "Alarme inicialmente bloqueado", kRegAlarmInitialBlock, KeyKind::Flag,
     [](const ConfigSnapshot& s) -> int32_t { return s.alarmInitialBlock; },
     [](ConfigSnapshot& s, int32_t v) { s.alarmInitialBlock = v; }},
    {"offset", "Offset de indicação", kRegIndicationOffset, KeyKind::Offset,
     [](const ConfigSnapshot& s) -> int32_t { return s.indicationOffset; },
     [](ConfigSnapshot& s, int32_t v) { s.indicationOffset = static_cast<int16_t>(v); }},
};

const ParameterKey* FindParameterKey(const std::string& name) {
    for (const ParameterKey& key : kParameterKeys)
        if (name == key.name) return &key;
    return nullptr;
}

const ParameterKey* ParameterKeyOfRegister(int reg) {
    for (const ParameterKey& key : kParameterKeys)
        if (key.reg == reg) return &key;
    return nullptr;
}

bool ParseParameterValue(const std::string& text, int32_t* value, std::string* problem) {
    long number = 0;
    if (!ParseWholeNumber(text, INT16_MIN, INT16_MAX, &number)) {
        long wide = 0;
        *problem = ParseWholeNumber(text, -999999999L, 999999999L, &wide)
                       ? "fora do intervalo de um registrador (-32768 a 32767)"
                       : "não é um número inteiro";
        return false;
    }
    *value = static_cast<int32_t>(number);
    return true;
}

bool IsOfferedValue(const ParameterKey& key, int32_t value) {
    switch (key.kind) {
    case KeyKind::InputType: return IsKnownInputType(static_cast<int>(value));
    case KeyKind::Unit:
    case KeyKind::Flag: return value == 0 || value == 1;
    case KeyKind::OutputType: return OutputTypeName(static_cast<int>(value)) != nullptr;
    case KeyKind::AlarmFunction: return IsOfferedAlarmFunction(value);
    case KeyKind::Hysteresis: return value >= 0;
    case KeyKind::Scale:
    case KeyKind::Offset: return true;
    }
    return false;
}

std::string InputTypeText(int code, int32_t unit) {
    const char* name = InputTypeName(code, unit);
    return name ? TrimRight(name) : Format("código %d desconhecido", code);
}

std::string UnitText(int32_t unit) {
    if (unit == 0) return "°C";
    if (unit == 1) return "°F";
    return Format("código %d desconhecido", static_cast<int>(unit));
}

std::string OutputTypeText(int code) {
    const char* name = OutputTypeName(code);
    return name ? FixedText(name) : Format("código %d desconhecido", code);
}

std::string AlarmFunctionText(int code) {
    const char* name = AlarmFunctionName(code);
    return name ? TrimRight(name) : Format("código %d desconhecido", code);
}

std::string ScaleValueText(int16_t value, const ConfigSnapshot& s) {
    const std::string unit = FixedText(UnitLabelText(s.inputType, s.unit));
    return ProcessValueText(value, s.inputType) + (unit.empty() ? "" : " " + unit);
}

std::string DescribeParameter(const ParameterKey& key, const ConfigSnapshot& s) {
    const int32_t value = key.get(s);
    switch (key.kind) {
    case KeyKind::InputType: return InputTypeText(value, s.unit);
    case KeyKind::Unit:
        return IsLinearInput(s.inputType) ? UnitText(value) + " (entrada linear: sem unidade)" : UnitText(value);
    case KeyKind::OutputType: return OutputTypeText(value);
    case KeyKind::AlarmFunction: return AlarmFunctionText(value);
    case KeyKind::Flag:
        return value == 0 ? "não" : value == 1 ? "sim" : Format("código %d desconhecido", static_cast<int>(value));
    case KeyKind::Scale:
    case KeyKind::Hysteresis:
    case KeyKind::Offset: return ScaleValueText(static_cast<int16_t>(value), s);
    }
    return "";
}

std::string AcceptedValuesText(const ParameterKey& key) {
    switch (key.kind) {
    case KeyKind::InputType: return "0 a 18 (veja orvictl set --help)";
    case KeyKind::Unit: return "0 (°C) ou 1 (°F)";
    case KeyKind::OutputType: return "13 (0 a 20mA) ou 14 (4 a 20mA)";
    case KeyKind::AlarmFunction: return "0, 1, 4, 5, 6, 7 ou 8 (veja orvictl set --help)";
    case KeyKind::Flag: return "0 (não) ou 1 (sim)";
    case KeyKind::Hysteresis: return "0 até a largura da faixa do sensor";
    case KeyKind::Scale:
    case KeyKind::Offset: return "inteiros de -32768 a 32767, nas unidades do registrador";
    }
    return "";
}
