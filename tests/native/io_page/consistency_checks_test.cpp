// The consistency checks that guard Apply: order, equality, messages and the sensor limit printed as stored.
#include <gtest/gtest.h>
#include <string>
#include "io_consistency_checks.h"

namespace {

ConfigSnapshot Snapshot(int inputType, int unit, int lower, int upper, int alarmFunction, int setPoint) {
    ConfigSnapshot s = {};
    s.inputType = static_cast<int8_t>(inputType);
    s.unit = unit;
    s.lowerLimit = static_cast<int16_t>(lower);
    s.upperLimit = static_cast<int16_t>(upper);
    s.alarmFunction = static_cast<int16_t>(alarmFunction);
    s.alarmSetPoint = static_cast<int16_t>(setPoint);
    return s;
}

struct Outcome {
    int fault;
    std::string message;
};

Outcome Check(const ConfigSnapshot& s) {
    char message[kIoMessageSize] = "";
    const int fault = FindConsistencyFault(s, message, sizeof message);
    return Outcome{fault, message};
}

TEST(ConsistencyChecks, EqualityPassesEverywhere) {
    EXPECT_EQ(Check(Snapshot(0, 0, -110, 760, 4, -110)).fault, 0);  // lower at the sensor floor, set point at lower
    EXPECT_EQ(Check(Snapshot(0, 0, 100, 100, 4, 100)).fault, 0);    // lower equal to upper
    EXPECT_EQ(Check(Snapshot(0, 0, 0, 760, 5, 760)).fault, 0);      // upper at the sensor top, set point at upper
}

TEST(ConsistencyChecks, SensorLimitMessagesCarryTheUnitAndTheStoredValue) {
    Outcome low = Check(Snapshot(0, 0, -111, 760, 0, 0));
    EXPECT_EQ(low.fault, 1);
    EXPECT_EQ(low.message, "O Limite Inferior não pode ser menor que o limite do sensor (-110°C)!");

    Outcome tenths = Check(Snapshot(6, 1, -3566, 100, 0, 0));
    EXPECT_EQ(tenths.fault, 1);
    EXPECT_EQ(tenths.message, "O Limite Inferior não pode ser menor que o limite do sensor (-1999°F)!");

    Outcome high = Check(Snapshot(14, 0, 0, 5301, 0, 0));
    EXPECT_EQ(high.fault, 2);
    EXPECT_EQ(high.message, "O Limite Superior não pode ser maior que o limite do sensor (5300°C)!");

    EXPECT_EQ(Check(Snapshot(0, 1, 0, 1401, 0, 0)).message,
              "O Limite Superior não pode ser maior que o limite do sensor (1400°F)!");
}

TEST(ConsistencyChecks, OrderOfLimitsAndSetPoint) {
    Outcome crossed = Check(Snapshot(0, 0, 500, 400, 4, 450));
    EXPECT_EQ(crossed.fault, 3);
    EXPECT_EQ(crossed.message, "O Limite Inferior não pode ser maior que o Limite Superior!");

    Outcome below = Check(Snapshot(0, 0, 100, 400, 4, 99));
    EXPECT_EQ(below.fault, 4);
    EXPECT_EQ(below.message, "O Set Point de Alarme não pode ser menor que o Limite Inferior!");

    Outcome above = Check(Snapshot(0, 0, 100, 400, 8, 401));
    EXPECT_EQ(above.fault, 5);
    EXPECT_EQ(above.message, "O Set Point de Alarme não pode ser maior que o Limite Superior!");
}

TEST(ConsistencyChecks, FirstFailingCheckWins) {
    EXPECT_EQ(Check(Snapshot(0, 0, -200, 900, 4, 5000)).fault, 1);
    EXPECT_EQ(Check(Snapshot(0, 0, 700, 900, 4, 5000)).fault, 2);
}

TEST(ConsistencyChecks, SetPointIsFreeWithoutAnAlarmFunction) {
    EXPECT_EQ(Check(Snapshot(0, 0, 100, 400, 0, -30000)).fault, 0);
    EXPECT_EQ(Check(Snapshot(0, 0, 100, 400, 0, 30000)).fault, 0);
}

TEST(ConsistencyChecks, UnknownInputTypeStillChecksTheOrderOfTheFields) {
    EXPECT_EQ(Check(Snapshot(30, 0, -20000, 20000, 0, 0)).fault, 0);
    EXPECT_EQ(Check(Snapshot(30, 0, 10, 5, 0, 0)).fault, 3);
}

}  // namespace
