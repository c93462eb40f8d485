// The Diagnostic page's texts: process value with and without tenths, unit, mnemonics, identity.
#include <gtest/gtest.h>
#include "live_diagnostic_texts.h"

TEST(ProcessValueText, TenthsInputsShowOneDecimalWithTheSignOfTheValue) {
    for (int type : {6, 14}) {
        EXPECT_EQ(ProcessValueText(-1234, type), "-123.4");
        EXPECT_EQ(ProcessValueText(5300, type), "530.0");
        EXPECT_EQ(ProcessValueText(7, type), "0.7");
        EXPECT_EQ(ProcessValueText(-5, type), "-0.5");
        EXPECT_EQ(ProcessValueText(-10, type), "-1.0");
        EXPECT_EQ(ProcessValueText(-32768, type), "-3276.8");
    }
}

TEST(ProcessValueText, OtherInputsShowWholeNumbers) {
    EXPECT_EQ(ProcessValueText(-200, 7), "-200");
    EXPECT_EQ(ProcessValueText(9999, 17), "9999");
    EXPECT_EQ(ProcessValueText(-5, 0), "-5");
    EXPECT_EQ(ProcessValueText(55, 40), "55");  // a code outside the catalogue is not a tenths input
}

TEST(UnitLabelText, LinearInputsHaveNoUnit) {
    EXPECT_EQ(UnitLabelText(0, 0), "°C");
    EXPECT_EQ(UnitLabelText(15, 1), "°F");
    EXPECT_EQ(UnitLabelText(6, 7), "°F");  // any unit but 0 is °F
    for (int type : {16, 17, 18}) EXPECT_EQ(UnitLabelText(type, 0), "") << type;
}

TEST(AlarmMnemonicText, EmptyWhileOffMnemonicWhileOnAndNeverAReadPastTheTable) {
    EXPECT_EQ(AlarmMnemonicText(0, 5), "");
    EXPECT_EQ(AlarmMnemonicText(0, 99), "");
    const char* expected[] = {"oFF", "iErr", "rS", "rFail", "Lo", "Hi", "diFL", "diFH", "diF"};
    for (int code = 0; code < 9; ++code) EXPECT_EQ(AlarmMnemonicText(1, code), expected[code]) << code;
    EXPECT_EQ(AlarmMnemonicText(1, 9), "?");
    EXPECT_EQ(AlarmMnemonicText(1, -1), "?");
}

TEST(IdentityTexts, SerialNumberZeroFilledToEightDigitsAndFirmwareWithTwoMinorDigits) {
    EXPECT_EQ(SerialNumberText(12345), "00012345");
    EXPECT_EQ(SerialNumberText(123456789), "123456789");
    EXPECT_EQ(SerialNumberText(4294967295u), "4294967295");
    EXPECT_EQ(FirmwareText(105), "1.05");
    EXPECT_EQ(FirmwareText(111), "1.11");
    EXPECT_EQ(FirmwareText(99), "0.99");
}
