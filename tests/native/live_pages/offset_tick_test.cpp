// The offset edit: what counts as a number, when a tick writes, and when the edit follows the transmitter.
#include <gtest/gtest.h>
#include "live_offset_tick.h"

TEST(ParseOffsetText, LeadingNumberWithinSixteenBitsOnly) {
    int16_t value = 99;
    EXPECT_TRUE(ParseOffsetText("-12", &value));
    EXPECT_EQ(value, -12);
    EXPECT_TRUE(ParseOffsetText("  15x", &value));
    EXPECT_EQ(value, 15);
    EXPECT_TRUE(ParseOffsetText("-32768", &value));
    EXPECT_EQ(value, -32768);
    EXPECT_TRUE(ParseOffsetText("32767", &value));
    EXPECT_EQ(value, 32767);
    EXPECT_TRUE(ParseOffsetText("000000000000000007", &value));
    EXPECT_EQ(value, 7);

    value = 99;
    for (const char* text : {"", "-", "abc", " - 3", "32768", "-32769", "70000", "99999999999999999999"}) {
        EXPECT_FALSE(ParseOffsetText(text, &value)) << "'" << text << "'";
    }
    EXPECT_EQ(value, 99) << "a failed parse must leave the value alone";
}

TEST(DecideOffsetTick, WritesOnlyANumberThatDiffersFromTheTransmitterAndNeverWhileBusy) {
    OffsetTickDecision d = DecideOffsetTick(false, "-12", "0", 0);
    EXPECT_EQ(d.action, OffsetTickAction::Write);
    EXPECT_EQ(static_cast<uint16_t>(d.value), 0xFFF4);

    d = DecideOffsetTick(false, "0012", "5", 12);
    EXPECT_EQ(d.action, OffsetTickAction::Settle);
    EXPECT_EQ(d.value, 12);

    EXPECT_EQ(DecideOffsetTick(true, "-12", "0", 0).action, OffsetTickAction::Skip);
    EXPECT_EQ(DecideOffsetTick(false, "", "0", 0).action, OffsetTickAction::Skip);
    EXPECT_EQ(DecideOffsetTick(false, "70000", "0", 0).action, OffsetTickAction::Skip);  // would wrap to 4464
}

// The apply writes a file's offset behind the page's back: the text the page set is no longer the
// transmitter's, and a tick that wrote it would undo the file's offset with a value nobody typed.
// Only the user's own text (typed, stepped) writes, and only it replaces a file's offset that waits.
TEST(DecideOffsetTick, TheTextThePageSetFollowsTheTransmitterAndOnlyTheUsersTextWritesOrReplacesTheFilesOffset) {
    const struct {
        const char* text;
        const char* settled;
        OffsetTickAction action;
        bool typed;
    } rows[] = {
        {"0", "0", OffsetTickAction::Follow, false},  // the transmitter now holds 12: the edit shows it
        {"12", "0", OffsetTickAction::Settle, true},  // the user typed the value it holds: no write, file replaced
        {"7", "0", OffsetTickAction::Write, true},    // the user's own value wins over the file's
        {"-", "0", OffsetTickAction::Skip, true},     // half typed: the file's offset still waits
    };
    for (const auto& row : rows) {
        const OffsetTickDecision d = DecideOffsetTick(false, row.text, row.settled, 12);
        EXPECT_EQ(d.action, row.action) << row.text;
        EXPECT_EQ(d.typed, row.typed) << row.text;
    }
}

TEST(OffsetEditFollowsTransmitter, OnlyWhileTheEditHoldsTheTextThePageSettled) {
    EXPECT_TRUE(OffsetEditFollowsTransmitter("5", "5"));
    EXPECT_FALSE(OffsetEditFollowsTransmitter("15", "5"));   // typed, not yet written
    EXPECT_FALSE(OffsetEditFollowsTransmitter("abc", "5"));  // typed, never a number
}
