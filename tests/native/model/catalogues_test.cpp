// The input-type, output-type and alarm catalogues: names byte for byte, limits, rules and positions.
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include "alarm_functions.h"
#include "input_types.h"
#include "output_types.h"

namespace {

std::string Padded(const char* text, size_t length) {
    std::string name(text);
    name.resize(length, ' ');
    return name;
}

const char* const kCelsiusNames[19] = {
    "Termopar J   (-110°C a 760°C)",      "Termopar K   (-150°C a 1370°C)",   "Termopar T   (-160°C a 400°C)",
    "Termopar N   (-150°C a 1300°C)",     "Termopar R   (0°C a 1760°C)",      "Termopar S   (0°C a 1760°C)",
    "Pt100   (-199.9°C a 530.0°C)",       "Pt100   (-200°C a 530°C)",         "4-20mA Lin. J   (-110°C a 760°C)",
    "4-20mA Lin. K   (-150°C a 1370°C)",  "4-20mA Lin. T   (-160°C a 400°C)", "4-20mA Lin. N   (-150°C a 1300°C)",
    "4-20mA Lin. R   (0°C a 1760°C)",     "4-20mA Lin. S   (0°C a 1760°C)",   "4-20mA Lin. Pt100 (-200.0°C a 530.0°C)",
    "4-20mA Lin. Pt100 (-200°C a 530°C)", "Linear 0-50mV   (-1999 a 9999)",   "Linear 4-20mA   (-1999 a 9999)",
    "Linear 0-10V    (-1999 a 9999)",
};

const char* const kFahrenheitNames[19] = {
    "Termopar J   (-166°F a 1400°F)",     "Termopar K   (-238°F a 2498°F)",   "Termopar T   (-256°F a 752°F)",
    "Termopar N   (-238°F a 2372°F)",     "Termopar R   (32°F a 3200°F)",     "Termopar S   (32°F a 3200°F)",
    "Pt100   (-199.9°F a 986.0°F)",       "Pt100   (-328°F a 986°F)",         "4-20mA Lin. J   (-166°F a 1400°F)",
    "4-20mA Lin. K   (-238°F a 2498°F)",  "4-20mA Lin. T   (-256°F a 752°F)", "4-20mA Lin. N   (-238°F a 2372°F)",
    "4-20mA Lin. R   (32°F a 3200°F)",    "4-20mA Lin. S   (32°F a 3200°F)",  "4-20mA Lin. Pt100 (-199.9°F a 986.0°F)",
    "4-20mA Lin. Pt100 (-328°F a 986°F)", "Linear 0-50mV   (-1999 a 9999)",   "Linear 4-20mA   (-1999 a 9999)",
    "Linear 0-10V    (-1999 a 9999)",
};

TEST(InputTypeCatalogue, NamesArePaddedToThirtyEightSingleByteCharacters) {
    for (int code = 0; code < 19; ++code) {
        SCOPED_TRACE(code);
        EXPECT_EQ(std::strlen(InputTypeCatalogue.celsiusNames[code]), 38u);
        EXPECT_EQ(std::strlen(InputTypeCatalogue.fahrenheitNames[code]), 38u);
        EXPECT_EQ(InputTypeCatalogue.celsiusNames[code], Padded(kCelsiusNames[code], 38));
        EXPECT_EQ(InputTypeCatalogue.fahrenheitNames[code], Padded(kFahrenheitNames[code], 38));
        EXPECT_STREQ(InputTypeName(code, 0), InputTypeCatalogue.celsiusNames[code]);
        EXPECT_STREQ(InputTypeName(code, 1), InputTypeCatalogue.fahrenheitNames[code]);
    }
    EXPECT_EQ(InputTypeCatalogue.celsiusNames[0][18], '\xB0');  // the degree sign is one CP1252 byte
}

TEST(InputTypeCatalogue, SensorLimitsFollowTheUnit) {
    // Code: °C low, °C high, °F low, °F high (tenths for 6 and 14, plain numbers for 16 to 18).
    const int limits[19][4] = {
        {-110, 760, -166, 1400},    {-150, 1370, -238, 2498},   {-160, 400, -256, 752},     {-150, 1300, -238, 2372},
        {0, 1760, 32, 3200},        {0, 1760, 32, 3200},        {-1999, 5300, -1999, 9860}, {-200, 530, -328, 986},
        {-110, 760, -166, 1400},    {-150, 1370, -238, 2498},   {-160, 400, -256, 752},     {-150, 1300, -238, 2372},
        {0, 1760, 32, 3200},        {0, 1760, 32, 3200},        {-1999, 5300, -1999, 9860}, {-200, 530, -328, 986},
        {-1999, 9999, -1999, 9999}, {-1999, 9999, -1999, 9999}, {-1999, 9999, -1999, 9999},
    };
    for (int code = 0; code < 19; ++code) {
        SCOPED_TRACE(code);
        EXPECT_EQ(SensorLimits(code, 0).low, limits[code][0]);
        EXPECT_EQ(SensorLimits(code, 0).high, limits[code][1]);
        EXPECT_EQ(SensorLimits(code, 1).low, limits[code][2]);
        EXPECT_EQ(SensorLimits(code, 1).high, limits[code][3]);
    }
    EXPECT_EQ(SensorLimits(4, 7).low, 32);  // any unit but 0 takes the °F pair
}

TEST(InputTypeCatalogue, CodesOutsideTheCatalogueHaveNoNameAndNoSensorBounds) {
    for (int code : {-1, 19, 127}) {
        SCOPED_TRACE(code);
        EXPECT_FALSE(IsKnownInputType(code));
        EXPECT_EQ(InputTypeName(code, 0), nullptr);
        EXPECT_EQ(SensorLimits(code, 0).low, INT16_MIN);
        EXPECT_EQ(SensorLimits(code, 1).high, INT16_MAX);
    }
}

TEST(InputTypeRules, LinearAndTenthsCodes) {
    EXPECT_FALSE(IsLinearInput(15));
    EXPECT_TRUE(IsLinearInput(16));
    EXPECT_TRUE(IsLinearInput(18));
    EXPECT_TRUE(IsTenthsInput(6));
    EXPECT_TRUE(IsTenthsInput(14));
    EXPECT_FALSE(IsTenthsInput(7));
}

TEST(OutputTypeCatalogue, PositionsCodesAndNames) {
    EXPECT_STREQ(OutputTypeName(13), "0 a 20mA");
    EXPECT_STREQ(OutputTypeName(14), "4 a 20mA");
    EXPECT_EQ(OutputTypeName(12), nullptr);
    EXPECT_EQ(OutputTypeFromPosition(0, 14), 13);
    EXPECT_EQ(OutputTypeFromPosition(1, 13), 14);
    EXPECT_EQ(OutputTypeFromPosition(-1, 99), 99);  // no selection keeps the device's code
    EXPECT_EQ(OutputTypeFromPosition(2, 13), 13);
}

TEST(AlarmFunctionCatalogue, NamesArePaddedToTwentyNineSingleByteCharacters) {
    const char* const names[9] = {
        "Sem Alarme",
        "Sensor aberto ou em curto",
        "Evento de Rampas e Patamares",
        "Resistência queimada",
        "Valor mínimo",
        "Valor máximo",
        "Diferencial mínimo",
        "Diferencial máximo",
        "Diferencial",
    };
    for (int code = 0; code < 9; ++code) {
        SCOPED_TRACE(code);
        EXPECT_EQ(std::strlen(AlarmFunctionCatalogue[code]), 29u);
        EXPECT_EQ(AlarmFunctionCatalogue[code], Padded(names[code], 29));
        EXPECT_STREQ(AlarmFunctionName(code), AlarmFunctionCatalogue[code]);
    }
    EXPECT_EQ(AlarmFunctionName(9), nullptr);
    EXPECT_EQ(AlarmFunctionName(-1), nullptr);
}

TEST(AlarmFunctionCatalogue, OfferedPositionsSkipCodesTwoAndThree) {
    const int codes[7] = {0, 1, 4, 5, 6, 7, 8};
    for (int position = 0; position < 7; ++position) EXPECT_EQ(AlarmFunctionFromPosition(position), codes[position]);
    EXPECT_EQ(AlarmFunctionFromPosition(-1), -1);  // nothing selected is not a code
    EXPECT_EQ(AlarmFunctionFromPosition(7), -1);
}

}  // namespace
