// Retry counts, search flags and the read-back of the device transactions.
#include <gtest/gtest.h>

#include <functional>

#include "comm_settings.h"
#include "line.h"
#include "native_platform.h"
#include "probe.h"
#include "rtu_frame.h"
#include "serial_port.h"
#include "transactions.h"

namespace {

Bytes DataReply(uint8_t address, const std::vector<uint16_t>& words) {
    Bytes frame = {address, 0x03, static_cast<uint8_t>(2 * words.size())};
    for (uint16_t w : words) {
        frame.push_back(static_cast<uint8_t>(w >> 8));
        frame.push_back(static_cast<uint8_t>(w));
    }
    return WithCrc(frame);
}

class TransactionTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetNativePlatform();
        ASSERT_EQ(1, OpenPort());
    }
    ScriptedSerialDevice& device() { return TestDevice(); }
    size_t Requests() const { return TestDevice().written.size(); }
};

TEST_F(TransactionTest, SuccessOnFirstTryIsOneRequest) {
    uint16_t word = 0;
    device().replies.push_back(DataReply(1, {77}));
    EXPECT_EQ(kLinkOk, ReadHolding(30, &word));
    EXPECT_EQ(77, word);
    EXPECT_EQ(1u, Requests());
}

TEST_F(TransactionTest, SilenceIsThreeRequestsAndTimeout) {
    uint16_t block[kConfigBlockWords];
    for (auto& w : block) w = 0xABCD;
    EXPECT_EQ(kLinkTimeout, ReadConfigBlock(block));
    EXPECT_EQ(3u, Requests());
    for (auto w : block) ASSERT_EQ(0xABCD, w);
}

TEST_F(TransactionTest, CrcErrorThenGoodReplyIsTwoRequests) {
    uint16_t word = 0;
    Bytes bad = DataReply(1, {5});
    bad.back() ^= 1;
    device().replies.push_back(bad);
    device().replies.push_back(DataReply(1, {5}));
    EXPECT_EQ(kLinkOk, ReadHolding(8, &word));
    EXPECT_EQ(2u, Requests());
}

TEST_F(TransactionTest, FailedReadLeavesDestinationUnchanged) {
    uint16_t live[kLiveBlockWords] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    Bytes bad = DataReply(1, std::vector<uint16_t>(10, 0xFFFF));
    bad.back() ^= 1;
    device().replies = {DataReply(2, std::vector<uint16_t>(10, 0)), bad, DataReply(1, {1})};
    EXPECT_NE(kLinkOk, ReadLiveBlock(live));
    for (uint16_t i = 0; i < 10; ++i) EXPECT_EQ(i + 1, live[i]);
}

TEST_F(TransactionTest, ShortByteCountToTheBlockReadStoresNothing) {
    uint16_t block[kConfigBlockWords];
    for (auto& w : block) w = 0xABCD;
    Bytes shortCount = DataReply(1, std::vector<uint16_t>(68, 7));
    shortCount[2] = 2;  // a byte count of one word in a full-length reply
    const uint16_t crc = Crc16(shortCount.data(), shortCount.size() - 2);
    shortCount[shortCount.size() - 2] = static_cast<uint8_t>(crc);
    shortCount[shortCount.size() - 1] = static_cast<uint8_t>(crc >> 8);
    device().answer = [&](const Bytes&) { return shortCount; };
    EXPECT_EQ(kLinkBadByteCount, ReadConfigBlock(block));
    for (int i = 0; i < kConfigBlockWords; ++i) ASSERT_EQ(0xABCD, block[i]) << i;
}

TEST_F(TransactionTest, ReadsSendTheirFixedRequests) {
    uint16_t words[kConfigBlockWords] = {};
    device().answer = [](const Bytes&) { return Bytes(); };
    ReadConfigBlock(words);
    ReadLiveBlock(words);
    ReadStatusBits(words);
    ReadPrivate(23, words);
    ProbeRead(8, words, 1);  // the scan's short wait: one normal read of the identity, never retried
    EXPECT_EQ(WithCrc({1, 3, 0, 0, 0, 68}), device().written[0]);
    EXPECT_EQ(WithCrc({1, 3, 0, 0, 0, 10}), device().written[3]);
    EXPECT_EQ(WithCrc({1, 0x70, 0, 4, 0, 0}), device().written[6]);
    EXPECT_EQ(WithCrc({1, 0x70, 0, 23, 0, 0}), device().written[9]);
    EXPECT_EQ((std::vector<Bytes>{WithCrc({1, 3, 0, 8, 0, 1})}),
              std::vector<Bytes>(device().written.begin() + 12, device().written.end()));
}

TEST_F(TransactionTest, WrongAddressFailsExceptDuringSearchReads) {
    uint16_t word = 0;
    device().answer = [](const Bytes& request) { return DataReply(9, {request[3] == 8 ? uint16_t(1) : uint16_t(9)}); };
    EXPECT_EQ(kLinkWrongAddress, ReadHolding(8, &word));
    EXPECT_EQ(3u, Requests());
    commSettings.deviceAddress = 0;
    EXPECT_EQ(kLinkOk, SearchReadIdentity(&word));
    EXPECT_EQ(1, word);
    EXPECT_FALSE(ConfiguratorLine().acceptAnyAddress);
    EXPECT_EQ(kLinkOk, SearchReadAddress(&word));
    EXPECT_EQ(9, word);
    EXPECT_FALSE(ConfiguratorLine().acceptAnyAddress);
    EXPECT_EQ(WithCrc({0, 3, 0, 44, 0, 1}), device().written.back());
    EXPECT_EQ(kLinkWrongAddress, ReadHolding(8, &word));
    // A failed search read clears the flag too.
    device().answer = [](const Bytes&) { return Bytes(); };
    EXPECT_EQ(kLinkTimeout, SearchReadAddress(&word));
    EXPECT_FALSE(ConfiguratorLine().acceptAnyAddress);
}

TEST_F(TransactionTest, WriteRegisterConfirmedByReadBack) {
    device().replies = {{0x01, 0x06, 0x00, 0x1D, 0xFF, 0xFB, 0x19, 0xBF}, DataReply(1, {0xFFFB})};
    EXPECT_EQ(kLinkOk, WriteRegister(29, -5));
    EXPECT_EQ(1u, device().WritesWithFunction(6));
    EXPECT_EQ(1u, device().WritesWithFunction(3));
    EXPECT_EQ(WithCrc({1, 3, 0, 29, 0, 1}), device().written[1]);
}

TEST_F(TransactionTest, WriteRegisterRetriesAfterFailedEcho) {
    device().replies = {{}, WithCrc({1, 6, 0, 43, 0, 5}), DataReply(1, {5})};
    EXPECT_EQ(kLinkOk, WriteRegister(43, 5));
    EXPECT_EQ(2u, device().WritesWithFunction(6));
    EXPECT_EQ(1u, device().WritesWithFunction(3));
}

TEST_F(TransactionTest, WriteRegisterWithSilentReadBackIsThreeWritesNineReads) {
    device().answer = [](const Bytes& request) { return request[1] == 6 ? request : Bytes(); };
    EXPECT_EQ(kLinkTimeout, WriteRegister(27, 500));
    EXPECT_EQ(3u, device().WritesWithFunction(6));
    EXPECT_EQ(9u, device().WritesWithFunction(3));
}

TEST_F(TransactionTest, WriteRegisterWhoseReadBackDiffersFails) {
    device().answer = [](const Bytes& request) { return request[1] == 6 ? request : DataReply(1, {501}); };
    EXPECT_EQ(kLinkValueMismatch, WriteRegister(27, 500));
    EXPECT_EQ(3u, device().WritesWithFunction(6));
    EXPECT_EQ(3u, device().WritesWithFunction(3));
}

// A transmitter takes up a new address or rate after its reply: the next request (the read-back
// included) waits at least the interval time-out, even where replies end as soon as they are complete.
TEST_F(TransactionTest, AddressAndRateWritesLeaveTheTransmitterTimeToChange) {
    device().answer = [](const Bytes& request) { return request[1] == 6 ? request : DataReply(1, {1}); };
    uint16_t word = 0;
    ASSERT_EQ(kLinkOk, ReadHolding(8, &word));  // the line shows it has no echo
    for (int8_t reg : {44, 45}) {
        EXPECT_EQ(kLinkOk, WriteRegister(reg, 1));
        const size_t n = device().writeUs.size();
        EXPECT_GE(device().writeUs[n - 1] - device().writeUs[n - 2], 1000u * ReadTimeoutsFor(9600).intervalMs)
            << int(reg);
        // Confirmed by its echo alone: one write, and the next request still waits.
        EXPECT_EQ(kLinkOk, WriteRegisterByEcho(reg, 2));
        EXPECT_EQ(kLinkOk, ReadHolding(8, &word));
        const size_t m = device().writeUs.size();
        EXPECT_EQ(6u, device().written[m - 2][1]) << int(reg);
        EXPECT_GE(device().writeUs[m - 1] - device().writeUs[m - 2], 1000u * ReadTimeoutsFor(9600).intervalMs)
            << int(reg) << " by echo";
    }
}

std::vector<WriteOutcome> observed;
void Observe(uint8_t, int8_t, int16_t, const WriteOutcome& outcome) { observed.push_back(outcome); }

// Every write tells its observer one outcome: confirmed only by a read-back equal to the value; an
// echo without it "may have been written", as is silence; only an exception with no echo is a refusal.
TEST_F(TransactionTest, EveryWriteEndsInOneOutcomeWithWhatWasReadBack) {
    using Kind = WriteOutcomeKind;
    const Bytes exception = WithCrc({1, 0x86, 0x02, 0, 0, 0});  // as long as the echo it stands for
    const struct {
        const char* name;
        std::function<Bytes(const Bytes&)> answer;
        std::function<void()> write;
        Kind kind;
        bool hasReadBack;
        int16_t readBack;
        uint8_t exceptionCode;
    } rows[] = {
        {"read back equal", [](const Bytes& r) { return r[1] == 6 ? r : DataReply(1, {500}); },
         [] { WriteRegister(27, 500); }, Kind::kConfirmed, true, 500, 0},
        {"read back differs", [](const Bytes& r) { return r[1] == 6 ? r : DataReply(1, {501}); },
         [] { WriteRegister(27, 500); }, Kind::kNotConfirmed, true, 501, 0},
        {"read back silent", [](const Bytes& r) { return r[1] == 6 ? r : Bytes(); }, [] { WriteRegister(27, 500); },
         Kind::kNotConfirmed, false, 0, 0},
        {"silence", [](const Bytes&) { return Bytes(); }, [] { WriteRegister(27, 500); }, Kind::kNoReply, false, 0, 0},
        {"exception", [exception](const Bytes&) { return exception; }, [] { WriteRegister(27, 500); }, Kind::kRefused,
         false, 0, 2},
        {"private, echo only", [](const Bytes& r) { return r; }, [] { WritePrivate(23, -300); }, Kind::kNotConfirmed,
         false, 0, 0},
        {"private, read back",
         [](const Bytes& r) {
             return r[1] == 0x71 ? r : WithCrc({1, 0x70, 0xFE, 0xD4});
         },
         [] { WritePrivateAndReadBack(23, -300); }, Kind::kConfirmed, true, -300, 0},
    };
    SetWriteObserver(&Observe);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        observed.clear();
        device().answer = row.answer;
        row.write();
        ASSERT_EQ(1u, observed.size());
        EXPECT_EQ(row.kind, observed[0].kind);
        EXPECT_EQ(row.hasReadBack, observed[0].hasReadBack);
        if (row.hasReadBack) {
            EXPECT_EQ(row.readBack, observed[0].readBack);
        }
        EXPECT_EQ(row.exceptionCode, observed[0].exceptionCode);
        EXPECT_EQ(1, observed[0].address);
    }

    // The address and rate writes wait for the caller's look at the new setting, and keep where they went.
    observed.clear();
    device().answer = [](const Bytes& r) { return r; };
    ASSERT_EQ(kLinkOk, WriteRegisterByEcho(44, 9));
    EXPECT_TRUE(observed.empty());
    commSettings.deviceAddress = 9;
    ReportEchoedWrite(44, 9, false, true, 1);
    ASSERT_EQ(1u, observed.size());
    EXPECT_EQ(Kind::kNotConfirmed, observed[0].kind) << "echoed, yet found elsewhere";
    EXPECT_EQ(1, observed[0].address);
    device().answer = [](const Bytes&) { return Bytes(); };
    WriteRegisterByEcho(45, 2);
    ReportEchoedWrite(45, 2, true, false, 0);
    EXPECT_EQ(Kind::kConfirmed, observed.back().kind) << "found at the new rate: the echo was lost, not the write";
    SetWriteObserver(nullptr);
}

TEST_F(TransactionTest, WritePrivateIsConfirmedByEchoAlone) {
    device().answer = [](const Bytes& request) { return request; };
    EXPECT_EQ(kLinkOk, WritePrivate(23, -300));
    EXPECT_EQ(WithCrc({1, 0x71, 0, 23, 0xFE, 0xD4}), device().written.back());
    EXPECT_EQ(1u, Requests());
}

// A mouse message dispatched while a request is on its way asks for another transaction: whatever
// kind it is, it is refused without a byte on the line and without touching the running one.
TEST_F(TransactionTest, TransactionStartedInsideAnotherIsRefusedWithoutTouchingTheLine) {
    uint16_t scratch[kConfigBlockWords] = {};
    const struct {
        const char* name;
        std::function<LinkError()> start;
    } kinds[] = {
        {"ReadHolding", [&] { return ReadHolding(8, scratch); }},
        {"ReadPrivate", [&] { return ReadPrivate(21, scratch); }},
        {"ReadStatusBits", [&] { return ReadStatusBits(scratch); }},
        {"ReadConfigBlock", [&] { return ReadConfigBlock(scratch); }},
        {"ReadLiveBlock", [&] { return ReadLiveBlock(scratch); }},
        {"SearchReadIdentity", [&] { return SearchReadIdentity(scratch); }},
        {"SearchReadAddress", [&] { return SearchReadAddress(scratch); }},
        {"WritePrivate", [&] { return WritePrivate(23, 1); }},
        {"WriteRegister", [&] { return WriteRegister(29, 1); }},
        {"WriteRegisterByEcho", [&] { return WriteRegisterByEcho(44, 1); }},
    };
    SetWriteObserver(&Observe);
    for (const auto& outer : kinds) {
        for (const auto& inner : kinds) {
            observed.clear();
            ResetNativePlatform();
            ASSERT_EQ(1, OpenPort());
            device().answer = [](const Bytes& request) {
                if (request[1] == 6 || request[1] == 0x71) return request;
                if (request[1] == 0x70) return WithCrc({1, 0x70, 0, 1});
                return DataReply(1, std::vector<uint16_t>(request[5], 1));
            };
            LinkError nested = kLinkOk;
            std::vector<std::string> eventsDuring;
            Bytes requestBefore, requestAfter;
            OnNextDelay([&] {
                size_t length = 0;
                const uint8_t* sent = LastRequest(&length);
                requestBefore.assign(sent, sent + length);
                const size_t eventsBefore = TestDevice().events.size();
                nested = inner.start();
                eventsDuring.assign(TestDevice().events.begin() + static_cast<std::ptrdiff_t>(eventsBefore),
                                    TestDevice().events.end());
                sent = LastRequest(&length);
                requestAfter.assign(sent, sent + length);
            });
            EXPECT_EQ(kLinkOk, outer.start()) << outer.name << " around " << inner.name;
            EXPECT_EQ(kLinkTimeout, nested) << inner.name << " inside " << outer.name;
            EXPECT_TRUE(eventsDuring.empty()) << inner.name << " inside " << outer.name;
            EXPECT_EQ(requestBefore, requestAfter) << inner.name << " inside " << outer.name;
            EXPECT_FALSE(ConfiguratorLine().acceptAnyAddress);
            EXPECT_FALSE(TransactionBusy());
            // A refused write is recorded as never sent, not as a write that may have arrived.
            if (std::string(inner.name).rfind("Write", 0) == 0) {
                ASSERT_FALSE(observed.empty()) << inner.name << " inside " << outer.name;
                EXPECT_EQ(WriteOutcomeKind::kNotSent, observed[0].kind) << inner.name << " inside " << outer.name;
            }
        }
    }
    SetWriteObserver(nullptr);
}

TEST_F(TransactionTest, NegativeAddressesWidenWithSign) {
    device().answer = [](const Bytes&) { return Bytes(); };
    uint16_t word = 0;
    ReadHolding(-1, &word);
    EXPECT_EQ(WithCrc({1, 3, 0xFF, 0xFF, 0, 1}), device().written.back());
}

}  // namespace
