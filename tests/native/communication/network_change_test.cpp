// The address and rate change: only what changed, the address first, each write at the settings still
// in force, nothing written onto a taken address or to a silent transmitter, and the host following
// only a setting the transmitter answered at.
#include <gtest/gtest.h>
#include <vector>
#include "communication_network_change.h"
#include "recording_line.h"

namespace {

using Calls = std::vector<std::string>;

struct NetworkChangeCase : ::testing::Test {
    CommSettings settings = {"COM1", 9600, 5};
    RecordingLine line{settings};
    void SetUp() override { line.stations.push_back(Station{5, 9600}); }
    Station& Transmitter() { return line.stations[0]; }
    int Writes() const {
        int writes = 0;
        for (const std::string& call : line.calls) writes += call.rfind("write", 0) == 0;
        return writes;
    }
};

TEST_F(NetworkChangeCase, OnlyTheAddressAsksTheNewAddressFirstThenWritesAtTheOldAndConfirmsAtTheNew) {
    const NetworkChange change = ApplyNetworkChange(settings, line, 17, 9600);
    EXPECT_EQ(change.result, NetworkChangeResult::kConfirmed);
    EXPECT_TRUE(change.addressWritten);
    EXPECT_FALSE(change.baudWritten);
    const Calls expected = {"read 44 @5/9600", "read 8 @17/9600", "write 44=17 @5/9600", "read 44 @17/9600"};
    EXPECT_EQ(line.calls, expected);
    EXPECT_EQ(line.confirmations, Calls{"44=17 confirmed read 17"});
    EXPECT_EQ(settings.deviceAddress, 17);
}

TEST_F(NetworkChangeCase, OnlyTheRateWritesItsCodeAtTheOldRateThenTheHostFollowsAndConfirms) {
    const NetworkChange change = ApplyNetworkChange(settings, line, 5, 2400);
    EXPECT_EQ(change.result, NetworkChangeResult::kConfirmed);
    EXPECT_FALSE(change.addressWritten);
    EXPECT_TRUE(change.baudWritten);
    const Calls expected = {"read 44 @5/9600", "write 45=1 @5/9600", "open @5/2400", "read 44 @5/2400"};
    EXPECT_EQ(line.calls, expected);
    EXPECT_EQ(line.confirmations, Calls{"45=1 confirmed"});
    EXPECT_EQ(settings.baudRate, 2400);
}

TEST_F(NetworkChangeCase, BothGoAddressFirstAndTheRateWriteReachesTheNewAddress) {
    EXPECT_EQ(ApplyNetworkChange(settings, line, 200, 19200).result, NetworkChangeResult::kConfirmed);
    const Calls expected = {"read 44 @5/9600",      "read 8 @200/9600", "write 44=200 @5/9600",
                            "write 45=4 @200/9600", "open @200/19200",  "read 44 @200/19200"};
    EXPECT_EQ(line.calls, expected);
    EXPECT_EQ(line.confirmations, (Calls{"44=200 confirmed read 200", "45=4 confirmed"}));
}

TEST_F(NetworkChangeCase, NothingChangedOrARateOutsideTheFiveSendsNothing) {
    EXPECT_EQ(ApplyNetworkChange(settings, line, 5, 9600).result, NetworkChangeResult::kNothingToChange);
    EXPECT_EQ(ApplyNetworkChange(settings, line, 5, 0).result, NetworkChangeResult::kNothingToChange);  // empty list
    EXPECT_EQ(ApplyNetworkChange(settings, line, 5, 38400).result, NetworkChangeResult::kNothingToChange);
    EXPECT_TRUE(line.calls.empty());
    EXPECT_EQ(settings.baudRate, 9600);
    EXPECT_TRUE(line.confirmations.empty());
}

TEST_F(NetworkChangeCase, AnythingAnsweringAtTheNewAddressRefusesTheMoveBeforeAnyWrite) {
    struct {
        Station other;
        bool taken;
    } cases[] = {
        {Station{17, 9600}, true},
        {Station{17, 9600, true, true, true, false, kLinkBadCrc}, true},  // garbled, but something is there
        {Station{17, 19200}, false},                                      // deaf at this rate
    };
    for (const auto& c : cases) {
        settings = {"COM1", 9600, 5};
        line.calls.clear();
        line.stations = {Station{5, 9600}, c.other};
        const NetworkChange change = ApplyNetworkChange(settings, line, 17, 2400);
        EXPECT_EQ(change.result == NetworkChangeResult::kAddressInUse, c.taken) << c.other.baud;
        EXPECT_EQ(Writes(), c.taken ? 0 : 2) << c.other.baud;
        if (c.taken) {
            EXPECT_EQ(settings.deviceAddress, 5);
            EXPECT_EQ(settings.baudRate, 9600);
            EXPECT_EQ(line.stations[0].address, 5);
        }
    }
}

TEST_F(NetworkChangeCase, ASilentTransmitterGetsNoWriteAndTheHostStays) {
    line.stations.clear();
    const NetworkChange change = ApplyNetworkChange(settings, line, 17, 2400);
    EXPECT_EQ(change.result, NetworkChangeResult::kNoReply);
    EXPECT_EQ(change.error, kLinkTimeout);
    EXPECT_EQ(line.calls, Calls{"read 44 @5/9600"});
    EXPECT_EQ(settings.deviceAddress, 5);
    EXPECT_EQ(settings.baudRate, 9600);
}

TEST_F(NetworkChangeCase, AStopBeforeTheFirstWriteWritesNothing) {
    for (int stopAt : {0, 1, 2}) {
        settings = {"COM1", 9600, 5};
        line.calls.clear();
        line.stopBeforeCall = stopAt;
        EXPECT_EQ(ApplyNetworkChange(settings, line, 17, 9600).result, NetworkChangeResult::kStopped) << stopAt;
        EXPECT_EQ(Writes(), 0) << stopAt;
        EXPECT_TRUE(line.confirmations.empty()) << stopAt;
        EXPECT_EQ(settings.deviceAddress, 5);
    }
}

TEST_F(NetworkChangeCase, ALostEchoOfAWriteThatTookHoldIsStillConfirmedAtTheNewSetting) {
    Transmitter().echoes = false;
    EXPECT_EQ(ApplyNetworkChange(settings, line, 17, 9600).result, NetworkChangeResult::kConfirmed);
    EXPECT_EQ(settings.deviceAddress, 17);
    EXPECT_EQ(line.confirmations, Calls{"44=17 confirmed read 17"}) << "the echo was lost, not the write";
}

TEST_F(NetworkChangeCase, AWriteNotTakenLeavesTheHostAtTheOldSettingWhereItStillAnswers) {
    Transmitter().takesWrites = false;
    const NetworkChange change = ApplyNetworkChange(settings, line, 17, 2400);
    EXPECT_EQ(change.result, NetworkChangeResult::kNotTaken);
    EXPECT_EQ(change.error, kLinkTimeout) << "the confirming read's failure";
    EXPECT_EQ(settings.deviceAddress, 5);
    EXPECT_EQ(settings.baudRate, 9600);
    const Calls tail = {"open @17/2400", "read 44 @17/2400", "open @17/9600", "read 44 @17/9600", "read 44 @5/9600"};
    ASSERT_GE(line.calls.size(), tail.size());
    EXPECT_EQ(Calls(line.calls.end() - tail.size(), line.calls.end()), tail);
    EXPECT_EQ(line.confirmations, (Calls{"44=17 not confirmed read 5", "45=1 not confirmed"}));
}

TEST_F(NetworkChangeCase, AnAddressTakenWithoutItsRateLeavesTheHostAtTheNewAddressAndOldRate) {
    Transmitter().takesRate = false;
    EXPECT_EQ(ApplyNetworkChange(settings, line, 17, 2400).result, NetworkChangeResult::kOnlyAddressTaken);
    EXPECT_EQ(settings.deviceAddress, 17);
    EXPECT_EQ(settings.baudRate, 9600);

    EXPECT_EQ(line.confirmations, (Calls{"44=17 confirmed read 17", "45=1 not confirmed"}));
    // Without the address's echo the rate is not written at all: nobody knows which address would hear it.
    settings = {"COM1", 9600, 5};
    line.calls.clear();
    line.stations = {Station{5, 9600, false}};
    EXPECT_EQ(ApplyNetworkChange(settings, line, 17, 2400).result, NetworkChangeResult::kOnlyAddressTaken);
    EXPECT_EQ(Writes(), 1);
    EXPECT_EQ(settings.deviceAddress, 17);
    EXPECT_EQ(settings.baudRate, 9600);
}

TEST_F(NetworkChangeCase, ATransmitterFoundNowhereLeavesTheHostAtTheOldSettingWithThePortReopened) {
    Transmitter().goesSilent = true;
    const NetworkChange change = ApplyNetworkChange(settings, line, 17, 2400);
    EXPECT_EQ(change.result, NetworkChangeResult::kNotFound);
    EXPECT_EQ(line.confirmations, (Calls{"44=17 not confirmed", "45=1 not confirmed"}));
    EXPECT_EQ(settings.deviceAddress, 5);
    EXPECT_EQ(settings.baudRate, 9600);
    EXPECT_EQ(line.calls.back(), "read 44 @5/9600");
    std::string lastOpen;
    for (const std::string& call : line.calls)
        if (call.rfind("open", 0) == 0) lastOpen = call;
    EXPECT_EQ(lastOpen.substr(lastOpen.size() - 5), "/9600") << "the port is back at the old rate";
}

TEST(NetworkChangeText, NamesTheAddressesAndRatesInvolved) {
    NetworkChange change = {NetworkChangeResult::kAddressInUse, 5, 9600, 17, 2400, false, false, kLinkOk};
    EXPECT_NE(NetworkChangeText(change).find("O endereço 17 já está em uso nesta linha"), std::string::npos);
    change.result = NetworkChangeResult::kNotFound;
    change.error = kLinkTimeout;
    const std::string lost = NetworkChangeText(change);
    EXPECT_NE(lost.find("endereço 17 e baud rate 2400 (novos)"), std::string::npos) << lost;
    EXPECT_NE(lost.find("endereço 5 e baud rate 9600 (anteriores)"), std::string::npos) << lost;
    EXPECT_NE(lost.find("Time-out"), std::string::npos) << lost;
    change.result = NetworkChangeResult::kOnlyAddressTaken;
    EXPECT_NE(NetworkChangeText(change).find("endereço 17 e baud rate 9600"), std::string::npos);
    change.result = NetworkChangeResult::kNothingToChange;
    EXPECT_TRUE(NetworkChangeText(change).empty());
}

// What the sheet read of the transmitter and a file opened for it outlive only a change that wrote
// nothing and left the host where it was; an unconfirmed write may have moved the transmitter.
TEST(NetworkChangeAftermath, OnlyAChangeThatWroteNothingAndLeftTheHostKeepsWhatWasRead) {
    using R = NetworkChangeResult;
    using A = NetworkChangeAftermath;
    const struct {
        R result;
        A aftermath;
    } rows[] = {
        {R::kNothingToChange, A::kKeep}, {R::kAddressInUse, A::kKeep},   {R::kStopped, A::kKeep},
        {R::kNoReply, A::kReadFailed},   {R::kConfirmed, A::kLineMoved}, {R::kOnlyAddressTaken, A::kLineMoved},
        {R::kNotTaken, A::kLineMoved},   {R::kNotFound, A::kLineMoved},
    };
    for (const auto& row : rows) EXPECT_EQ(AftermathOf(row.result), row.aftermath) << static_cast<int>(row.result);
}

}  // namespace
