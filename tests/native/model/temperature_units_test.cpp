// The integer °C/°F conversions and their rounding.
#include <gtest/gtest.h>
#include "temperature_units.h"

namespace {

TEST(CelsiusToFahrenheit, RoundsToTheNearestDegree) {
    EXPECT_EQ(CelsiusToFahrenheit(100), 212);
    EXPECT_EQ(CelsiusToFahrenheit(-40), -40);
    EXPECT_EQ(CelsiusToFahrenheit(1), 34);    // 33.8
    EXPECT_EQ(CelsiusToFahrenheit(-1), 30);   // 30.2
    EXPECT_EQ(CelsiusToFahrenheit(-18), 0);   // -0.4: rounding, not truncating, toward 0
    EXPECT_EQ(CelsiusToFahrenheit(-21), -6);  // -5.8
    EXPECT_EQ(CelsiusToFahrenheit(-1999), -3566);
    EXPECT_EQ(CelsiusToFahrenheit(5300), 9572);
    EXPECT_EQ(CelsiusToFahrenheit(-110), -166);
    EXPECT_EQ(CelsiusToFahrenheit(760), 1400);
}

TEST(FahrenheitToCelsius, RoundsToTheNearestDegree) {
    EXPECT_EQ(FahrenheitToCelsius(212), 100);
    EXPECT_EQ(FahrenheitToCelsius(33), 1);   // 0.56
    EXPECT_EQ(FahrenheitToCelsius(31), -1);  // -0.56
    EXPECT_EQ(FahrenheitToCelsius(32), 0);
    EXPECT_EQ(FahrenheitToCelsius(-10), -23);  // -23.3: below zero the same way as above
    EXPECT_EQ(FahrenheitToCelsius(-13), -25);
    EXPECT_EQ(FahrenheitToCelsius(-166), -110);
    EXPECT_EQ(FahrenheitToCelsius(1400), 760);
    EXPECT_EQ(FahrenheitToCelsius(CelsiusToFahrenheit(1)), 1);  // the round trip keeps the value
}

TEST(DivideRounded, HalvesGoAwayFromZeroOnBothSides) {
    EXPECT_EQ(DivideRounded(5, 2), 3);
    EXPECT_EQ(DivideRounded(-5, 2), -3);
    EXPECT_EQ(DivideRounded(4, 3), 1);
    EXPECT_EQ(DivideRounded(-4, 3), -1);
    EXPECT_EQ(DivideRounded(0, 9), 0);
}

TEST(TemperatureConversions, ResultsBeyondSixteenBitsStayAtTheBound) {
    EXPECT_EQ(CelsiusToFahrenheit(20000), 32767);  // 36032 would wrap to -29504
    EXPECT_EQ(CelsiusToFahrenheit(-32768), -32768);
    EXPECT_EQ(FahrenheitToCelsius(-32768), -18222);
}

}  // namespace
