// The calibration pairs of the two output types and what a spin position may replace.
#include <gtest/gtest.h>
#include <cstring>
#include "live_calibration.h"

TEST(CalibrationPairFor, EachOutputTypeTrimsItsOwnAddressesAndOthersNone) {
    CalibrationPair pair = CalibrationPairFor(13);
    ASSERT_NE(pair.zero, nullptr);
    EXPECT_EQ(pair.zero->address, 23);
    EXPECT_EQ(pair.span->address, 24);
    EXPECT_STREQ(pair.zero->writeFailure, "Erro na escrita do Offset 0 a 20mA (%s)");
    EXPECT_STREQ(pair.span->writeFailure, "Erro na escrita do Ganho 0 a 20mA (%s)");

    pair = CalibrationPairFor(14);
    ASSERT_NE(pair.zero, nullptr);
    EXPECT_EQ(pair.zero->address, 21);
    EXPECT_EQ(pair.span->address, 22);
    EXPECT_STREQ(pair.zero->writeFailure, "Erro na escrita do Offset 4 a 20mA (%s)");
    EXPECT_STREQ(pair.span->writeFailure, "Erro na escrita do Ganho 4 a 20mA (%s)");

    CalibrationValues values = {1, 2, 3, 4};
    EXPECT_EQ(values.*CalibrationPairFor(13).zero->field, 3);
    EXPECT_EQ(values.*CalibrationPairFor(14).span->field, 2);

    for (int other : {0, 12, 15, -1}) EXPECT_EQ(CalibrationPairFor(other).zero, nullptr) << other;
}

TEST(CalibrationSlots, ReadInAddressOrderWithTheirOwnMessages) {
    for (int i = 0; i < kCalibrationValueCount; ++i) EXPECT_EQ(kCalibrationSlots[i].address, 21 + i);
    EXPECT_STREQ(kCalibrationSlots[0].readFailure, "Erro na leitura do offset da calibração 4 a 20mA (%s)");
    EXPECT_STREQ(kCalibrationSlots[1].readFailure, "Erro na leitura do ganho da calibração 4 a 20mA (%s)");
    EXPECT_STREQ(kCalibrationSlots[2].readFailure, "Erro na leitura do offset da calibração 0 a 20mA (%s)");
    EXPECT_STREQ(kCalibrationSlots[3].readFailure, "Erro na leitura do ganho da calibração 0 a 20mA (%s)");
}

TEST(TakeSpinPosition, AValidPositionReplacesTheValueAnErrorOrOutOfRangeKeepsIt) {
    EXPECT_EQ(TakeSpinPosition(0, 0x00000001u, kZeroSpinRange), 1);
    EXPECT_EQ(TakeSpinPosition(0, 0x0000F060u, kZeroSpinRange), -4000);  // low word signed
    // SPAN left at 0 by failed reads: the spin reports an error and 0 stays, so nothing is written.
    EXPECT_EQ(TakeSpinPosition(0, 0x000101F4u, kSpanSpinRange), 0);
    EXPECT_EQ(TakeSpinPosition(25000, 0x00014E20u, kSpanSpinRange), 25000);
    // A position outside the range without the error flag is not believed either.
    EXPECT_EQ(TakeSpinPosition(700, 0x00000064u, kSpanSpinRange), 700);
    EXPECT_EQ(TakeSpinPosition(700, 0x000001F4u, kSpanSpinRange), 500);
}
