// The integer °C/°F conversions and their truncation.
#include <gtest/gtest.h>
#include "temperature_units.h"

namespace {

TEST(CelsiusToFahrenheit, DividesBeforeAddingAndTruncatesTowardZero) {
    EXPECT_EQ(CelsiusToFahrenheit(100), 212);
    EXPECT_EQ(CelsiusToFahrenheit(-40), -40);
    EXPECT_EQ(CelsiusToFahrenheit(1), 33);
    EXPECT_EQ(CelsiusToFahrenheit(-1), 31);
    EXPECT_EQ(CelsiusToFahrenheit(-1999), -3566);
    EXPECT_EQ(CelsiusToFahrenheit(5300), 9572);
    EXPECT_EQ(CelsiusToFahrenheit(-110), -166);
    EXPECT_EQ(CelsiusToFahrenheit(760), 1400);
}

TEST(FahrenheitToCelsius, TruncatesTowardZero) {
    EXPECT_EQ(FahrenheitToCelsius(212), 100);
    EXPECT_EQ(FahrenheitToCelsius(33), 0);
    EXPECT_EQ(FahrenheitToCelsius(31), 0);
    EXPECT_EQ(FahrenheitToCelsius(-166), -110);
    EXPECT_EQ(FahrenheitToCelsius(1400), 760);
    EXPECT_EQ(FahrenheitToCelsius(CelsiusToFahrenheit(1)), 0);  // a round trip loses precision
}

TEST(TemperatureConversions, ResultsBeyondSixteenBitsStayAtTheBound) {
    EXPECT_EQ(CelsiusToFahrenheit(20000), 32767);  // 36032 would wrap to -29504
    EXPECT_EQ(CelsiusToFahrenheit(-32768), -32768);
    EXPECT_EQ(FahrenheitToCelsius(-32768), -18222);
}

}  // namespace
