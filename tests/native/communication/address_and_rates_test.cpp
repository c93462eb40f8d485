// The network address field's validation, the stale-fields check on leaving, and the rate codes.
#include <gtest/gtest.h>
#include "communication_address.h"
#include "communication_rates.h"

namespace {

TEST(NetworkAddress, AcceptsWholeNumbersFromOneTo247) {
    const struct {
        const char* text;
        int address;
    } good[] = {{"1", 1}, {"247", 247}, {" 12 ", 12}, {"007", 7}};
    for (const auto& c : good) {
        uint8_t address = 0;
        EXPECT_TRUE(ParseNetworkAddress(c.text, &address)) << c.text;
        EXPECT_EQ(address, c.address) << c.text;
    }
}

TEST(NetworkAddress, RefusesEverythingElseAndLeavesTheAddressAlone) {
    const char* bad[] = {"",   "   ", "0",   "248", "255", "256", "300", "99999999999999999999",
                         "-5", "+5",  "12a", "a12", "1 2", "1.5"};
    for (const char* text : bad) {
        uint8_t address = 99;
        EXPECT_FALSE(ParseNetworkAddress(text, &address)) << '"' << text << '"';
        EXPECT_EQ(address, 99) << text;
    }
    uint8_t address = 99;
    EXPECT_FALSE(ParseNetworkAddress(nullptr, &address));
}

TEST(NetworkFieldsOnLeaving, DifferWhenAddressOrRateWasEditedOrTheAddressIsUnusable) {
    EXPECT_FALSE(NetworkFieldsDiffer("5", 9600, 5, 9600));
    EXPECT_TRUE(NetworkFieldsDiffer("6", 9600, 5, 9600));
    EXPECT_TRUE(NetworkFieldsDiffer("5", 4800, 5, 9600));
    EXPECT_TRUE(NetworkFieldsDiffer("261", 9600, 5, 9600)) << "261 must not pass as its low byte 5";
    EXPECT_TRUE(NetworkFieldsDiffer("", 9600, 5, 9600));
}

TEST(NetworkRates, FastestFirstWithTheTransmittersCodes) {
    const int32_t expected[] = {19200, 9600, 4800, 2400, 1200};
    for (int i = 0; i < kNetworkRateCount; ++i) {
        EXPECT_EQ(kNetworkRates[i], expected[i]);
        EXPECT_EQ(BaudCode(kNetworkRates[i]), 4 - i);
    }
    EXPECT_EQ(BaudCode(38400), -1);
    EXPECT_EQ(BaudCode(0), -1);
    EXPECT_FALSE(IsNetworkRate(600));
}

}  // namespace
