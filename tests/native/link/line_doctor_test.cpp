// The line doctor: its rules as one table, the evidence the link gathers on a scripted line, and its look.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "line.h"
#include "line_doctor.h"
#include "scripted_serial_device.h"
#include "rtu_frame.h"
#include "serial_port.h"
#include "transactions.h"

namespace {

struct RuleRow {
    const char* name;
    std::function<void(LineEvidence&, AddressEvidence&)> fill;
    const char* key;
};

void Answers(AddressEvidence& a, uint32_t good) {
    a.requests += good;
    a.goodReplies += good;
}

void Silent(AddressEvidence& a, uint32_t count) {
    a.requests += count;
    a.silences += count;
}

TEST(LineDoctorRules, EachCauseFromItsEvidence) {
    const RuleRow rows[] = {
        {"healthy", [](LineEvidence&, AddressEvidence& a) { Answers(a, 5); }, "saudavel"},
        {"latency of 2 ms is fine",
         [](LineEvidence& e, AddressEvidence& a) {
             Answers(a, 5);
             e.latencyTimerMs = 2;
         },
         "saudavel"},
        {"nothing anywhere",
         [](LineEvidence& e, AddressEvidence& a) {
             Silent(a, 2);
             e.look.looked = true;
             e.look.otherRateTries = 4;
         },
         "sem_linha"},
        {"a 0x00 after each request, no reply",
         [](LineEvidence& e, AddressEvidence& a) {
             a.requests = 4;
             e.zeroAlone = 4;
             e.look.looked = true;
             e.look.anyByteAtOtherRates = true;
         },
         "fios_invertidos"},
        {"answers at another rate",
         [](LineEvidence& e, AddressEvidence& a) {
             Silent(a, 2);
             e.look.looked = true;
             e.look.rateAnswering = 19200;
         },
         "taxa_errada"},
        {"driver errors on replies that never hold",
         [](LineEvidence& e, AddressEvidence& a) {
             a.requests = 3;
             a.shortFrames = 3;
             a.lineErrorReplies = 3;
             e.driverCounts = true;
         },
         "taxa_errada"},
        {"zeros where the parity bit is 0",
         [](LineEvidence&, AddressEvidence& a) {
             a.requests = 4;
             a.crcFailures = 4;
             a.parityPattern = 4;
             a.repeatedFailures = 3;
         },
         "paridade_diferente"},
        {"the parity pattern on half the corrupted replies",
         [](LineEvidence&, AddressEvidence& a) {
             a.requests = 4;
             a.crcFailures = 4;
             a.parityPattern = 2;
         },
         "paridade_diferente"},
        {"driver errors on just two replies of the right length",
         [](LineEvidence& e, AddressEvidence& a) {
             a.requests = 2;
             a.crcFailures = 2;
             a.lineErrorReplies = 2;
             e.driverCounts = true;
         },
         "paridade_diferente"},
        {"driver errors on replies of the right length",
         [](LineEvidence& e, AddressEvidence& a) {
             a.requests = 3;
             a.crcFailures = 3;
             a.lineErrorReplies = 3;
             e.driverCounts = true;
         },
         "paridade_diferente"},
        {"our request ahead of every reply",
         [](LineEvidence& e, AddressEvidence& a) {
             Answers(a, 5);
             e.echoWhole = 5;
         },
         "eco_do_adaptador"},
        {"our request cut short, no reply",
         [](LineEvidence& e, AddressEvidence& a) {
             a.requests = 3;
             e.echoCut = 3;
             e.look.looked = true;
         },
         "rts_cedo"},
        {"replies without their head",
         [](LineEvidence&, AddressEvidence& a) {
             a.requests = 3;
             a.headLost = 3;
             a.shortFrames = 3;
         },
         "rts_tarde"},
        {"short by the same count every time",
         [](LineEvidence&, AddressEvidence& a) {
             a.requests = 3;
             a.shortFrames = 3;
             a.shortBySame = 3;
             a.shortBy = 5;
         },
         "rts_tarde"},
        {"a 0x00 ahead of good replies",
         [](LineEvidence&, AddressEvidence& a) {
             Answers(a, 3);
             a.zeroAhead = 3;
         },
         "sem_polarizacao"},
        {"the same wrong reply every time",
         [](LineEvidence&, AddressEvidence& a) {
             a.requests = 4;
             a.crcFailures = 4;
             a.repeatedFailures = 3;
         },
         "endereco_duplicado"},
        {"serial numbers that differ",
         [](LineEvidence& e, AddressEvidence& a) {
             Answers(a, 4);
             e.look.serialsDiffer = true;
         },
         "endereco_duplicado"},
        {"someone else's frames while we are silent",
         [](LineEvidence& e, AddressEvidence& a) {
             Answers(a, 4);
             e.unaskedBytes = 24;
             e.unaskedFrames = 3;
         },
         "outro_mestre"},
        {"some replies corrupted, each its own way",
         [](LineEvidence&, AddressEvidence& a) {
             Answers(a, 4);
             a.requests += 2;
             a.crcFailures = 2;
         },
         "ruido"},
        {"a reply heard only before the next request",
         [](LineEvidence&, AddressEvidence& a) {
             Answers(a, 2);
             Silent(a, 1);
             a.lateReplies = 1;
         },
         "resposta_lenta"},
        {"a reply after the allowance",
         [](LineEvidence& e, AddressEvidence& a) {
             Silent(a, 3);
             e.look.looked = true;
             e.look.slowReplyMs = 400;
             e.look.allowanceMs = 156;
         },
         "resposta_lenta"},
        {"the gateway says nobody answered",
         [](LineEvidence& e, AddressEvidence& a) {
             a.requests = 3;
             a.gatewayNoPath = 3;
             e.networkLine = true;
         },
         "gateway_sem_caminho"},
        {"a USB latency timer above 2 ms",
         [](LineEvidence& e, AddressEvidence& a) {
             Answers(a, 5);
             e.latencyTimerMs = 16;
             std::snprintf(e.latencyHow, sizeof e.latencyHow, "echo 1 > latency_timer");
         },
         "latencia_usb"},
        {"a USB latency timer at 1 ms, with the command that lowers it",
         [](LineEvidence& e, AddressEvidence& a) {
             Answers(a, 5);
             e.latencyTimerMs = 1;
             std::snprintf(e.latencyHow, sizeof e.latencyHow, "echo 1 > latency_timer");
         },
         "saudavel"},
        {"replies held back by up to a tick",
         [](LineEvidence&, AddressEvidence& a) {
             Answers(a, 9);
             for (uint32_t ms = 1; ms <= 17; ms += 2) a.replyStart.Add(1000u * ms);
         },
         "latencia_usb"},
        {"replies that end their line time after they began",
         [](LineEvidence&, AddressEvidence& a) {
             Answers(a, 9);
             for (int i = 0; i < 9; ++i) a.replyStart.Add(1000u + 500u * (i % 3));
         },
         "saudavel"},
        {"silence without a look at the other rates", [](LineEvidence&, AddressEvidence& a) { Silent(a, 3); },
         "desconhecida"},
    };
    for (const RuleRow& row : rows) {
        LineEvidence evidence;
        AddressEvidence& at = evidence.At(7);
        row.fill(evidence, at);
        const LineVerdict verdict = JudgeEvidence(evidence, 7);
        EXPECT_STREQ(row.key, CauseKey(verdict.cause)) << row.name;
        EXPECT_FALSE(verdict.evidence.empty()) << row.name;
        EXPECT_FALSE(verdict.advice.empty()) << row.name;
        if (verdict.cause == LineCause::kWrongRate && evidence.look.rateAnswering) {
            EXPECT_EQ(19200, verdict.rateFound) << row.name;
        }
        if (verdict.cause == LineCause::kUsbLatency && evidence.latencyHow[0]) {
            EXPECT_NE(std::string::npos, verdict.advice.find("echo 1 > latency_timer"));
        }
        // How to lower the timer is advice for that cause alone; the driver's counts are shown where it gave them.
        EXPECT_EQ(verdict.cause == LineCause::kUsbLatency && evidence.latencyHow[0] != '\0',
                  verdict.advice.find(" Como: ") != std::string::npos)
            << row.name;
        bool countsShown = false;
        for (const std::string& fact : verdict.evidence) countsShown = countsShown || fact.find("Erros do driver") == 0;
        EXPECT_EQ(evidence.driverCounts, countsShown) << row.name;
    }
    EXPECT_STREQ("fios A e B invertidos", CauseWords(LineCause::kSwappedWires));
}

Bytes OneWordReply(uint8_t address, uint16_t word) {
    return WithCrc({address, 0x03, 2, static_cast<uint8_t>(word >> 8), static_cast<uint8_t>(word)});
}

// What a receiver at 8N1 reads of a sender with even parity: a byte with an even count of ones has
// a 0 where the stop bit should be, a framing error, read as 0x00.
Bytes AsReadWithEvenParity(Bytes reply) {
    for (uint8_t& byte : reply) {
        int ones = 0;
        for (int bit = 0; bit < 8; ++bit) ones += (byte >> bit) & 1;
        if (ones % 2 == 0) byte = 0;
    }
    return reply;
}

// A line of the test's own at address 1, 9600 bit/s, on a scripted device and its clock.
class LineEvidenceTest : public ::testing::Test {
protected:
    LineEvidenceTest() : clock_(device_), line_(device_, &clock_) {}
    void SetUp() override {
        std::snprintf(line_.settings.portName, sizeof line_.settings.portName, "COM1");
        line_.settings.deviceAddress = 1;
        line_.settings.baudRate = 9600;
        ASSERT_EQ(1, OpenPort(line_));
    }
    ScriptedSerialDevice& device() { return device_; }
    Line& line() { return line_; }
    LineEvidence& evidence() { return line_.evidence; }
    const AddressEvidence& at() { return evidence().At(1); }
    LinkError ReadWord() {
        uint16_t word = 0;
        return ReadHolding(line_, 8, &word);
    }

private:
    ScriptedSerialDevice device_;
    ScriptedClock clock_;
    Line line_;
};

TEST_F(LineEvidenceTest, EchoWholeOrCutAndBreaksAheadOrAlone) {
    // A write's good reply is the copy of its request: no echo by itself.
    device().replies = {WithCrc({1, 0x06, 0, 20, 0, 5})};
    EXPECT_EQ(kLinkOk, WriteRegisterByEcho(line(), 20, 5));
    EXPECT_EQ(0u, evidence().echoWhole);
    EXPECT_EQ(1u, evidence().echoNone);

    device().echoBytes = -1;
    device().replies = {OneWordReply(1, 1)};
    EXPECT_EQ(kLinkOk, ReadWord());
    EXPECT_EQ(1u, evidence().echoWhole);
    EXPECT_EQ(1u, evidence().echoNone);  // the write's, still

    device().echoBytes = 3;  // the converter let go of the line after three bytes: nobody answers
    EXPECT_EQ(kLinkTimeout, ReadWord());
    EXPECT_EQ(3u, evidence().echoCut);
    EXPECT_EQ(3u, evidence().echoCutBytes);

    device().echoBytes = 0;
    device().aheadOfReply = {0x00};
    device().replies = {OneWordReply(1, 1)};
    EXPECT_EQ(kLinkOk, ReadWord());
    EXPECT_EQ(1u, at().zeroAhead);
    EXPECT_EQ(0u, evidence().zeroAlone);
    EXPECT_EQ(kLinkTimeout, ReadWord());  // a break after each request, and no reply
    EXPECT_EQ(3u, evidence().zeroAlone);
    EXPECT_EQ(1u, at().zeroAhead);
}

TEST_F(LineEvidenceTest, BytesWaitingBeforeARequestAreOthersFramesOrOurLateReply) {
    device().input = WithCrc({99, 0x03, 0x00, 0x08, 0x00, 0x02});  // another master asks address 99
    device().replies = {OneWordReply(1, 1)};
    EXPECT_EQ(kLinkOk, ReadWord());
    EXPECT_EQ(8u, evidence().unaskedBytes);
    EXPECT_EQ(1u, evidence().unaskedFrames);
    EXPECT_EQ(0u, at().lateReplies);

    device().input = OneWordReply(1, 1);  // the reply to the request before, come late
    device().replies = {OneWordReply(1, 1)};
    EXPECT_EQ(kLinkOk, ReadWord());
    EXPECT_EQ(1u, at().lateReplies);
    EXPECT_EQ(1u, evidence().unaskedFrames);
    EXPECT_EQ(2u, evidence().unaskedTimes);

    device().input = WithCrc({99, 0x11});  // the shortest frame there is: a request with no data
    device().replies = {OneWordReply(1, 1)};
    EXPECT_EQ(kLinkOk, ReadWord());
    EXPECT_EQ(2u, evidence().unaskedFrames);
    EXPECT_EQ(1u, at().lateReplies);
}

TEST_F(LineEvidenceTest, DriverCountersWhereTheSystemGivesThem) {
    device().replies = {OneWordReply(1, 1)};
    EXPECT_EQ(kLinkOk, ReadWord());
    EXPECT_FALSE(evidence().driverCounts);

    device().countsErrors = true;
    device().errorsPerReply.frame = 2;
    device().errorsPerReply.breaks = 1;
    Bytes bad = OneWordReply(1, 1);
    bad[3] ^= 0x10;
    device().replies = {bad, OneWordReply(1, 1)};
    EXPECT_EQ(kLinkOk, ReadWord());
    EXPECT_TRUE(evidence().driverCounts);
    EXPECT_EQ(4u, evidence().driver.frame);
    EXPECT_EQ(2u, evidence().driver.breaks);
    EXPECT_EQ(2u, at().lineErrorReplies);
}

TEST_F(LineEvidenceTest, ParityPatternAndLostHeadAreToldFromNoise) {
    device().replies = {AsReadWithEvenParity(OneWordReply(1, 0x1234))};
    device().answer = [](const Bytes&) { return Bytes(); };
    EXPECT_NE(kLinkOk, ReadWord());
    EXPECT_EQ(1u, at().crcFailures);
    EXPECT_EQ(1u, at().parityPattern);

    Bytes flipped = OneWordReply(1, 0x1234);
    flipped[4] ^= 0x04;  // one bit in error: noise, not a parity pattern
    device().replies = {flipped};
    EXPECT_NE(kLinkOk, ReadWord());
    EXPECT_EQ(2u, at().crcFailures);
    EXPECT_EQ(1u, at().parityPattern);

    const Bytes whole = OneWordReply(1, 0x1234);
    device().replies = {Bytes(whole.begin() + 2, whole.end())};  // the first two bytes lost
    EXPECT_NE(kLinkOk, ReadWord());
    EXPECT_EQ(1u, at().headLost);
    EXPECT_EQ(2u, at().headLostBytes);
}

// Two transmitters at one address spoil each reply the same way; what a read left in the buffer
// beyond the reply must not make two equal replies differ.
TEST_F(LineEvidenceTest, AWrongReplyRepeatedByteForByteIsCountedByItsOwnBytes) {
    device().answer = [](const Bytes&) { return Bytes(); };
    const Bytes cut = OneWordReply(1, 0x2222);
    const Bytes spoilt(cut.begin(), cut.begin() + 5);
    device().replies = {OneWordReply(1, 0x1111), spoilt, {}, {}, OneWordReply(1, 0x3333), spoilt, {}, {}};
    EXPECT_EQ(kLinkOk, ReadWord());
    EXPECT_NE(kLinkOk, ReadWord());
    EXPECT_EQ(0u, at().repeatedFailures);
    EXPECT_EQ(kLinkOk, ReadWord());
    EXPECT_NE(kLinkOk, ReadWord());
    EXPECT_EQ(1u, at().repeatedFailures);
}

TEST_F(LineEvidenceTest, ReplyTimesAreKeptAndANewOpeningForgetsAll) {
    device().answer = [](const Bytes&) { return OneWordReply(1, 1); };
    for (int i = 0; i < 10; ++i) ASSERT_EQ(kLinkOk, ReadWord());
    EXPECT_EQ(10u, at().replyEnd.samples);
    // Seven bytes at 9600 bit/s take about 7.3 ms on the line: the end is after that, the start before.
    EXPECT_GE(at().replyEnd.PercentileUs(50), 7000u);
    EXPECT_LT(at().replyStart.PercentileUs(99), at().replyEnd.PercentileUs(50));
    ASSERT_EQ(1, OpenPort(line()));
    EXPECT_EQ(nullptr, evidence().Find(1));
    EXPECT_EQ(0u, evidence().transactions);
}

TEST(TimeSpread, PercentilesWithinABucket) {
    TimeSpread spread;
    for (int i = 0; i < 98; ++i) spread.Add(10000);
    spread.Add(200000);
    spread.Add(200000);
    EXPECT_GE(spread.PercentileUs(50), 10000u);
    EXPECT_LT(spread.PercentileUs(50), 12600u);
    EXPECT_GE(spread.PercentileUs(99), 200000u);
    EXPECT_EQ(0u, TimeSpread().PercentileUs(50));
}

class LineDoctorLookTest : public LineEvidenceTest {};

TEST_F(LineDoctorLookTest, FindsTheRateWhereTheTransmitterAnswers) {
    device().answer = [this](const Bytes& request) {
        return device().lineBaud == 19200 ? OneWordReply(request[0], 1) : Bytes();
    };
    line().settings.deviceAddress = 9;
    const LineVerdict verdict = ExamineLine(line(), 1, nullptr);
    EXPECT_EQ(LineCause::kWrongRate, verdict.cause);
    EXPECT_EQ(9, line().settings.deviceAddress);  // the line keeps its own address and rate
    EXPECT_EQ(19200, verdict.rateFound);
    EXPECT_EQ(9600, line().settings.baudRate);
    EXPECT_EQ(9600, device().lineBaud);  // back at the line's own rate
}

TEST_F(LineDoctorLookTest, HealthyLineAndSwappedWires) {
    device().answer = [](const Bytes& request) {
        if (request[1] == 3 && request[5] == kConfigBlockWords) {
            Bytes block = {request[0], 3, 2 * kConfigBlockWords};
            block.resize(3 + 2 * kConfigBlockWords, 0);
            return WithCrc(block);
        }
        return OneWordReply(request[0], 1);
    };
    EXPECT_EQ(LineCause::kHealthy, ExamineLine(line(), 1, nullptr).cause);

    device().answer = nullptr;
    device().aheadOfReply = {0x00};  // an inverted idle line: a break after each request, at every rate
    EXPECT_EQ(LineCause::kSwappedWires, ExamineLine(line(), 1, nullptr).cause);
}

TEST_F(LineDoctorLookTest, AFailedReadNamesOnlyWhatTheLineShowed) {
    device().echoBytes = 4;
    uint16_t word = 0;
    EXPECT_EQ(kLinkTimeout, ReadHolding(line(), 8, &word));
    EXPECT_EQ(LineCause::kRtsEarly, ProbableCause(line()).cause);
    device().echoBytes = 0;
    ASSERT_EQ(1, OpenPort(line()));
    EXPECT_EQ(kLinkTimeout, ReadHolding(line(), 8, &word));  // plain silence: could be a rate, a wire, nobody
    EXPECT_EQ(LineCause::kUnknown, ProbableCause(line()).cause);
}

}  // namespace
