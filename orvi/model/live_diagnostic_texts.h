// The texts the Diagnostic page shows: process value, unit label, alarm mnemonic, serial number, firmware.
#pragma once
#include <cstdint>
#include <string>

// One decimal for the tenths inputs (6 and 14), a plain signed number for every other input type.
std::string ProcessValueText(int16_t value, int inputType);

// Empty for a linear input, "°C" when unit is 0, "°F" for any other unit.
std::string UnitLabelText(int inputType, int32_t unit);

// Empty while the alarm output is off; the function's mnemonic while it is on.
std::string AlarmMnemonicText(int32_t alarmOutputOn, int alarmFunction);

// At least eight digits, zero-filled on the left.
std::string SerialNumberText(uint32_t serialNumber);

// Version × 100 as "major.minor", the minor part with two digits.
std::string FirmwareText(int16_t firmwareVersion);

// Beside the offset edit, while a configuration file's offset waits for the apply.
std::string WaitingFileOffsetText(int16_t offset);
