// The decoded transmitter configuration shared by all pages, its last-seen copy and the block decoder.
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

// Program-wide, zeroed at start; meaningful after the first successful decode.
extern ConfigSnapshot configSnapshot;
// The value last seen of each editable field, against which edits are detected.
extern ConfigSnapshot lastKnown;
// What the transmitter on the line holds as last read, kept current by the program's own writes (the
// pages edit configSnapshot before they write it): the serial number and the value before of a
// journalled write. It belongs to the line it was read on: see ForgetTransmitterRead.
extern ConfigSnapshot readConfig;

// Fills configSnapshot from the 68 words of the configuration block (word i is register i),
// copies it into readConfig (now held) and the editable fields into lastKnown.
void DecodeConfigBlock(const uint16_t* words);

// Drops what was read: the line's settings changed, or a read failed, so whatever answers now may be
// another transmitter. readConfig is zeroed (serial number 0 names no transmitter, and no value
// before a write comes from it) until the next decode.
void ForgetTransmitterRead();
// True from a decode until ForgetTransmitterRead.
bool TransmitterReadHeld();

// The two words written one behind the other as "%d%d" and read back as a number, wrapping mod 2^32.
uint32_t SerialNumberFromWords(int16_t first, int16_t second);

// Change detection: true (and lastKnown follows) when value differs from the last value seen.
template <typename Field>
bool TakeChange(Field value, Field& known) {
    if (value == known) return false;
    known = value;
    return true;
}
