// The input-type catalogue and the rules derived from an input-type code.
#include "input_types.h"

const InputTypeTables InputTypeCatalogue = {
    {
        "Termopar J   (-110°C a 760°C)         ", "Termopar K   (-150°C a 1370°C)        ",
        "Termopar T   (-160°C a 400°C)         ", "Termopar N   (-150°C a 1300°C)        ",
        "Termopar R   (0°C a 1760°C)           ", "Termopar S   (0°C a 1760°C)           ",
        "Pt100   (-199.9°C a 530.0°C)          ", "Pt100   (-200°C a 530°C)              ",
        "4-20mA Lin. J   (-110°C a 760°C)      ", "4-20mA Lin. K   (-150°C a 1370°C)     ",
        "4-20mA Lin. T   (-160°C a 400°C)      ", "4-20mA Lin. N   (-150°C a 1300°C)     ",
        "4-20mA Lin. R   (0°C a 1760°C)        ", "4-20mA Lin. S   (0°C a 1760°C)        ",
        "4-20mA Lin. Pt100 (-200.0°C a 530.0°C)", "4-20mA Lin. Pt100 (-200°C a 530°C)    ",
        "Linear 0-50mV   (-1999 a 9999)        ", "Linear 4-20mA   (-1999 a 9999)        ",
        "Linear 0-10V    (-1999 a 9999)        ",
    },
    {
        "Termopar J   (-166°F a 1400°F)        ", "Termopar K   (-238°F a 2498°F)        ",
        "Termopar T   (-256°F a 752°F)         ", "Termopar N   (-238°F a 2372°F)        ",
        "Termopar R   (32°F a 3200°F)          ", "Termopar S   (32°F a 3200°F)          ",
        "Pt100   (-199.9°F a 986.0°F)          ", "Pt100   (-328°F a 986°F)              ",
        "4-20mA Lin. J   (-166°F a 1400°F)     ", "4-20mA Lin. K   (-238°F a 2498°F)     ",
        "4-20mA Lin. T   (-256°F a 752°F)      ", "4-20mA Lin. N   (-238°F a 2372°F)     ",
        "4-20mA Lin. R   (32°F a 3200°F)       ", "4-20mA Lin. S   (32°F a 3200°F)       ",
        "4-20mA Lin. Pt100 (-199.9°F a 986.0°F)", "4-20mA Lin. Pt100 (-328°F a 986°F)    ",
        "Linear 0-50mV   (-1999 a 9999)        ", "Linear 4-20mA   (-1999 a 9999)        ",
        "Linear 0-10V    (-1999 a 9999)        ",
    },
    {
        {-110, 760},   {-150, 1370}, {-160, 400},   {-150, 1300},  {0, 1760},     {0, 1760}, {-1999, 5300},
        {-200, 530},   {-110, 760},  {-150, 1370},  {-160, 400},   {-150, 1300},  {0, 1760}, {0, 1760},
        {-1999, 5300}, {-200, 530},  {-1999, 9999}, {-1999, 9999}, {-1999, 9999},
    },
    {
        // The tenths Pt100 types keep -199.9 as their floor in °F too (not a conversion of °C).
        {-166, 1400},  {-238, 2498}, {-256, 752},   {-238, 2372},  {32, 3200},    {32, 3200}, {-1999, 9860},
        {-328, 986},   {-166, 1400}, {-238, 2498},  {-256, 752},   {-238, 2372},  {32, 3200}, {32, 3200},
        {-1999, 9860}, {-328, 986},  {-1999, 9999}, {-1999, 9999}, {-1999, 9999},
    },
};

bool IsKnownInputType(int code) { return code >= 0 && code < kInputTypeCount; }

const char* InputTypeName(int code, int32_t unit) {
    if (!IsKnownInputType(code)) return nullptr;
    return unit == 0 ? InputTypeCatalogue.celsiusNames[code] : InputTypeCatalogue.fahrenheitNames[code];
}

LimitPair SensorLimits(int code, int32_t unit) {
    if (!IsKnownInputType(code)) {
        LimitPair whole = {INT16_MIN, INT16_MAX};
        return whole;
    }
    return unit == 0 ? InputTypeCatalogue.celsiusLimits[code] : InputTypeCatalogue.fahrenheitLimits[code];
}

bool IsLinearInput(int code) { return code > 15; }

bool IsTenthsInput(int code) { return code == 6 || code == 14; }
