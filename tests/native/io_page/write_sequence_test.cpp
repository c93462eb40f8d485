// The write order of Apply and what each answer to a failed write does.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "io_write_sequence.h"

namespace {

struct Write {
    int reg;
    int value;
};

// A transmitter that fails chosen registers a given number of times, and a user with canned answers.
struct Scenario {
    std::vector<Write> writes;
    int failingRegister = -1;
    int failuresLeft = 0;
    std::vector<WriteFailureAnswer> answers;
    std::vector<std::string> prompts;
};

Scenario* scenario = nullptr;

LinkError RecordWrite(int8_t reg, int16_t value) {
    scenario->writes.push_back(Write{reg, value});
    if (reg == scenario->failingRegister && scenario->failuresLeft > 0) {
        --scenario->failuresLeft;
        return kLinkTimeout;
    }
    return kLinkOk;
}

WriteFailureAnswer Answer(const char* message, void* context) {
    Scenario* s = static_cast<Scenario*>(context);
    s->prompts.push_back(message);
    WriteFailureAnswer answer = s->answers.front();
    s->answers.erase(s->answers.begin());
    return answer;
}

std::vector<int> Registers(const Scenario& s) {
    std::vector<int> registers;
    for (const Write& w : s.writes) registers.push_back(w.reg);
    return registers;
}

ConfigSnapshot Configured(int alarmFunction) {
    ConfigSnapshot c = {};
    c.unit = 1;
    c.inputType = 18;
    c.upperLimit = 9999;
    c.lowerLimit = -1999;
    c.outputType = 14;
    c.alarmFunction = static_cast<int16_t>(alarmFunction);
    c.alarmSetPoint = 500;
    c.alarmInitialBlock = 1;
    c.alarmHysteresis = 3;
    return c;
}

bool RunSequence(Scenario& s, const ConfigSnapshot& c) {
    scenario = &s;
    return RunIoWriteSequence(c, RecordWrite, Answer, &s);
}

TEST(IoWriteSequence, WritesEveryStepInOrderWithAnAlarmSet) {
    Scenario s;
    EXPECT_TRUE(RunSequence(s, Configured(4)));
    EXPECT_EQ(Registers(s), (std::vector<int>{67, 43, 27, 26, 61, 35, 31, 50, 39}));
    const int values[9] = {1, 18, 9999, -1999, 14, 4, 500, 1, 3};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(s.writes[i].value, values[i]) << "step " << i + 1;
    EXPECT_TRUE(s.prompts.empty());
}

TEST(IoWriteSequence, WithoutAlarmFunctionStopsAfterTheAlarmFunction) {
    Scenario s;
    EXPECT_TRUE(RunSequence(s, Configured(0)));
    EXPECT_EQ(Registers(s), (std::vector<int>{67, 43, 27, 26, 61, 35}));
}

TEST(IoWriteSequence, DeviceCodesOutsideTheCataloguesAreWrittenBackUnchanged) {
    ConfigSnapshot c = Configured(12);
    c.inputType = -3;
    c.unit = 7;
    c.outputType = 9;
    Scenario s;
    RunSequence(s, c);
    ASSERT_EQ(s.writes.size(), 9u);
    EXPECT_EQ(s.writes[0].value, 7);
    EXPECT_EQ(s.writes[1].value, -3);  // sign-extended from the byte
    EXPECT_EQ(s.writes[4].value, 9);
    EXPECT_EQ(s.writes[5].value, 12);
}

TEST(IoWriteSequence, IgnoreGoesOnWithTheNextStep) {
    Scenario s;
    s.failingRegister = 26;
    s.failuresLeft = 1;
    s.answers = {kWriteIgnore};
    EXPECT_TRUE(RunSequence(s, Configured(0)));
    EXPECT_EQ(Registers(s), (std::vector<int>{67, 43, 27, 26, 61, 35}));
    ASSERT_EQ(s.prompts.size(), 1u);
    EXPECT_EQ(s.prompts[0], std::string("Erro na escrita do Limite Inferior (") + LinkErrorText(kLinkTimeout) + ")");
}

TEST(IoWriteSequence, AbortLeavesTheLaterStepsUnwritten) {
    Scenario s;
    s.failingRegister = 26;
    s.failuresLeft = 1;
    s.answers = {kWriteAbort};
    EXPECT_FALSE(RunSequence(s, Configured(4)));
    EXPECT_EQ(Registers(s), (std::vector<int>{67, 43, 27, 26}));
}

TEST(IoWriteSequence, RetryRepeatsTheSameStepUntilItSucceeds) {
    Scenario s;
    s.failingRegister = 35;
    s.failuresLeft = 3;
    s.answers = {kWriteRetry, kWriteRetry, kWriteRetry};
    EXPECT_TRUE(RunSequence(s, Configured(0)));
    EXPECT_EQ(Registers(s), (std::vector<int>{67, 43, 27, 26, 61, 35, 35, 35, 35}));
    ASSERT_EQ(s.prompts.size(), 3u);
    EXPECT_EQ(s.prompts[2],
              std::string("Erro na escrita da função do relé de alarme (") + LinkErrorText(kLinkTimeout) + ")");
}

TEST(IoWriteSequence, EachStepNamesItsOwnParameterWhenItFails) {
    const struct {
        int reg;
        const char* message;
    } steps[] = {
        {67, "Erro na escrita da Unidade de Temperatura (Time-out)"},
        {43, "Erro na escrita do Tipo de Entrada (Time-out)"},
        {27, "Erro na escrita do Limite Superior (Time-out)"},
        {26, "Erro na escrita do Limite Inferior (Time-out)"},
        {61, "Erro na escrita do Tipo de Saída (Time-out)"},
        {35, "Erro na escrita da função do relé de alarme (Time-out)"},
        {31, "Erro na escrita do Set Point de Alarme (Time-out)"},
        {50, "Erro na escrita do Bloqueio Inicial de Alarme (Time-out)"},
        {39, "Erro na escrita da Histerese de Alarme (Time-out)"},
    };
    for (const auto& step : steps) {
        Scenario s;
        s.failingRegister = step.reg;
        s.failuresLeft = 1;
        s.answers = {kWriteIgnore};
        EXPECT_TRUE(RunSequence(s, Configured(4)));
        ASSERT_EQ(s.prompts.size(), 1u) << "register " << step.reg;
        EXPECT_EQ(s.prompts[0], step.message);
    }
}

}  // namespace
