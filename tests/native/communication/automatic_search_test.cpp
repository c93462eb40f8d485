// The automatic search: rate order, address 0, identity check, the address read and restoring on failure.
#include <gtest/gtest.h>
#include <vector>
#include "communication_search.h"
#include "recording_line.h"

namespace {

CommSettings Settings(uint8_t address, int32_t baud) {
    CommSettings s = {"COM1", baud, address};
    return s;
}

TEST(AutomaticSearch, TriesTheFasterRatesAtAddressZeroAndTakesTheAddressRead) {
    CommSettings settings = Settings(7, 9600);
    RecordingLine line(settings);
    line.answers[4800] = RateAnswers{kLinkOk, 1, kLinkOk, 0x0139};  // 313: only the low byte is an address

    const SearchOutcome outcome = RunAutomaticSearch(settings, line);
    EXPECT_TRUE(outcome.found);
    EXPECT_EQ(outcome.baudRate, 4800);
    EXPECT_EQ(outcome.addressRead, 57);
    EXPECT_EQ(settings.deviceAddress, 57);
    EXPECT_EQ(settings.baudRate, 4800);
    const std::vector<std::string> expected = {"open @0/19200",    "identity @0/19200", "open @0/9600",
                                               "identity @0/9600", "open @0/4800",      "identity @0/4800",
                                               "address @0/4800"};
    EXPECT_EQ(line.calls, expected);
}

TEST(AutomaticSearch, AnIdentityOtherThanOneIsNotAnOrvi) {
    CommSettings settings = Settings(3, 2400);
    RecordingLine line(settings);
    line.answers[19200] = RateAnswers{kLinkOk, 2, kLinkOk, 9};
    line.answers[1200] = RateAnswers{kLinkOk, 1, kLinkOk, 12};

    const SearchOutcome outcome = RunAutomaticSearch(settings, line);
    EXPECT_TRUE(outcome.found);
    EXPECT_EQ(outcome.baudRate, 1200);
    EXPECT_EQ(settings.deviceAddress, 12);
}

TEST(AutomaticSearch, AFailedAddressReadCountsAsNotFoundAndTheSearchGoesOn) {
    CommSettings settings = Settings(3, 2400);
    RecordingLine line(settings);
    line.answers[9600] = RateAnswers{kLinkOk, 1, kLinkBadCrc, 0};
    line.answers[2400] = RateAnswers{kLinkOk, 1, kLinkOk, 21};

    const SearchOutcome outcome = RunAutomaticSearch(settings, line);
    EXPECT_TRUE(outcome.found);
    EXPECT_EQ(outcome.baudRate, 2400);
    EXPECT_EQ(settings.deviceAddress, 21) << "never the identity value 1 taken for an address";
}

TEST(AutomaticSearch, AnAddressNoRequestCanReachCountsAsNotFoundAtThatRate) {
    CommSettings settings = Settings(3, 2400);
    RecordingLine line(settings);
    line.answers[19200] = RateAnswers{kLinkOk, 1, kLinkOk, 0};  // broadcast
    line.answers[9600] = RateAnswers{kLinkOk, 1, kLinkOk, 248};
    line.answers[4800] = RateAnswers{kLinkOk, 1, kLinkOk, 0x0100};  // low byte 0
    line.answers[2400] = RateAnswers{kLinkOk, 1, kLinkOk, 247};

    const SearchOutcome outcome = RunAutomaticSearch(settings, line);
    EXPECT_TRUE(outcome.found);
    EXPECT_EQ(outcome.baudRate, 2400);
    EXPECT_EQ(outcome.addressRead, 247);
    EXPECT_EQ(settings.deviceAddress, 247);
}

TEST(AutomaticSearch, NothingFoundRestoresAddressAndRateAndReopensAtTheOldRate) {
    CommSettings settings = Settings(42, 4800);
    RecordingLine line(settings);
    line.answers[19200] = RateAnswers{kLinkOk, 1, kLinkTimeout, 0};  // found by identity only

    const SearchOutcome outcome = RunAutomaticSearch(settings, line);
    EXPECT_FALSE(outcome.found);
    EXPECT_EQ(settings.deviceAddress, 42);
    EXPECT_EQ(settings.baudRate, 4800);
    ASSERT_FALSE(line.calls.empty());
    EXPECT_EQ(line.calls.back(), "open @42/4800");
    int identityReads = 0;
    for (const std::string& call : line.calls) identityReads += call.rfind("identity", 0) == 0;
    EXPECT_EQ(identityReads, 5);
    EXPECT_EQ(outcome.answeredBaud, 19200) << "the rate it answered at is kept for the message";
    EXPECT_EQ(outcome.addressError, kLinkTimeout);
}

TEST(AutomaticSearch, TheFailureNamesTheFirstRateAnOrviAnsweredAtAndWhatWasWrong) {
    struct {
        std::map<int32_t, RateAnswers> answers;
        std::string text;
    } cases[] = {
        {{}, "Não foi possível comunicar com o Orvi!"},
        {{{4800, RateAnswers{kLinkOk, 2, kLinkOk, 9}}}, "Não foi possível comunicar com o Orvi!"},  // not an Orvi
        {{{9600, RateAnswers{kLinkOk, 1, kLinkBadCrc, 0}}, {2400, RateAnswers{kLinkOk, 1, kLinkOk, 0}}},
         "Um Orvi respondeu a 9600 baud, mas a leitura do seu endereço falhou (CRC inválido)"},
        {{{4800, RateAnswers{kLinkOk, 1, kLinkOk, 248}}},
         "Um Orvi respondeu a 4800 baud, mas o seu endereço (248) não está entre 1 e 247"},
        {{{1200, RateAnswers{kLinkOk, 1, kLinkOk, 0x0100}}},
         "Um Orvi respondeu a 1200 baud, mas o seu endereço (0) não está entre 1 e 247"},
    };
    for (const auto& c : cases) {
        CommSettings settings = Settings(3, 2400);
        RecordingLine line(settings);
        line.answers = c.answers;
        const SearchOutcome outcome = RunAutomaticSearch(settings, line);
        EXPECT_FALSE(outcome.found);
        EXPECT_EQ(SearchFailureText(outcome).rfind(c.text, 0), 0u) << SearchFailureText(outcome);
    }
}

}  // namespace
