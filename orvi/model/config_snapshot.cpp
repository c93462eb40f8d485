// The decoding of the configuration block into a snapshot, and the pages' copies of it.
#include "config_snapshot.h"
#include <cstdio>
#include "register_map.h"

namespace {

int16_t Signed(uint16_t word) { return static_cast<int16_t>(word); }

int8_t LowByte(uint16_t word) { return static_cast<int8_t>(static_cast<uint8_t>(word & 0xFFu)); }

// Leading blanks, one optional sign, then digits; no overflow check, so the value wraps mod 2^32.
uint32_t ReadWrappingNumber(const char* text) {
    while (*text == ' ' || (*text >= '\t' && *text <= '\r')) ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') negative = (*text++ == '-');
    uint32_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) value = value * 10u + static_cast<uint32_t>(*text - '0');
    return negative ? 0u - value : value;
}

}  // namespace

uint32_t SerialNumberFromWords(int16_t first, int16_t second) {
    char text[16];
    std::snprintf(text, sizeof text, "%d%d", first, second);
    return ReadWrappingNumber(text);
}

ConfigSnapshot DecodeConfiguration(const uint16_t* words) {
    ConfigSnapshot s = {};
    s.inputType = LowByte(words[kRegInputType]);
    s.unit = Signed(words[kRegUnit]);
    s.lowerLimit = Signed(words[kRegLowerLimit]);
    s.upperLimit = Signed(words[kRegUpperLimit]);
    s.alarmSetPoint = Signed(words[kRegAlarmSetPoint]);
    s.alarmHysteresis = Signed(words[kRegAlarmHysteresis]);
    s.alarmFunction = Signed(words[kRegAlarmFunction]);
    s.outputType = LowByte(words[kRegOutputType]);
    s.alarmInitialBlock = Signed(words[kRegAlarmInitialBlock]);
    s.serialNumber = SerialNumberFromWords(Signed(words[kRegSerialFirst]), Signed(words[kRegSerialSecond]));
    s.firmwareVersion = Signed(words[kRegFirmwareVersion]);
    s.alarmOutputOn = words[kRegStateWord] & 1u;
    s.indicationOffset = Signed(words[kRegIndicationOffset]);
    return s;
}

void DecodeConfigBlock(const uint16_t* words, ConfigSnapshot& shown, ConfigSnapshot& known, ConfigSnapshot& read) {
    shown = DecodeConfiguration(words);
    read = shown;
    TakeEditableFields(known, shown);
    known.indicationOffset = shown.indicationOffset;
}

void TakeEditableFields(ConfigSnapshot& to, const ConfigSnapshot& from) {
    to.inputType = from.inputType;
    to.unit = from.unit;
    to.lowerLimit = from.lowerLimit;
    to.upperLimit = from.upperLimit;
    to.alarmSetPoint = from.alarmSetPoint;
    to.alarmHysteresis = from.alarmHysteresis;
    to.alarmFunction = from.alarmFunction;
    to.outputType = from.outputType;
    to.alarmInitialBlock = from.alarmInitialBlock;
}
