// What "&Modificar" writes: only what changed, the address first, each at the settings still in force.
#include <gtest/gtest.h>
#include <vector>
#include "communication_network_change.h"
#include "recording_line.h"

namespace {

struct NetworkChangeCase : ::testing::Test {
    CommSettings settings = {"COM1", 9600, 5};
    RecordingLine line{settings};
};

TEST_F(NetworkChangeCase, OnlyTheAddressWritesRegister44AtTheOldAddress) {
    const NetworkChange change = ApplyNetworkChange(settings, line, 17, 9600);
    EXPECT_TRUE(change.addressWritten);
    EXPECT_FALSE(change.baudWritten);
    EXPECT_EQ(line.calls, std::vector<std::string>{"write 44=17 @5/9600"});
    EXPECT_EQ(settings.deviceAddress, 17);
}

TEST_F(NetworkChangeCase, OnlyTheRateWritesItsCodeAtTheOldRateThenTheHostFollows) {
    const NetworkChange change = ApplyNetworkChange(settings, line, 5, 2400);
    EXPECT_FALSE(change.addressWritten);
    EXPECT_TRUE(change.baudWritten);
    const std::vector<std::string> expected = {"write 45=1 @5/9600", "open @5/2400"};
    EXPECT_EQ(line.calls, expected);
    EXPECT_EQ(settings.baudRate, 2400);
}

TEST_F(NetworkChangeCase, BothGoAddressFirstAndTheRateWriteReachesTheNewAddress) {
    ApplyNetworkChange(settings, line, 200, 19200);
    const std::vector<std::string> expected = {"write 44=200 @5/9600", "write 45=4 @200/9600", "open @200/19200"};
    EXPECT_EQ(line.calls, expected);
}

TEST_F(NetworkChangeCase, NothingChangedWritesAndReopensNothing) {
    const NetworkChange change = ApplyNetworkChange(settings, line, 5, 9600);
    EXPECT_FALSE(change.addressWritten || change.baudWritten);
    EXPECT_TRUE(line.calls.empty());
}

TEST_F(NetworkChangeCase, ARateOutsideTheFiveIsNeverWritten) {
    ApplyNetworkChange(settings, line, 5, 0);  // an empty baud list reads as 0
    ApplyNetworkChange(settings, line, 5, 38400);
    EXPECT_TRUE(line.calls.empty());
    EXPECT_EQ(settings.baudRate, 9600);
}

}  // namespace
