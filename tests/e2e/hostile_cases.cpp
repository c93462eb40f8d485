// The hostile transmitters: out-of-catalogue codes and extreme words, with what each page must show for them.
#include "hostile_transmitter.h"

namespace {

// Registers the cases change.
constexpr int kProcessValue = 1;
constexpr int kSerialFirst = 23;
constexpr int kSerialSecond = 24;
constexpr int kAlarmFunction = 35;
constexpr int kLowerLimit = 26;
constexpr int kUpperLimit = 27;
constexpr int kIndicationOffset = 29;
constexpr int kInputType = 43;
constexpr int kOutputType = 61;
constexpr int kUnit = 67;
constexpr int kStatusWord = 4;  // private value
constexpr int kZero4to20 = 21;  // private values of the 4-20 mA pair, the factory output type
constexpr int kSpan4to20 = 22;

// The factory transmitter's texts, where a case does not change them.
const char kTypeJCelsius[] = "Termopar J   (-110°C a 760°C)";
const char kFourToTwenty[] = "4 a 20mA";
const char kMaximum[] = "Valor máximo";
const char kFactorySerial[] = "00012345";

std::vector<std::string> HighStatusBits() {
    std::vector<std::string> entries;
    for (int bit = 8; bit < 16; ++bit) entries.push_back("Bit de status " + std::to_string(bit));
    return entries;
}

HostileCase InputType(const char* name, int word, const char* unitLabel) {
    return {name,      {{kInputType, word}}, {}, "", kFourToTwenty, kMaximum, "120", "1800", nullptr,
            unitLabel, kFactorySerial,       {}};
}

HostileCase AlarmFunction(const char* name, int word) {
    return {name, {{kAlarmFunction, word}}, {}, kTypeJCelsius, kFourToTwenty, "", "120", "1800", nullptr,
            "°C", kFactorySerial,           {}};
}

HostileCase OutputType(const char* name, int word) {
    // No calibration pair belongs to an unknown output type: the page shows none and trims none.
    return {name, {{kOutputType, word}}, {}, kTypeJCelsius, "", kMaximum, "", "", nullptr, "°C", kFactorySerial, {}};
}

HostileCase Serial(const char* name, int first, int second, const char* shown) {
    return {name,
            {{kSerialFirst, first}, {kSerialSecond, second}},
            {},
            kTypeJCelsius,
            kFourToTwenty,
            kMaximum,
            "120",
            "1800",
            nullptr,
            "°C",
            shown,
            {}};
}

std::vector<HostileCase> BuildCases() {
    std::vector<HostileCase> cases = {
        // Codes above 15 count as linear inputs, which have no unit; negative ones do not.
        InputType("InputType19", 0x0013, ""),
        InputType("InputType127", 0x007F, ""),
        InputType("InputTypeMinus1InLowByte", 0x00FF, "°C"),
        InputType("InputTypeMinus1Word", -1, "°C"),
        InputType("InputTypeMinus128", 0x0080, "°C"),
        // No sensor bounds an unknown type, so the widest limits pass and go back as they came.
        {"InputType19WithWidestLimits",
         {{kInputType, 19}, {kLowerLimit, -32768}, {kUpperLimit, 32767}},
         {},
         "",
         kFourToTwenty,
         kMaximum,
         "120",
         "1800",
         nullptr,
         "",
         kFactorySerial,
         {}},
        AlarmFunction("AlarmFunction9", 9),
        AlarmFunction("AlarmFunction32767", 32767),
        AlarmFunction("AlarmFunctionMinus1", -1),
        OutputType("OutputType0", 0),
        OutputType("OutputType12", 12),
        OutputType("OutputType15", 15),
        // Any unit but 0 takes the °F names and limits; neither unit button stands for it.
        {"Unit2",
         {{kUnit, 2}},
         {},
         "Termopar J   (-166°F a 1400°F)",
         kFourToTwenty,
         kMaximum,
         "120",
         "1800",
         nullptr,
         "°F",
         kFactorySerial,
         {}},
        // "-32768" then "32767" reads as -3276832767, which wraps modulo 2^32.
        Serial("SerialMinThenMax", -32768, 32767, "1018134529"),
        // "32767-32768" stops at the second sign.
        Serial("SerialMaxThenMin", 32767, -32768, "00032767"),
        Serial("SerialBothMin", -32768, -32768, "4294934528"),
        {"IndicationOffsetMinimum",
         {{kIndicationOffset, -32768}},
         {},
         kTypeJCelsius,
         kFourToTwenty,
         kMaximum,
         "120",
         "1800",
         nullptr,
         "°C",
         kFactorySerial,
         {}},
        {"StatusBits8To15",
         {},
         {{kStatusWord, 0xFF00}},
         kTypeJCelsius,
         kFourToTwenty,
         kMaximum,
         "120",
         "1800",
         nullptr,
         "°C",
         kFactorySerial,
         HighStatusBits()},
        {"ProcessValueMinimum",
         {{kProcessValue, -32768}},
         {},
         kTypeJCelsius,
         kFourToTwenty,
         kMaximum,
         "120",
         "1800",
         "-32768",
         "°C",
         kFactorySerial,
         {}},
        {"ProcessValueMinimumInTenths",
         {{kInputType, 6}, {kProcessValue, -32768}},
         {},
         "Pt100   (-199.9°C a 530.0°C)",
         kFourToTwenty,
         kMaximum,
         "120",
         "1800",
         "-3276.8",
         "°C",
         kFactorySerial,
         {}},
        // Calibration values no spin can take: shown as they are, never replaced by a spin's idea of them.
        {"CalibrationOutsideSpinRanges",
         {},
         {{kZero4to20, 32767}, {kSpan4to20, -32768}},
         kTypeJCelsius,
         kFourToTwenty,
         kMaximum,
         "32767",
         "-32768",
         nullptr,
         "°C",
         kFactorySerial,
         {}},
        {"EverythingAtOnce",
         {{kInputType, 0x00FF},
          {kAlarmFunction, 9},
          {kOutputType, 15},
          {kUnit, 2},
          {kSerialFirst, -32768},
          {kSerialSecond, 32767},
          {kProcessValue, -32768}},
         {{kStatusWord, 0xFF00}},
         "",
         "",
         "",
         "",
         "",
         "-32768",
         "°F",
         "1018134529",
         HighStatusBits()},
    };
    return cases;
}

}  // namespace

const std::vector<HostileCase>& HostileCases() {
    static const std::vector<HostileCase> cases = BuildCases();
    return cases;
}

std::string HostileCaseName(const ::testing::TestParamInfo<HostileCase>& info) { return info.param.name; }
