// The output calibration values the Calibration page trims, where they live and which pair it shows.
#pragma once
#include <cstdint>

struct CalibrationValues {
    int16_t offset4to20;
    int16_t gain4to20;
    int16_t offset0to20;
    int16_t gain0to20;
};

struct SpinRange {
    int16_t low;
    int16_t high;
};
const SpinRange kZeroSpinRange = {-4000, 4000};
const SpinRange kSpanSpinRange = {500, 20000};

// One calibration value: its private address, its field and the texts of its failures.
struct CalibrationValueSlot {
    int8_t address;
    int16_t CalibrationValues::*field;
    const char* readFailure;   // "%s" takes the LinkErrorText
    const char* writeFailure;  // likewise
};

// The four values in the order the activation reads them (addresses 21 to 24).
enum { kCalibrationValueCount = 4 };
extern const CalibrationValueSlot kCalibrationSlots[kCalibrationValueCount];

struct CalibrationPair {
    const CalibrationValueSlot* zero;
    const CalibrationValueSlot* span;
};

// The pair of output type 13 (0–20 mA) or 14 (4–20 mA); both null for any other output type.
CalibrationPair CalibrationPairFor(int outputType);

// The value a spin gives a tick. The spin reports an error while its edit shows a value outside its
// range (one the page held, never one the user stepped to), and then the held value stays, so that
// nothing the user did not set is written.
int16_t TakeSpinPosition(int16_t held, uint32_t getPosAnswer, SpinRange range);
