// The decoded transmitter configuration, the block decoder and the pages' change detection.
#pragma once
#include <cstdint>

struct ConfigSnapshot {
    int8_t inputType;
    int32_t unit;
    int16_t lowerLimit;
    int16_t upperLimit;
    int16_t alarmSetPoint;
    int16_t alarmHysteresis;
    int16_t alarmFunction;
    int8_t outputType;
    int32_t alarmInitialBlock;
    uint32_t serialNumber;
    int16_t firmwareVersion;
    int32_t alarmOutputOn;
    int16_t indicationOffset;
};

// The configuration block's 68 words (word i is register i) decoded.
ConfigSnapshot DecodeConfiguration(const uint16_t* words);

// A read as the pages take it: configSnapshot (what they show and edit) decoded from the block,
// readConfig (what the transmitter holds as last read) a copy of it, and lastKnown (the value last
// seen of each editable field, against which edits are detected) following the editable fields and
// the indication offset.
void DecodeConfigBlock(const uint16_t* words, ConfigSnapshot& configSnapshot, ConfigSnapshot& lastKnown,
                       ConfigSnapshot& readConfig);

// The nine fields the Input/Output page edits (and a configuration file sets), from one snapshot into another.
void TakeEditableFields(ConfigSnapshot& to, const ConfigSnapshot& from);

// The two words written one behind the other as "%d%d" and read back as a number, wrapping mod 2^32.
uint32_t SerialNumberFromWords(int16_t first, int16_t second);

// Change detection: true (and lastKnown follows) when value differs from the last value seen.
template <typename Field>
bool TakeChange(Field value, Field& known) {
    if (value == known) return false;
    known = value;
    return true;
}
