// The output trims in a configuration file: which keys hold them, and whether and what a restore writes.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "live_calibration.h"

// The keys of the four trims, in the order of kCalibrationSlots (private addresses 21 to 24).
extern const char* const kCalibrationKeys[kCalibrationValueCount];
extern const char kSerialKey[];  // the serial number the trims were read from
extern const char kTagKey[];     // the measuring point's name; the transmitter has none to write

// What a file holds beyond the registers load writes.
struct FileExtras {
    std::string tag;  // CP1252; empty when the file names no measuring point
    bool hasSerial = false;
    uint32_t serialNumber = 0;
    bool hasTrim[kCalibrationValueCount] = {};
    int16_t trim[kCalibrationValueCount] = {};
};

bool HasAnyTrim(const FileExtras& extras);

struct TrimWrite {
    int slot;  // index into kCalibrationSlots and kCalibrationKeys
    int16_t oldValue;
    int16_t value;
};

// The trims a restore writes onto the transmitter with serialNumber and trims current: only onto
// the transmitter the file was read from, only a complete set, only values the Calibration page's
// spins reach (a value the transmitter holds already stands). 0 or an exit code with the message.
int PlanTrimRestore(const FileExtras& file, uint32_t serialNumber, const CalibrationValues& current,
                    std::vector<TrimWrite>* plan, std::string* message);
