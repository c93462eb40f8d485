// Rescaling limits and set point to a new input type, and the up-down ranges that go with a type.
#include <gtest/gtest.h>
#include "input_type_rescale.h"
#include "io_spin_ranges.h"

namespace {

TEST(RescaleToInputType, MapsThermocoupleJOntoKAtCelsius) {
    EXPECT_EQ(RescaleToInputType(-110, 0, 1, 0), -150);
    EXPECT_EQ(RescaleToInputType(760, 0, 1, 0), 1370);
    EXPECT_EQ(RescaleToInputType(300, 0, 1, 0), 566);
}

TEST(RescaleToInputType, UsesTheLimitsOfTheCurrentUnit) {
    EXPECT_EQ(RescaleToInputType(-166, 0, 1, 1), -238);  // J °F low onto K °F low
    EXPECT_EQ(RescaleToInputType(1400, 0, 1, 1), 2498);
}

TEST(RescaleToInputType, SameTypeOrUnknownTypeLeavesTheValue) {
    EXPECT_EQ(RescaleToInputType(123, 5, 5, 0), 123);
    EXPECT_EQ(RescaleToInputType(123, 25, 1, 0), 123);  // a device code outside the catalogue
    EXPECT_EQ(RescaleToInputType(123, 1, -3, 0), 123);
}

TEST(RescaleToInputType, ResultOutsideSixteenBitsIsBounded) {
    // Far outside the old range, the linear map runs past the word; it must not wrap.
    EXPECT_EQ(RescaleToInputType(32767, 2, 16, 0), 32767);
    EXPECT_EQ(RescaleToInputType(-32768, 2, 16, 0), -32768);
}

TEST(IoSpinRanges, SensorLimitsAndHysteresisWidth) {
    const IoSpinRanges k = IoSpinRangesFor(1, 0);
    EXPECT_EQ(k.low, -150);
    EXPECT_EQ(k.high, 1370);
    EXPECT_EQ(k.hysteresisHigh, 1520);
    const IoSpinRanges unknown = IoSpinRangesFor(40, 0);
    EXPECT_EQ(unknown.low, -32768);
    EXPECT_EQ(unknown.hysteresisHigh, 32767);
}

}  // namespace
