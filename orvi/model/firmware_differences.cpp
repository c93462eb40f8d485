// The known register-map differences between firmware versions, and their lookup.
#include "firmware_differences.h"

const FirmwareDifferenceTable kKnownFirmwareDifferences = {nullptr, 0};

const FirmwareMapDifference* FindFirmwareDifference(int16_t made, int16_t target,
                                                    const FirmwareDifferenceTable& table) {
    if (made <= 0 || target <= 0) return nullptr;
    for (size_t i = 0; i < table.count; ++i) {
        const FirmwareMapDifference& row = table.rows[i];
        if (made >= row.madeLow && made <= row.madeHigh && target >= row.targetLow && target <= row.targetHigh)
            return &row;
    }
    return nullptr;
}
