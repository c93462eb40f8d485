// The output trims in a configuration file: which keys hold them, and whether and what a restore writes.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "file_extras.h"
#include "live_calibration.h"

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
