// The journal of the configurator's writes names the transmitter the sheet visit read, and none once
// the visit has ended: what a closed sheet read is no record of the transmitter written later.
#include <cstdio>
#include <string>
#include <vector>

#include "journal.h"
#include "live_page_fixture.h"
#include "records_platform.h"
#include "write_journal.h"

namespace {

using SheetVisitJournal = LivePageTest;

TEST_F(SheetVisitJournal, AWriteAfterTheSheetClosedNamesNoTransmitterAndNoValueBefore) {
    std::remove(JournalPath().c_str());
    StartWriteJournal(
        "teste", [] { return std::string("COM1"); }, nullptr);
    sim.Set(1, 23, 12);
    sim.Set(1, 24, 345);
    sim.Set(1, 27, 600);
    {
        SheetVisit closing(ProgramSheetHost(), NULL, nullptr);
        uint16_t block[kConfigBlockWords] = {};
        ASSERT_EQ(kLinkOk, ReadConfigBlock(block));
        closing.DecodeConfigBlock(block);
        EXPECT_EQ(kLinkOk, WriteRegister(27, 700));
    }
    EXPECT_EQ(kLinkOk, WriteRegister(27, 710));
    SetWriteObserver(nullptr);

    std::vector<JournalEntry> entries;
    int damaged = 0;
    std::string problem;
    ASSERT_TRUE(ReadJournalEntries(JournalFilter(), &entries, &damaged, &problem)) << problem;
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].serial, "00012345");
    EXPECT_TRUE(entries[0].hasBefore);
    EXPECT_EQ(entries[0].before, 600);
    EXPECT_EQ(entries[1].serial, "");
    EXPECT_FALSE(entries[1].hasBefore);
    std::remove(JournalPath().c_str());
}

}  // namespace
