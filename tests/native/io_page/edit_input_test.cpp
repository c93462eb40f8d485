// Reading typed numbers and the unit-switch decision of the Input/Output page.
#include <gtest/gtest.h>
#include "edit_numbers.h"
#include "unit_switch.h"

namespace {

TEST(ParseDialogInt16, WholeTextMustBeANumber)
{
    EXPECT_EQ(ParseDialogInt16("-1999"), -1999);
    EXPECT_EQ(ParseDialogInt16("  42 "), 42);
    EXPECT_EQ(ParseDialogInt16("+7"), 7);
    EXPECT_EQ(ParseDialogInt16("12abc"), 0);
    EXPECT_EQ(ParseDialogInt16(""), 0);
    EXPECT_EQ(ParseDialogInt16("-"), 0);
}

TEST(ParseLeadingInt16, LeadingNumberCounts)
{
    EXPECT_EQ(ParseLeadingInt16("12abc"), 12);
    EXPECT_EQ(ParseLeadingInt16("  -35"), -35);
    EXPECT_EQ(ParseLeadingInt16("abc"), 0);
    EXPECT_EQ(ParseLeadingInt16(""), 0);
}

TEST(EditNumbers, BeyondSixteenBitsSticksAtTheBoundInsteadOfWrapping)
{
    // 70000 kept to its low 16 bits would be 4464, a value a linear input accepts.
    EXPECT_EQ(ParseDialogInt16("70000"), 32767);
    EXPECT_EQ(ParseLeadingInt16("70000"), 32767);
    EXPECT_EQ(ParseDialogInt16("-70000"), -32768);
    EXPECT_EQ(ParseDialogInt16("99999999999999999999"), 32767);
    EXPECT_EQ(ParseLeadingInt16("-9999999"), -32768);
    EXPECT_EQ(ParseDialogInt16("32767"), 32767);
    EXPECT_EQ(ParseDialogInt16("-32768"), -32768);
}

TEST(UnitSwitch, OnlyTheOtherKnownUnitConverts)
{
    EXPECT_EQ(DecideUnitSwitch(0, 0), kUnitUnchanged);
    EXPECT_EQ(DecideUnitSwitch(1, 1), kUnitUnchanged);
    EXPECT_EQ(DecideUnitSwitch(0, 1), kUnitConvert);
    EXPECT_EQ(DecideUnitSwitch(1, 0), kUnitConvert);
    EXPECT_EQ(DecideUnitSwitch(5, 0), kUnitAdopt);  // the device's unit is unknown: nothing to convert from
    EXPECT_EQ(DecideUnitSwitch(-1, 1), kUnitAdopt);
}

TEST(UnitSwitch, HysteresisAndTenthsGoThroughTheSameFormula)
{
    EXPECT_EQ(ConvertToUnit(2, 1), 35);
    EXPECT_EQ(ConvertToUnit(35, 0), 1);
    EXPECT_EQ(ConvertToUnit(-1999, 1), -3566);
}

}  // namespace
