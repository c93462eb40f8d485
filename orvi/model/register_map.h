// Holding-register numbers the configurator uses, and how snapshot fields are widened into one word.
#pragma once
#include <cstdint>

enum HoldingRegister {
    kRegStateWord = 6,
    kRegFirmwareVersion = 7,
    kRegSerialFirst = 23,
    kRegSerialSecond = 24,
    kRegLowerLimit = 26,
    kRegUpperLimit = 27,
    kRegIndicationOffset = 29,
    kRegAlarmSetPoint = 31,
    kRegAlarmFunction = 35,
    kRegAlarmHysteresis = 39,
    kRegInputType = 43,
    kRegDeviceAddress = 44,
    kRegBaudCode = 45,
    kRegAlarmInitialBlock = 50,
    kRegOutputType = 61,
    kRegUnit = 67,
};

// Byte-wide codes (input type, output type) go out sign-extended.
inline int16_t EncodeByteField(int8_t value) { return static_cast<int16_t>(value); }

// 32-bit fields (unit, initial blocking) go out as their low 16 bits.
inline int16_t EncodeWideField(int32_t value) {
    return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(value) & 0xFFFFu));
}
