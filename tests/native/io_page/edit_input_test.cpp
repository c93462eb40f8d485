// Reading typed numbers and the unit-switch decision of the Input/Output page.
#include <gtest/gtest.h>
#include "edit_numbers.h"
#include "temperature_units.h"
#include "unit_switch.h"

namespace {

TEST(ParseDialogInt16, WholeTextMustBeANumber) {
    EXPECT_EQ(ParseDialogInt16("-1999"), -1999);
    EXPECT_EQ(ParseDialogInt16("  42 "), 42);
    EXPECT_EQ(ParseDialogInt16("+7"), 7);
    EXPECT_EQ(ParseDialogInt16("12abc"), 0);
    EXPECT_EQ(ParseDialogInt16(""), 0);
    EXPECT_EQ(ParseDialogInt16("-"), 0);
}

TEST(ParseLeadingInt16, LeadingNumberCounts) {
    EXPECT_EQ(ParseLeadingInt16("12abc"), 12);
    EXPECT_EQ(ParseLeadingInt16("  -35"), -35);
    EXPECT_EQ(ParseLeadingInt16("abc"), 0);
    EXPECT_EQ(ParseLeadingInt16(""), 0);
}

TEST(EditNumbers, BeyondSixteenBitsSticksAtTheBoundInsteadOfWrapping) {
    // 70000 kept to its low 16 bits would be 4464, a value a linear input accepts.
    EXPECT_EQ(ParseDialogInt16("70000"), 32767);
    EXPECT_EQ(ParseLeadingInt16("70000"), 32767);
    EXPECT_EQ(ParseDialogInt16("-70000"), -32768);
    EXPECT_EQ(ParseDialogInt16("99999999999999999999"), 32767);
    EXPECT_EQ(ParseLeadingInt16("-9999999"), -32768);
    EXPECT_EQ(ParseDialogInt16("32767"), 32767);
    EXPECT_EQ(ParseDialogInt16("-32768"), -32768);
}

TEST(UnitSwitch, OnlyTheOtherKnownUnitConverts) {
    EXPECT_EQ(DecideUnitSwitch(0, 0), kUnitUnchanged);
    EXPECT_EQ(DecideUnitSwitch(1, 1), kUnitUnchanged);
    EXPECT_EQ(DecideUnitSwitch(0, 1), kUnitConvert);
    EXPECT_EQ(DecideUnitSwitch(1, 0), kUnitConvert);
    EXPECT_EQ(DecideUnitSwitch(5, 0), kUnitAdopt);  // the device's unit is unknown: nothing to convert from
    EXPECT_EQ(DecideUnitSwitch(-1, 1), kUnitAdopt);
}

TEST(UnitSwitch, ConvertsByInputTypeAndQuantityThereAndBack) {
    const UnitQuantity T = UnitQuantity::Temperature;
    const UnitQuantity D = UnitQuantity::Difference;
    struct Case {
        int inputType;
        UnitQuantity quantity;
        int16_t celsius;
        int16_t fahrenheit;  // what the °F switch gives
        int16_t back;        // what the °C switch then gives
    };
    const Case cases[] = {
        {0, T, 100, 212, 100},                                // whole degrees: × 9 / 5 + 32
        {0, T, 1, 34, 1},                                     // 33.8 rounded: the round trip keeps the degree
        {0, T, -110, -166, -110},  {6, T, 1000, 2120, 1000},  // 100.0 °C is 212.0 °F: the 32 degrees are 320 tenths
        {14, T, -400, -400, -400},                            // -40.0 is the same in both units
        {6, T, 5300, 9860, 5300},                             // the °C limit lands on the °F limit
        {0, D, 2, 4, 2},                                      // a difference gets no 32: 2 °C is 3.6 °F, rounded
        {0, D, -5, -9, -5},                                   // a negative hysteresis rounds the same way
        {0, D, 100, 180, 100},     {14, D, 20, 36, 20},       // 2.0 °C is 3.6 °F in tenths
        {17, T, 100, 100, 100},                               // linear: plain scale numbers, no unit
        {18, D, 5, 5, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.inputType << " value " << c.celsius);
        const int16_t fahrenheit = ConvertToUnit(c.celsius, kUnitFahrenheit, c.inputType, c.quantity);
        EXPECT_EQ(fahrenheit, c.fahrenheit);
        EXPECT_EQ(ConvertToUnit(fahrenheit, kUnitCelsius, c.inputType, c.quantity), c.back);
    }
    // Every value a register can hold that °F can hold too comes back from °C → °F → °C, whatever the
    // input type and quantity (truncating both ways lost up to a degree, or a tenth).
    for (int type : {0, 6}) {
        for (UnitQuantity quantity : {T, D}) {
            int lost = 0;
            for (int32_t v = INT16_MIN; v <= INT16_MAX; ++v) {
                const int16_t there = ConvertToUnit(static_cast<int16_t>(v), kUnitFahrenheit, type, quantity);
                if (there == INT16_MIN || there == INT16_MAX) continue;  // saturated: nothing to come back from
                if (ConvertToUnit(there, kUnitCelsius, type, quantity) != v && ++lost <= 3)
                    ADD_FAILURE() << "type " << type << " value " << v << " came back changed";
            }
            EXPECT_EQ(lost, 0);
        }
    }
    // Beyond 16 bits the result stays at the bound, as the whole-degree conversions do.
    EXPECT_EQ(ConvertToUnit(30000, kUnitFahrenheit, 6, T), 32767);
    EXPECT_EQ(ConvertToUnit(-30000, kUnitFahrenheit, 0, D), -32768);
}

}  // namespace
