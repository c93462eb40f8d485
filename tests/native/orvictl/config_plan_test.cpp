// orvictl's change plan where it is decided: what a file or set asks, what the page's checks refuse,
// what gets written, and what the messages say when a write sequence stops.
#include <gtest/gtest.h>

#include <cstring>

#include "captured_output.h"
#include "config_ini.h"
#include "calibration_restore.h"
#include "config_plan.h"
#include "config_file_check.h"
#include "configuration_rules.h"
#include "factory_configuration.h"
#include "input_types.h"
#include "exit_codes.h"
#include "register_map.h"
#include "show_format.h"
#include "text_output.h"

namespace {

// A transmitter's configuration block: thermocouple J in °C, 0..600, 4-20 mA, "Valor máximo" at 300,
// hysteresis 2; then the changes of a row.
struct Block {
    uint16_t words[68] = {};
    Block() { Set(43, 0).Set(67, 0).Set(26, 0).Set(27, 600).Set(61, 14).Set(35, 1).Set(31, 300).Set(39, 2).Set(50, 0); }
    Block& Set(int reg, int value) {
        words[reg] = static_cast<uint16_t>(value);
        return *this;
    }
    ConfigSnapshot Snapshot() const { return DecodeConfiguration(words); }
};

std::vector<RequestedValue> Requests(const std::vector<std::string>& assignments) {
    std::vector<RequestedValue> requests;
    std::vector<std::string> problems;
    EXPECT_TRUE(ParseAssignments(assignments, &requests, &problems)) << (problems.empty() ? "" : problems[0]);
    return requests;
}

std::vector<int> Registers(const std::vector<PlannedWrite>& plan) {
    std::vector<int> registers;
    for (const PlannedWrite& step : plan) registers.push_back(step.key->reg);
    return registers;
}

TEST(ConfigPlan, AFileSaveWroteLoadsBackOntoTheSameTransmitterWithoutAWriteOrARefusal) {
    // States the page never produces but transmitters hold: each file save writes of them must load.
    const struct {
        const char* what;
        Block block;
    } rows[] = {
        {"factory-like", Block()},
        {"alarm function 2, which the page does not offer", Block().Set(35, 2)},
        {"a negative hysteresis with no alarm", Block().Set(35, 0).Set(39, 0xFFFB)},
        {"a hysteresis wider than the sensor", Block().Set(39, 2000)},
        {"a lower limit below the sensor's", Block().Set(26, 0xFF00)},
        {"a set point below the lower limit", Block().Set(31, 0xFFF6)},
        {"a set point above the upper limit", Block().Set(31, 700)},
        {"an unknown unit code", Block().Set(67, 7)},
        {"a linear input at °F", Block().Set(43, 17).Set(67, 1).Set(26, 0xF831).Set(27, 9999)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const ConfigSnapshot current = row.block.Snapshot();
        std::vector<RequestedValue> requests;
        std::vector<std::string> problems;
        ASSERT_TRUE(ParseConfigIni(FormatConfigIni(current, "teste"), &requests, &problems)) << problems[0];
        EXPECT_EQ(requests.size(), static_cast<size_t>(kParameterKeyCount)) << "every key is in the file";
        const ConfigSnapshot target = ApplyRequests(current, requests);
        std::string message;
        EXPECT_EQ(CheckChanges(current, target, requests, &message), kExitOk) << message;
        EXPECT_TRUE(PlanWrites(target, row.block.words).empty());
        EXPECT_TRUE(RequestsNotWritten(requests, current, target).empty());
    }
}

TEST(ConfigPlan, ChangedValuesGetThePagesChecksAndValuesKeptAreNeverRefused) {
    const struct {
        Block block;
        std::vector<std::string> assignments;
        int code;
        const char* message;  // UTF-8; empty when accepted
    } rows[] = {
        {Block().Set(35, 2), {"alarme_funcao=2"}, kExitOk, ""},
        {Block(), {"alarme_funcao=2"}, kExitUsage, "argumento 1: alarme_funcao = \"2\": valor não aceito"},
        {Block().Set(35, 0).Set(39, 0xFFFB), {"alarme_histerese=-5"}, kExitOk, ""},
        {Block(), {"alarme_histerese=-1"}, kExitUsage, "valor não aceito"},
        {Block(), {"alarme_histerese=870"}, kExitOk, ""},  // J in °C: -110 to 760
        {Block(), {"alarme_histerese=871"}, kExitCheck, "A Histerese de Alarme deve estar entre 0 e 870!"},
        {Block().Set(39, 2000), {"saida=13"}, kExitOk, ""},
        {Block().Set(35, 0).Set(39, 2000), {"alarme_funcao=1"}, kExitOk, ""},  // the hysteresis itself stays
        {Block().Set(43, 17), {"unidade=1"}, kExitCheck, "entrada linear (16 a 18) não tem unidade"},
        {Block().Set(43, 17), {"entrada=0", "unidade=1"}, kExitOk, ""},
        {Block().Set(26, 0xFF00), {"saida=13"}, kExitOk, ""},  // -256, below the sensor, already there
        {Block().Set(26, 0xFF00), {"limite_superior=500"}, kExitOk, ""},
        // A fault already there does not hide a later check the change breaks.
        {Block().Set(26, 0xFF00), {"alarme_setpoint=-300"}, kExitCheck, "O Set Point de Alarme não pode ser menor"},
        {Block(), {"limite_inferior=-111"}, kExitCheck, "não pode ser menor que o limite do sensor (-110°C)!"},
        {Block(), {"limite_superior=761"}, kExitCheck, "não pode ser maior que o limite do sensor (760°C)!"},
        {Block(), {"limite_inferior=601"}, kExitCheck, "O Limite Inferior não pode ser maior que o Limite Superior!"},
        {Block(), {"alarme_setpoint=601"}, kExitCheck, "O Set Point de Alarme não pode ser maior"},
        {Block(), {"limite_superior=299"}, kExitCheck, "O Set Point de Alarme não pode ser maior"},
        {Block(), {"limite_inferior=301"}, kExitCheck, "O Set Point de Alarme não pode ser menor"},
        {Block().Set(35, 0), {"alarme_setpoint=601"}, kExitOk, ""},  // no alarm: not checked, not written
        {Block().Set(35, 0).Set(31, 700), {"alarme_funcao=1"}, kExitCheck, "O Set Point de Alarme não pode ser maior"},
        {Block(), {"entrada=7"}, kExitOk, ""},  // limits and set point rescaled onto the Pt100 range
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.assignments.back());
        const ConfigSnapshot current = row.block.Snapshot();
        const std::vector<RequestedValue> requests = Requests(row.assignments);
        std::string message;
        EXPECT_EQ(CheckChanges(current, ApplyRequests(current, requests), requests, &message), row.code) << message;
        if (row.code != kExitOk) {
            EXPECT_NE(message.find(row.message), std::string::npos) << message;
        }
    }
}

// Commissioning checks its file before the first unit is touched: what the file gives is checked
// among itself and against its own sensor; what it leaves to the transmitter waits for the unit.
TEST(ConfigPlan, AFileIsCheckedOnItsOwnBeforeAnyTransmitterIsRead) {
    std::vector<RequestedValue> saved;
    std::vector<std::string> problems;
    ASSERT_TRUE(ParseConfigIni(FormatConfigIni(Block().Snapshot(), "teste"), &saved, &problems));
    const struct {
        std::vector<std::string> assignments;
        const char* message;  // UTF-8; empty when accepted
    } rows[] = {
        {{"entrada=0", "unidade=0", "limite_superior=761"}, "limite do sensor (760°C)!"},
        {{"entrada=0", "unidade=1", "limite_inferior=-167"}, "limite do sensor (-166°F)!"},
        {{"limite_superior=761"}, ""},  // whose sensor, the unit says
        {{"limite_inferior=601", "limite_superior=600"}, "O Limite Inferior não pode ser maior que o Limite Superior!"},
        {{"alarme_funcao=5", "alarme_setpoint=601", "limite_superior=600"}, "O Set Point de Alarme não pode ser maior"},
        {{"alarme_funcao=5", "alarme_setpoint=-1", "limite_inferior=0"}, "O Set Point de Alarme não pode ser menor"},
        {{"alarme_funcao=5", "alarme_setpoint=700"}, ""},
        {{"entrada=0", "unidade=0", "alarme_funcao=5", "alarme_setpoint=761"},
         "O Set Point de Alarme não pode ser maior"},
        {{"entrada=0", "unidade=0", "alarme_funcao=5", "alarme_histerese=871"}, "entre 0 e 870!"},
        {{"entrada=0", "unidade=0", "alarme_funcao=0", "alarme_setpoint=761"}, ""},  // dormant without an alarm
    };
    std::string message;
    EXPECT_EQ(CheckRequestsAlone(saved, &message), ChangeCheck::Accepted) << message;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.assignments.back());
        message.clear();
        const ChangeCheck check = CheckRequestsAlone(Requests(row.assignments), &message);
        if (*row.message == '\0') {
            EXPECT_EQ(check, ChangeCheck::Accepted) << message;
        } else {
            EXPECT_EQ(check, ChangeCheck::Inconsistent);
            EXPECT_NE(message.find(row.message), std::string::npos) << message;
        }
    }
}

// One set of rules: over every input type and unit, a value the page's apply refuses is refused by check
// on a file that holds it, by load onto a transmitter that holds a sound configuration, and by set --file
// on that configuration's file; a value the page takes, all take.
TEST(ConfigPlan, EveryInputTypeAndUnitRefusesTheSameValuesOnThePageInAFileAndOnLoad) {
    int refused = 0, taken = 0;
    for (int type = 0; type < kInputTypeCount; ++type) {
        for (int unit = 0; unit <= 1; ++unit) {
            const LimitPair sensor = SensorLimits(type, unit);
            const int low = sensor.low, high = sensor.high, width = high - low;
            const Block block = Block()
                                    .Set(43, type)
                                    .Set(67, unit)
                                    .Set(26, low)
                                    .Set(27, high)
                                    .Set(35, 5)
                                    .Set(31, low + width / 2)
                                    .Set(39, 1);
            const ConfigSnapshot held = block.Snapshot();
            const struct {
                const char* key;
                int value;
                int alarm = 5;
            } probes[] = {
                {"limite_inferior", low - 1},
                {"limite_inferior", low},
                {"limite_inferior", high},
                {"limite_inferior", high + 1},
                {"limite_superior", high + 1},
                {"limite_superior", high},
                {"limite_superior", low},
                {"limite_superior", low - 1},
                {"alarme_setpoint", low - 1},
                {"alarme_setpoint", low},
                {"alarme_setpoint", high},
                {"alarme_setpoint", high + 1},
                {"alarme_histerese", -1},
                {"alarme_histerese", 0},
                {"alarme_histerese", width},
                {"alarme_histerese", width + 1},
                // Without an alarm function the set point and hysteresis are never written nor judged.
                {"alarme_setpoint", high + 1, 0},
                {"alarme_histerese", width + 1, 0},
            };
            for (const auto& probe : probes) {
                const std::string assignment = std::string(probe.key) + "=" + std::to_string(probe.value);
                SCOPED_TRACE(
                    Format("entrada %d, unidade %d, alarme %d, %s", type, unit, probe.alarm, assignment.c_str()));
                const std::vector<RequestedValue> change =
                    Requests({"alarme_funcao=" + std::to_string(probe.alarm), assignment});
                const ConfigSnapshot target = ApplyRequests(held, change);

                const std::vector<ConfigProblem> page = CheckConfiguration(held, target);
                const std::string file = FormatConfigIni(target, "teste");
                const std::vector<FileProblem> checked = CheckConfigFileBytes(file);
                std::vector<RequestedValue> fileRequests;
                std::vector<std::string> problems;
                ASSERT_TRUE(ParseConfigIni(file, &fileRequests, &problems));
                const ConfigComparison load = CompareConfiguration(block.words, held, fileRequests);
                std::vector<std::string> messages;
                const int setFile = CheckWholeConfiguration(held, target, change, &messages);

                const bool refusedByPage = !page.empty();
                EXPECT_EQ(!checked.empty(), refusedByPage) << (checked.empty() ? "" : checked[0].text);
                EXPECT_EQ(load.code != kExitOk, refusedByPage) << load.message;
                EXPECT_EQ(setFile != kExitOk, refusedByPage) << (messages.empty() ? "" : messages[0]);
                // The page's own words reach every one of them, where its rules refuse.
                if (refusedByPage && probe.value >= 0) {
                    const std::string words = FixedText(page[0].message.c_str());
                    EXPECT_NE(load.message.find(words), std::string::npos) << load.message;
                    EXPECT_NE(checked[0].text.find(words), std::string::npos) << checked[0].text;
                    ASSERT_FALSE(messages.empty());
                    EXPECT_NE(messages[0].find(words), std::string::npos) << messages[0];
                }
                ++(refusedByPage ? refused : taken);
            }
        }
    }
    // Per type and unit ten refusals (a limit at the other limit leaves the set point outside) and eight takes.
    EXPECT_EQ(refused, kInputTypeCount * 2 * 10);
    EXPECT_EQ(taken, kInputTypeCount * 2 * 8);
}

// Where new starts: every input type's factory configuration is sound, spans its sensor, and stays
// sound when an alarm function is chosen or (temperature inputs) the unit switched to °F, but for the
// tenths inputs, whose converted -199.9 °C lies below the °F table's limit: there, as on the page, the
// limits must be given.
TEST(ConfigPlan, TheFactoryConfigurationOfEveryInputTypeIsSoundAndSpansItsSensor) {
    for (int type = 0; type < kInputTypeCount; ++type) {
        SCOPED_TRACE(type);
        const ConfigSnapshot factory = FactoryConfiguration(type);
        const LimitPair sensor = SensorLimits(type, 0);
        EXPECT_EQ(factory.lowerLimit, sensor.low);
        EXPECT_EQ(factory.upperLimit, sensor.high);
        EXPECT_EQ(factory.firmwareVersion, 111);
        std::vector<std::string> changes = {"alarme_funcao=8"};
        if (!IsLinearInput(type)) changes.push_back("unidade=1");
        for (const std::string& change : changes) {
            const std::vector<RequestedValue> requests = Requests({change});
            std::vector<std::string> messages;
            const int expected = change == "unidade=1" && IsTenthsInput(type) ? kExitCheck : kExitOk;
            EXPECT_EQ(CheckWholeConfiguration(factory, ApplyRequests(factory, requests), requests, &messages), expected)
                << change << ": " << (messages.empty() ? "" : messages[0]);
        }
        EXPECT_TRUE(CheckConfigFileBytes(FormatConfigIni(factory, "fábrica")).empty());
    }
}

// A file made for one firmware goes onto another with a warning naming both; a known difference of the
// register maps refuses it. Files that do not say pass silently.
TEST(ConfigPlan, AFileMadeForAnotherFirmwareIsNamedAndRefusedWhereTheMapDiffers) {
    const FirmwareMapDifference rows[] = {{100, 119, 200, 299, "registradores 26 e 27 trocados"}};
    const FirmwareDifferenceTable table = {rows, 1};
    const struct {
        int16_t made;
        int16_t target;
        int code;
        const char* warning;  // UTF-8; empty when none
        const char* refusal;
    } cases[] = {
        {111, 111, kExitOk, "", ""},
        {0, 250, kExitOk, "", ""},  // an older file: nothing known, nothing said
        {111, 120, kExitOk, "o arquivo foi feito para o firmware 1.11 e o transmissor tem o firmware 1.20", ""},
        {111, 250, kExitCheck, "firmware 1.11 e o transmissor tem o firmware 2.50",
         "o mapa de registradores do firmware 2.50 difere do do firmware 1.11: registradores 26 e 27 trocados"},
        {120, 250, kExitOk, "firmware 1.20", ""},  // outside the row's firmware
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        FileExtras file;
        file.firmwareVersion = c.made;
        std::string warning, refusal;
        EXPECT_EQ(CheckFileFirmware(file, c.target, table, &warning, &refusal), c.code);
        EXPECT_NE(warning.find(c.warning), std::string::npos) << warning;
        EXPECT_EQ(warning.empty(), *c.warning == '\0');
        EXPECT_NE(refusal.find(c.refusal), std::string::npos) << refusal;
        EXPECT_EQ(refusal.empty(), *c.refusal == '\0');
    }
    // No firmware released so far maps its registers otherwise: the table load consults is empty.
    EXPECT_EQ(kKnownFirmwareDifferences.count, 0u);
    EXPECT_EQ(FindFirmwareDifference(111, 250, kKnownFirmwareDifferences), nullptr);
}

TEST(ConfigPlan, TheUnitAndInputTypeCarryTheFieldsNotGivenAsThePageDoes) {
    const ConfigSnapshot current = Block().Snapshot();
    const struct {
        std::vector<std::string> assignments;
        int lower, upper, setPoint, hysteresis;
    } rows[] = {
        {{"unidade=1"}, 32, 1112, 572, 4},  // 2 °C is 3.6 °F: rounded, so °C → °F → °C keeps it
        {{"unidade=1", "limite_superior=900", "alarme_histerese=2"}, 32, 900, 572, 2},
        {{"entrada=1"}, 42, 1090, 566, 2},  // J onto K in proportion; the hysteresis stays
        {{"entrada=1", "limite_inferior=-5"}, -5, 1090, 566, 2},
        {{"saida=13"}, 0, 600, 300, 2},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.assignments.front());
        const ConfigSnapshot target = ApplyRequests(current, Requests(row.assignments));
        EXPECT_EQ(target.lowerLimit, row.lower);
        EXPECT_EQ(target.upperLimit, row.upper);
        EXPECT_EQ(target.alarmSetPoint, row.setPoint);
        EXPECT_EQ(target.alarmHysteresis, row.hysteresis);
    }
    const ConfigSnapshot back = ApplyRequests(ApplyRequests(current, Requests({"unidade=1"})), Requests({"unidade=0"}));
    EXPECT_EQ(std::memcmp(&back, &current, sizeof back), 0) << "°C → °F → °C gives every value back";

    // The hysteresis, a difference, keeps its size in degrees into and out of the tenths inputs (6 and 14).
    const struct {
        Block block;
        std::vector<std::string> assignments;
        int hysteresis;
        bool told;
    } steps[] = {
        {Block(), {"entrada=6"}, 20, true},
        {Block(), {"entrada=14"}, 20, true},
        {Block(), {"entrada=6", "alarme_histerese=7"}, 7, false},
        {Block(), {"entrada=6", "unidade=1"}, 36, true},  // 2 °C is 3.6 °F: 36 tenths
        {Block().Set(43, 6).Set(39, 25), {"entrada=0"}, 3, true},
        {Block().Set(43, 6).Set(39, 0xFFE7), {"entrada=7"}, -3, true},  // a tenth of -25, rounded as +25 is
        {Block().Set(43, 6).Set(39, 25), {"entrada=14"}, 25, false},
        {Block(), {"entrada=17"}, 2, false},  // a linear input has no degrees
        {Block().Set(39, 5000), {"entrada=6"}, 32767, true},
    };
    for (const auto& row : steps) {
        SCOPED_TRACE(row.assignments.front());
        const ConfigSnapshot from = row.block.Snapshot();
        const std::vector<RequestedValue> requests = Requests(row.assignments);
        const ConfigSnapshot target = ApplyRequests(from, requests);
        EXPECT_EQ(target.alarmHysteresis, row.hysteresis);
        EXPECT_EQ(HysteresisCarriedToTenths(from, target, requests), row.told);
    }
}

TEST(ConfigPlan, OnlyDifferingRegistersAreWrittenAndAlarmValuesNeedAnAlarmFunction) {
    const Block noAlarm = Block().Set(35, 0);
    const struct {
        std::vector<std::string> assignments;
        std::vector<int> written;
        std::vector<std::string> notWritten;
        bool needsAlarmFunction = false;  // nothing written until alarme_funcao is given
        Block block = Block();
    } rows[] = {
        {{"unidade=0", "saida=14"}, {}, {}},
        {{"saida=13", "offset=-3"}, {61, 29}, {}},  // the offset, the Diagnostic page's, last
        {{"unidade=1"}, {67, 27, 26, 31, 39}, {}},  // every temperature converted, in the page's order
        {{"alarme_funcao=0", "alarme_setpoint=310"}, {35}, {"alarme_setpoint"}},
        {{"alarme_funcao=0", "alarme_setpoint=300", "alarme_histerese=2"}, {35}, {}},  // as they are: no warning
        {{"alarme_setpoint=310"}, {}, {"alarme_setpoint"}, true, noAlarm},
        // A file saved from a transmitter without alarm: its dormant values are only named.
        {{"alarme_funcao=0", "alarme_setpoint=310", "alarme_histerese=5", "alarme_bloqueio=1"},
         {},
         {"alarme_setpoint", "alarme_histerese", "alarme_bloqueio"},
         false,
         noAlarm},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.assignments.back());
        const ConfigSnapshot current = row.block.Snapshot();
        const std::vector<RequestedValue> requests = Requests(row.assignments);
        const ConfigSnapshot target = ApplyRequests(current, requests);
        EXPECT_EQ(Registers(PlanWrites(target, row.block.words)), row.written);
        const std::vector<const ParameterKey*> notWritten = RequestsNotWritten(requests, current, target);
        std::vector<std::string> left;
        for (const ParameterKey* key : notWritten) left.push_back(key->name);
        EXPECT_EQ(left, row.notWritten);
        EXPECT_EQ(NeedsAlarmFunction(requests, notWritten), row.needsAlarmFunction);
    }
}

TEST(ParameterKeys, EachValueDescribedAsThePagesNameIt) {
    const struct {
        const char* key;
        Block block;
        const char* text;  // UTF-8
    } rows[] = {
        {"unidade", Block(), "°C"},
        {"unidade", Block().Set(67, 1), "°F"},
        {"unidade", Block().Set(67, 7), "código 7 desconhecido"},
        {"unidade", Block().Set(43, 17), "°C (entrada linear: sem unidade)"},
        {"alarme_bloqueio", Block(), "não"},
        {"alarme_bloqueio", Block().Set(50, 1), "sim"},
        {"alarme_bloqueio", Block().Set(50, 2), "código 2 desconhecido"},
        {"limite_superior", Block(), "600 °C"},
        {"entrada", Block().Set(43, 30), "código 30 desconhecido"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        const ParameterKey* key = FindParameterKey(row.key);
        ASSERT_NE(key, nullptr);
        EXPECT_EQ(DescribeParameter(*key, row.block.Snapshot()), row.text);
    }
}

TEST(ShowLayout, RowsAlignedJsonEscapedAndWhatWasNotReadSaidSo) {
    const struct {
        bool read;  // the calibration and the status answered
        uint16_t statusBits;
        std::vector<std::string> lines, json;  // UTF-8, whole lines
    } rows[] = {
        {false,
         0,
         {"Tipo de Entrada:                 Termopar J   (-110°C a 760°C) [entrada = 0]",
          "Calibração:                      não lida", "Estado:                          não lido"},
         {"  \"alarme_ligado\": false,", "  \"calibracao\": null,", "  \"estado\": null"}},
        {true,
         5,
         {"Calibração 4 a 20mA:             ZERO -120, SPAN 10050", "Estado:                          0x0005",
          "                                 Conversão de PV muito alta"},
         {"  \"estado\": {\"bits\": 5, \"textos\": [\"Conversão de PV muito baixa\", \"Conversão de PV muito "
          "alta\"]}"}},
        {true,
         0,
         {"Estado:                          0x0000 (nenhum erro)"},
         {"  \"estado\": {\"bits\": 0, \"textos\": []}"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.statusBits);
        TransmitterReport report{};
        report.config = Block().Snapshot();
        report.port = "COM3";
        report.calibrationRead = report.statusRead = row.read;
        report.calibration = {-120, 10050, 33, 9990};
        report.statusBits = row.statusBits;
        const std::string text = "\n" + FormatReportText(report);
        for (const std::string& line : row.lines) EXPECT_NE(text.find("\n" + line + "\n"), std::string::npos) << text;
        const std::string json = FormatReportJson(report);
        for (const std::string& line : row.json) EXPECT_NE(json.find("\n" + line + "\n"), std::string::npos) << json;
    }
    // Names and tags come from people and files: quotes, backslashes and control characters escaped.
    TransmitterReport named{};
    named.config = Block().Snapshot();
    named.port = "a\"b\\c\x01\x1Fç";
    EXPECT_NE(FormatReportJson(named).find("\n  \"porta\": \"a\\\"b\\\\c\\u0001\\u001fç\",\n"), std::string::npos)
        << FormatReportJson(named);
}

// The scripted link of RunWrites: one outcome per write, Ctrl-C after a number of writes.
std::vector<WriteOutcome> results;
size_t writes = 0;
size_t interruptAfter = 0;
WriteOutcome ScriptedWrite(int8_t, int16_t) {
    WriteOutcome confirmed;
    confirmed.kind = WriteOutcomeKind::kConfirmed;
    confirmed.error = kLinkOk;
    const size_t index = writes++;
    return index < results.size() ? results[index] : confirmed;
}
WriteOutcome Outcome(WriteOutcomeKind kind, LinkError error, int readBack = -1, uint8_t exception = 0) {
    WriteOutcome outcome;
    outcome.kind = kind;
    outcome.error = error;
    outcome.hasReadBack = readBack >= 0;
    outcome.readBack = static_cast<int16_t>(readBack);
    outcome.exceptionCode = exception;
    return outcome;
}
bool ScriptedInterrupt() { return writes >= interruptAfter; }

TEST(ConfigPlan, AStoppedWriteSequenceSaysWhatWasWrittenAndWhatMayHaveBeen) {
    const Block block;
    const ConfigSnapshot current = block.Snapshot();
    const std::vector<PlannedWrite> plan =
        PlanWrites(ApplyRequests(current, Requests({"unidade=1", "entrada=1", "limite_superior=900"})), block.words);
    ASSERT_EQ(Registers(plan), (std::vector<int>{67, 43, 27, 26, 31, 39}));
    const WriteOutcome confirmed = Outcome(WriteOutcomeKind::kConfirmed, kLinkOk);
    const WriteOutcome notConfirmed = Outcome(WriteOutcomeKind::kNotConfirmed, kLinkValueMismatch);
    const struct {
        std::vector<WriteOutcome> results;
        size_t interruptAfter;
        int code;
        size_t writes;
        std::vector<std::string> said;  // UTF-8, on standard error
        const char* notSaid;
    } rows[] = {
        {{}, 0, kExitInterrupted, 0, {"interrompido: nada foi escrito."}, "escrito: "},
        {{},
         2,
         kExitInterrupted,
         2,
         {"interrompido depois de escrever unidade, entrada; o restante"},
         "limite_superior ="},
        {{notConfirmed},
         99,
         kExitWrite,
         1,
         {"Valor retornado é diferente", "não confirmado: unidade (o transmissor pode ter recebido o valor)",
          "nenhum parâmetro antes dele foi escrito."},
         "nenhum parâmetro foi escrito"},
        {{confirmed, Outcome(WriteOutcomeKind::kNotConfirmed, kLinkValueMismatch, 3)},
         99,
         kExitWrite,
         2,
         {"não confirmado: entrada (lido 3; o transmissor", "já escritos antes da falha: unidade."},
         "limite_superior ="},
        // A request that got no answer may have been taken: never "nothing was written".
        {{Outcome(WriteOutcomeKind::kNoReply, kLinkTimeout)},
         99,
         kExitWrite,
         1,
         {"Erro na escrita da Unidade de Temperatura (Time-out)", "sem resposta: unidade pode ter sido escrito",
          "nenhum parâmetro antes dele foi escrito."},
         "nenhum parâmetro foi escrito"},
        {{confirmed, Outcome(WriteOutcomeKind::kRefused, kLinkException, -1, 3)},
         99,
         kExitWrite,
         2,
         {"recusado: entrada não foi escrito (exceção 3)", "já escritos antes da falha: unidade."},
         "pode ter"},
        {{}, 99, kExitOk, 6, {}, "interrompido"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.said.empty() ? "all written" : row.said[0]);
        results = row.results;
        writes = 0;
        interruptAfter = row.interruptAfter;
        ClearCaptured();
        EXPECT_EQ(RunWrites(plan, ScriptedWrite, ScriptedInterrupt), row.code);
        EXPECT_EQ(writes, row.writes);
        const std::string said = CapturedErr();
        for (const std::string& text : row.said) EXPECT_NE(said.find(text), std::string::npos) << said;
        EXPECT_EQ((said + CapturedOut()).find(row.notSaid), std::string::npos) << said << CapturedOut();
    }
}

}  // namespace

namespace {
struct Parsed {
    bool ok;
    std::vector<RequestedValue> requests;
    FileExtras extras;
};

Parsed ParseText(const std::string& utf8) {
    Parsed parsed;
    std::vector<std::string> problems;
    parsed.ok = ParseConfigIni(utf8, &parsed.requests, &problems, &parsed.extras);
    return parsed;
}
}  // namespace

// A file is a recipe for many transmitters: what is one transmitter's own never travels in it,
// unless a calibration backup asks for it, and then the backup names its transmitter.
TEST(ClonePlan, AddressRateSerialAndTrimsTravelOnlyInACalibrationBackupAndTheTagAlways) {
    Block block;
    block.Set(44, 7).Set(45, 3).Set(23, 1).Set(24, 2345);
    const ConfigSnapshot s = block.Snapshot();
    const CalibrationValues trims = {-120, 10050, 33, 9990};
    struct Row {
        const char* tag;
        const CalibrationValues* trims;
    } rows[] = {{"", nullptr}, {"TT-101 forno ç Ω", nullptr}, {"TT-102", &trims}};  // Ω is not in CP1252
    for (const Row& row : rows) {
        SCOPED_TRACE(row.tag);
        const std::string text = FormatConfigIni(s, "origem", row.tag, row.trims);
        const Parsed parsed = ParseText(text);
        ASSERT_TRUE(parsed.ok);
        ASSERT_EQ(static_cast<size_t>(kParameterKeyCount), parsed.requests.size());
        for (const RequestedValue& request : parsed.requests) {
            EXPECT_NE(kRegDeviceAddress, request.key->reg);
            EXPECT_NE(kRegBaudCode, request.key->reg);
        }
        EXPECT_EQ(row.tag, parsed.extras.tag);
        EXPECT_EQ(row.trims != nullptr, parsed.extras.hasSerial);
        EXPECT_EQ(row.trims != nullptr, HasAnyTrim(parsed.extras));
        if (row.trims) {
            EXPECT_EQ(s.serialNumber, parsed.extras.serialNumber);
            for (int i = 0; i < kCalibrationValueCount; ++i)
                EXPECT_EQ(trims.*kCalibrationSlots[i].field, parsed.extras.trim[i]) << kCalibrationKeys[i];
        }
    }
    EXPECT_FALSE(ParseText("[Orvi]\ntag = A\ntag = B\n").ok);
    EXPECT_FALSE(ParseText("[Orvi]\nzero_4a20 = 1\nzero_4a20 = 2\n").ok);
}

TEST(ClonePlan, TrimsGoBackOnlyToTheirOwnTransmitterWholeAndInTheSpinsRanges) {
    const CalibrationValues held = {0, 10000, 0, 10000};
    FileExtras file;
    file.hasSerial = true;
    file.serialNumber = 12345;
    for (int i = 0; i < kCalibrationValueCount; ++i) file.hasTrim[i] = true;
    file.trim[0] = -150, file.trim[1] = 10000, file.trim[2] = 40, file.trim[3] = 10000;

    std::vector<TrimWrite> plan;
    std::string message;
    EXPECT_EQ(kExitCheck, PlanTrimRestore(file, 54321, held, &plan, &message));
    EXPECT_NE(std::string::npos, message.find("00012345")) << message;
    EXPECT_NE(std::string::npos, message.find("00054321")) << message;

    ASSERT_EQ(kExitOk, PlanTrimRestore(file, 12345, held, &plan, &message)) << message;
    ASSERT_EQ(2u, plan.size()) << "only the trims that differ";
    EXPECT_EQ(0, plan[0].slot);
    EXPECT_EQ(-150, plan[0].value);
    EXPECT_EQ(2, plan[1].slot);

    FileExtras partial = file;
    partial.hasTrim[3] = false;
    EXPECT_EQ(kExitUsage, PlanTrimRestore(partial, 12345, held, &plan, &message));
    EXPECT_NE(std::string::npos, message.find("span_0a20")) << message;
    FileExtras noSerial = file;
    noSerial.hasSerial = false;
    EXPECT_EQ(kExitUsage, PlanTrimRestore(noSerial, 12345, held, &plan, &message));

    FileExtras outside = file;
    outside.trim[1] = 400;  // SPAN below the page's 500
    EXPECT_EQ(kExitUsage, PlanTrimRestore(outside, 12345, held, &plan, &message));
    outside.trim[1] = 10000;
    outside.trim[0] = 4001;  // ZERO beyond 4000
    EXPECT_EQ(kExitUsage, PlanTrimRestore(outside, 12345, held, &plan, &message));
}
