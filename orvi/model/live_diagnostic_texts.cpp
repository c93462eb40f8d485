// The texts the Diagnostic page shows, built without any window.
#include "live_diagnostic_texts.h"
#include <cstdio>
#include <cstdlib>
#include "input_types.h"

namespace {

const char* const kAlarmMnemonics[] = {"oFF", "iErr", "rS", "rFail", "Lo", "Hi", "diFL", "diFH", "diF"};
const int kAlarmMnemonicCount = sizeof kAlarmMnemonics / sizeof kAlarmMnemonics[0];

// A code the catalogue does not know is shown as such rather than as some other function's mnemonic.
const char kUnknownAlarmMnemonic[] = "?";

}  // namespace

std::string ProcessValueText(int16_t value, int inputType) {
    char text[16];
    if (IsTenthsInput(inputType)) {
        const int whole = value / 10;  // truncates toward zero
        const int tenth = std::abs(value % 10);
        // -0.5 has no minus in its whole part, so the sign is written on its own.
        std::snprintf(text, sizeof text, value < 0 && whole == 0 ? "-%d.%d" : "%d.%d", whole, tenth);
    } else {
        std::snprintf(text, sizeof text, "%d", value);
    }
    return text;
}

std::string UnitLabelText(int inputType, int32_t unit) {
    if (IsLinearInput(inputType)) return "";
    return unit == 0 ? "°C" : "°F";
}

std::string AlarmMnemonicText(int32_t alarmOutputOn, int alarmFunction) {
    if (alarmOutputOn == 0) return "";
    if (alarmFunction < 0 || alarmFunction >= kAlarmMnemonicCount) return kUnknownAlarmMnemonic;
    return kAlarmMnemonics[alarmFunction];
}

std::string SerialNumberText(uint32_t serialNumber) {
    char text[16];
    std::snprintf(text, sizeof text, "%08lu", static_cast<unsigned long>(serialNumber));
    return text;
}

std::string FirmwareText(int16_t firmwareVersion) {
    char text[16];
    std::snprintf(text, sizeof text, "%d.%02d", firmwareVersion / 100, firmwareVersion % 100);
    return text;
}

std::string WaitingFileOffsetText(int16_t offset) {
    char text[48];
    std::snprintf(text, sizeof text, "offset do arquivo: %d, gravado com OK", offset);
    return text;
}
