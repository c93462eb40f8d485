// Decoding the configuration block into the snapshot and the change-detection rule.
#include <gtest/gtest.h>
#include <cstdint>
#include "config_snapshot.h"

namespace {

struct Block {
    uint16_t words[68] = {};
    Block& Set(int reg, int value) {
        words[reg] = static_cast<uint16_t>(value);
        return *this;
    }
};

// A read as the pages take it.
struct PagesRead {
    explicit PagesRead(const Block& block) { DecodeConfigBlock(block.words, configSnapshot, lastKnown, readConfig); }
    ConfigSnapshot configSnapshot = {};
    ConfigSnapshot lastKnown = {};
    ConfigSnapshot readConfig = {};
};

TEST(DecodeConfigBlock, TakesOnlyTheLowByteOfTheCodeWords) {
    const PagesRead read(Block().Set(43, 0x0105).Set(61, 0x020E));
    EXPECT_EQ(read.configSnapshot.inputType, 5);
    EXPECT_EQ(read.configSnapshot.outputType, 14);
}

TEST(DecodeConfigBlock, AlarmOutputIsBitZeroOfTheStateWord) {
    EXPECT_EQ(PagesRead(Block().Set(6, 0xFFFE)).configSnapshot.alarmOutputOn, 0);
    EXPECT_EQ(PagesRead(Block().Set(6, 1)).configSnapshot.alarmOutputOn, 1);
}

TEST(DecodeConfigBlock, SignedFieldsComeFromTheirRegisters) {
    Block block;
    block.Set(67, 1).Set(26, -1999).Set(27, 5300).Set(31, -5).Set(39, 2).Set(35, 8);
    block.Set(50, 0xFFFF).Set(7, 111).Set(29, -12);
    const PagesRead read(block);
    const ConfigSnapshot& s = read.configSnapshot;
    EXPECT_EQ(s.unit, 1);
    EXPECT_EQ(s.lowerLimit, -1999);
    EXPECT_EQ(s.upperLimit, 5300);
    EXPECT_EQ(s.alarmSetPoint, -5);
    EXPECT_EQ(s.alarmHysteresis, 2);
    EXPECT_EQ(s.alarmFunction, 8);
    EXPECT_EQ(s.alarmInitialBlock, -1);
    EXPECT_EQ(s.firmwareVersion, 111);
    EXPECT_EQ(s.indicationOffset, -12);
}

TEST(DecodeConfigBlock, LastKnownFollowsEveryEditableField) {
    Block block;
    block.Set(43, 14).Set(67, 1).Set(26, -100).Set(27, 900).Set(31, 50).Set(39, 3);
    block.Set(35, 4).Set(61, 13).Set(50, 1).Set(29, 7);
    const PagesRead read(block);
    const ConfigSnapshot& s = read.configSnapshot;
    const ConfigSnapshot& k = read.lastKnown;
    EXPECT_EQ(k.inputType, s.inputType);
    EXPECT_EQ(k.unit, s.unit);
    EXPECT_EQ(k.lowerLimit, s.lowerLimit);
    EXPECT_EQ(k.upperLimit, s.upperLimit);
    EXPECT_EQ(k.alarmSetPoint, s.alarmSetPoint);
    EXPECT_EQ(k.alarmHysteresis, s.alarmHysteresis);
    EXPECT_EQ(k.alarmFunction, s.alarmFunction);
    EXPECT_EQ(k.outputType, s.outputType);
    EXPECT_EQ(k.alarmInitialBlock, s.alarmInitialBlock);
    EXPECT_EQ(k.indicationOffset, s.indicationOffset);
}

TEST(SerialNumber, PartsAreWrittenSideBySideWithoutPadding) {
    EXPECT_EQ(SerialNumberFromWords(12, 345), 12345u);
    EXPECT_EQ(SerialNumberFromWords(1, 2345), 12345u);
    EXPECT_EQ(SerialNumberFromWords(0, 345), 345u);
    EXPECT_EQ(DecodeConfiguration(Block().Set(23, 12).Set(24, 345).words).serialNumber, 12345u);
}

TEST(SerialNumber, SignsInTheTextAreReadAsTheConversionReadsThem) {
    EXPECT_EQ(SerialNumberFromWords(12, -5), 12u);  // "12-5" stops at the second sign
    EXPECT_EQ(static_cast<int32_t>(SerialNumberFromWords(-1, 5)), -15);
    EXPECT_EQ(SerialNumberFromWords(32767, 32767), 3276732767u);  // beyond 2^31, kept modulo 2^32
}

TEST(TakeChange, ReportsADifferenceOnceAndFollowsTheLastValue) {
    int16_t known = 10;
    EXPECT_FALSE(TakeChange<int16_t>(10, known));
    EXPECT_TRUE(TakeChange<int16_t>(11, known));
    EXPECT_EQ(known, 11);
    EXPECT_FALSE(TakeChange<int16_t>(11, known));
    EXPECT_TRUE(TakeChange<int16_t>(10, known));  // changing back counts as a change too
}

}  // namespace
