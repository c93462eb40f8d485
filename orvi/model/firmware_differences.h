// What the program knows of register maps that differ between firmware versions: a configuration made
// for one firmware is refused on another where the map differs.
#pragma once
#include <cstddef>
#include <cstdint>

// The version of the register map this program reads and writes (the 68-register block of firmware 1.xx).
enum { kRegisterMapVersion = 1 };

// One known difference: a configuration made for a firmware from madeLow to madeHigh (inclusive,
// as register 7 holds it: 111 is 1.11) does not go onto one from targetLow to targetHigh.
struct FirmwareMapDifference {
    int16_t madeLow, madeHigh;
    int16_t targetLow, targetHigh;
    const char* what;  // UTF-8, for the message: which registers mean something else
};

struct FirmwareDifferenceTable {
    const FirmwareMapDifference* rows;
    size_t count;
};

// The known differences. No firmware released so far maps its registers differently: the table is empty.
extern const FirmwareDifferenceTable kKnownFirmwareDifferences;

// The row of table that stops a configuration made for firmware made going onto firmware target; null
// when none does. A firmware of 0 or less is unknown and matches no row.
const FirmwareMapDifference* FindFirmwareDifference(int16_t made, int16_t target, const FirmwareDifferenceTable& table);
