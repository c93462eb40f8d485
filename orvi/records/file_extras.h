// What a configuration file holds beyond the registers a load writes: the measuring point's name,
// and for a calibration backup the serial number and the output trims.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "live_calibration.h"

// The keys of the four trims, in the order of kCalibrationSlots (private addresses 21 to 24).
extern const char* const kCalibrationKeys[kCalibrationValueCount];
extern const char kSerialKey[];      // the serial number the trims were read from
extern const char kTagKey[];         // the measuring point's name; the transmitter has none to write
extern const char kFirmwareKey[];    // the firmware the file was made for, as "1.11"
extern const char kMapVersionKey[];  // the version of the register map its values follow

// A line of a file the program did not write (a person's comment), and where it stood: before the
// line of the key named (the tag, a parameter, a trim...), before the section ("["), or at the end ("").
struct ForeignLine {
    std::string before;
    std::string text;  // UTF-8, as written
};

// What a file holds beyond the registers load writes.
struct FileExtras {
    std::string tag;  // UTF-8, as people wrote it; empty when the file names no measuring point
    bool hasSerial = false;
    uint32_t serialNumber = 0;
    bool hasTrim[kCalibrationValueCount] = {};
    int16_t trim[kCalibrationValueCount] = {};
    // What the file was made for, from the transmitter read or the defaults it started from; 0 where a
    // file of an older version does not say (unknown). Firmware as register 7 holds it (111 is 1.11).
    int16_t firmwareVersion = 0;
    int mapVersion = 0;
    std::string source;                   // the origin comment's text (where and when it was read or made)
    std::vector<ForeignLine> otherLines;  // kept where they stood when the file is written again
};

bool HasAnyTrim(const FileExtras& extras);
