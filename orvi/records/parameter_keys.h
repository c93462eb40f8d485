// The parameters orvictl reads and writes by name: keys, labels, registers and what values each takes.
#pragma once
#include <cstdint>
#include <string>

#include "config_snapshot.h"

enum class KeyKind { InputType, Unit, OutputType, AlarmFunction, Flag, Scale, Hysteresis, Offset };

struct ParameterKey {
    const char* name;   // as in the INI file and "set"
    const char* label;  // as the pages call it
    int8_t reg;
    KeyKind kind;
    int32_t (*get)(const ConfigSnapshot& snapshot);
    void (*put)(ConfigSnapshot& snapshot, int32_t value);
};

enum { kParameterKeyCount = 10 };
extern const ParameterKey kParameterKeys[kParameterKeyCount];  // in the order of the file and of show

const ParameterKey* FindParameterKey(const std::string& name);
const ParameterKey* ParameterKeyOfRegister(int reg);

// The value text as a register number; otherwise false with the reason in problem.
bool ParseParameterValue(const std::string& text, int32_t* value, std::string* problem);
// Whether the page offers value for key. A value it does not offer (an alarm function only the
// transmitter knows, a negative hysteresis) may still stand where the transmitter holds it already.
bool IsOfferedValue(const ParameterKey& key, int32_t value);

// The name a code has in its catalogue (trailing blanks cut), or a text saying the code is unknown.
std::string InputTypeText(int code, int32_t unit);
std::string UnitText(int32_t unit);
std::string OutputTypeText(int code);
std::string AlarmFunctionText(int code);
// A register value as the pages show it: tenths with one decimal, the unit after temperatures.
std::string ScaleValueText(int16_t value, const ConfigSnapshot& snapshot);
// The value of key in snapshot, described for people (names, units).
std::string DescribeParameter(const ParameterKey& key, const ConfigSnapshot& snapshot);
// The accepted values of key, for help and messages.
std::string AcceptedValuesText(const ParameterKey& key);
