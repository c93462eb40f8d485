// What a configuration file holds beyond the registers a load writes: the measuring point's name,
// and for a calibration backup the serial number and the output trims.
#pragma once
#include <cstdint>
#include <string>

#include "live_calibration.h"

// The keys of the four trims, in the order of kCalibrationSlots (private addresses 21 to 24).
extern const char* const kCalibrationKeys[kCalibrationValueCount];
extern const char kSerialKey[];  // the serial number the trims were read from
extern const char kTagKey[];     // the measuring point's name; the transmitter has none to write

// What a file holds beyond the registers load writes.
struct FileExtras {
    std::string tag;  // UTF-8, as people wrote it; empty when the file names no measuring point
    bool hasSerial = false;
    uint32_t serialNumber = 0;
    bool hasTrim[kCalibrationValueCount] = {};
    int16_t trim[kCalibrationValueCount] = {};
};

bool HasAnyTrim(const FileExtras& extras);
