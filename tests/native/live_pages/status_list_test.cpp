// The status list: entries in bit order, the newest set bit selected, a neutral line for bits 8..15.
#include <gtest/gtest.h>
#include "live_status_list.h"

namespace {
const std::string kLow = "Conversão de PV muito baixa";
const std::string kHigh = "Conversão de PV muito alta";
}  // namespace

TEST(StatusList, FollowsTheWordsZeroFiveFourAsTheTransmitterReportsThem) {
    StatusListView view = BuildStatusList(0, 0);
    EXPECT_TRUE(view.entries.empty());
    EXPECT_EQ(view.selected, -1);

    view = BuildStatusList(5, 0);  // bits 0 and 2 come on together: the higher ends selected
    ASSERT_EQ(view.entries.size(), 2u);
    EXPECT_EQ(view.entries[0], kLow);
    EXPECT_EQ(view.entries[1], kHigh);
    EXPECT_EQ(view.selected, 1);

    view = BuildStatusList(4, 5);  // nothing new: the first entry
    ASSERT_EQ(view.entries.size(), 1u);
    EXPECT_EQ(view.entries[0], kHigh);
    EXPECT_EQ(view.selected, 0);
}

TEST(StatusList, SelectsTheNewestBitEvenBelowOlderOnes) {
    const StatusListView view = BuildStatusList(0x0C, 0x08);  // bit 2 new, bit 3 already shown
    ASSERT_EQ(view.entries.size(), 2u);
    EXPECT_EQ(view.selected, 0);
    EXPECT_EQ(view.entries[1], "Excedido limite da linearização");
}

TEST(StatusList, BitsWithoutATextGetTheirNumberAndAllSixteenFit) {
    const StatusListView view = BuildStatusList(0xFFFF, 0x7FFF);
    ASSERT_EQ(view.entries.size(), 16u);
    EXPECT_EQ(view.entries[7], "Conversão de Junta Fria fora de limites");
    EXPECT_EQ(view.entries[8], "Bit de status 8");
    EXPECT_EQ(view.entries[15], "Bit de status 15");
    EXPECT_EQ(view.selected, 15);
    for (const std::string& entry : view.entries) EXPECT_LT(entry.size(), 45u);
}

TEST(StatusList, EachOfTheEightConditionsHasItsOwnText) {
    const char* const expected[] = {
        "Conversão de PV muito baixa",
        "Conversão menor que Zero após calibração",
        "Conversão de PV muito alta",
        "Excedido limite da linearização",
        "Resistência do cabo Pt100 muito alta",
        "Conversão de AutoZero fora de limites",
        "Conversão de AutoSpan fora de limites",
        "Conversão de Junta Fria fora de limites",
    };
    for (int bit = 0; bit < 8; ++bit) {
        const StatusListView view = BuildStatusList(static_cast<uint16_t>(1u << bit), 0);
        ASSERT_EQ(view.entries.size(), 1u);
        EXPECT_EQ(view.entries[0], expected[bit]) << "bit " << bit;
    }
}
