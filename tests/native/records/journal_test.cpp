// The journal's lines: written and read back, damaged lines passed over, the selection, and appends
// from two processes at once.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "comm_settings.h"
#include "config_snapshot.h"
#include "journal.h"
#include "line.h"
#include "native_platform.h"
#include "records_platform.h"
#include "scripted_serial_device.h"
#include "serial_port.h"
#include "transactions.h"
#include "write_journal.h"

namespace {

JournalEntry Sample() {
    JournalEntry e;
    e.time = "2026-12-08T14:05:09Z";
    e.user = "técnica";  // UTF-8 from the platform
    e.machine = "bancada-2";
    e.program = "orvictl";
    e.port = "/dev/ttyUSB0";
    e.rate = 9600;
    e.address = 12;
    e.serial = "00012345";
    e.tag = "TT-101 \"forno\"\\linha\n2";
    e.key = "limite_inferior";
    e.reg = 26;
    e.hasBefore = true;
    e.before = -100;
    e.written = 900;
    e.result = "ok";
    return e;
}

TEST(Journal, ALineIsOneJsonObjectThatReadsBackAsWritten) {
    const JournalEntry e = Sample();
    const std::string line = JournalLine(e);
    ASSERT_EQ('\n', line.back());
    EXPECT_EQ(std::string::npos, line.substr(0, line.size() - 1).find('\n')) << "a newline in a text stays escaped";
    JournalEntry back;
    ASSERT_TRUE(ParseJournalLine(line.substr(0, line.size() - 1), &back)) << line;
    EXPECT_EQ(e.tag, back.tag);
    EXPECT_EQ(e.user, back.user);
    EXPECT_EQ(e.port, back.port);
    EXPECT_EQ(e.rate, back.rate);
    EXPECT_EQ(e.address, back.address);
    EXPECT_EQ(e.reg, back.reg);
    EXPECT_TRUE(back.hasBefore);
    EXPECT_EQ(-100, back.before);
    EXPECT_EQ(900, back.written);

    // The outcome travels with its read-back and exception code; a line of an older version has only
    // its result text, which still tells the outcome.
    JournalEntry refused = e;
    refused.exception = 2;
    SetJournalOutcome(&refused, JournalOutcome::kRefused, "");
    ASSERT_TRUE(ParseJournalLine(JournalLine(refused), &back));
    EXPECT_EQ("recusado: exceção 2", back.result);
    EXPECT_EQ(JournalOutcome::kRefused, OutcomeOfEntry(back));
    EXPECT_EQ(2, back.exception);
    JournalEntry differs = e;
    differs.hasReadBack = true;
    differs.readBack = -3;
    SetJournalOutcome(&differs, JournalOutcome::kNotConfirmed, "");
    ASSERT_TRUE(ParseJournalLine(JournalLine(differs), &back));
    EXPECT_EQ("não confirmado: lido -3", back.result);
    EXPECT_EQ(JournalOutcome::kNotConfirmed, OutcomeOfEntry(back));
    EXPECT_TRUE(back.hasReadBack);
    EXPECT_EQ(-3, back.readBack);
    SetJournalOutcome(&differs, JournalOutcome::kNoReply, "Time-out");
    EXPECT_EQ("sem resposta: pode ter sido escrito (Time-out)", differs.result);
    const struct {
        const char* result;
        JournalOutcome outcome;
    } older[] = {{"ok", JournalOutcome::kConfirmed},
                 {"Valor retornado é diferente do valor forçado", JournalOutcome::kNotConfirmed},
                 {"Resposta de execução do escravo", JournalOutcome::kRefused},
                 {"Time-out", JournalOutcome::kNoReply},
                 {"CRC inválido", JournalOutcome::kNoReply}};
    for (const auto& row : older) {
        JournalEntry old = e;
        old.result = row.result;
        EXPECT_EQ(row.outcome, OutcomeOfEntry(old)) << row.result;
    }

    // Control characters travel as \u escapes and any \u escape reads back as the UTF-8 it stands for.
    JournalEntry control = e;
    control.tag = "a\x01b";
    ASSERT_TRUE(ParseJournalLine(JournalLine(control), &back));
    EXPECT_EQ("a\x01b", back.tag);
    ASSERT_TRUE(ParseJournalLine("{\"time\":\"x\",\"written\":1,\"tag\":\"\\u0041\\u00e7\\u03a9\"}", &back));
    EXPECT_EQ("AçΩ", back.tag);
    // Bytes that are not UTF-8 (older versions copied a CP1252 file's tag as it was) read and are
    // written as U+FFFD, rather than spoil the line.
    ASSERT_TRUE(ParseJournalLine("{\"time\":\"x\",\"written\":1,\"tag\":\"forno \xE7\xE3o\xED\xA0\x80\"}", &back));
    EXPECT_EQ("forno \uFFFD\uFFFDo\uFFFD\uFFFD\uFFFD", back.tag) << "a surrogate's bytes are not UTF-8 either";
    control.tag =
        "a\xFF"
        "b";
    ASSERT_TRUE(ParseJournalLine(JournalLine(control), &back));
    EXPECT_EQ("a\uFFFDb", back.tag);

    // A rate change of an older version, which wrote the register's codes, reads in bit/s as today's do.
    ASSERT_TRUE(
        ParseJournalLine("{\"time\":\"x\",\"key\":\"taxa\",\"register\":45,\"before\":3,\"written\":4,"
                         "\"read_back\":0}",
                         &back));
    EXPECT_EQ(9600, back.before);
    EXPECT_EQ(19200, back.written);
    EXPECT_EQ(1200, back.readBack);
    JournalEntry rate = e;
    rate.reg = 45, rate.before = 9600, rate.written = 7;
    ASSERT_TRUE(ParseJournalLine(JournalLine(rate), &back));
    EXPECT_EQ(9600, back.before);
    EXPECT_EQ(7, back.written) << "a value that is no code stays as written";

    JournalEntry unknown = e;
    unknown.hasBefore = false;
    const std::string nullLine = JournalLine(unknown);
    EXPECT_NE(std::string::npos, nullLine.find("\"before\":null"));
    ASSERT_TRUE(ParseJournalLine(nullLine, &back));
    EXPECT_FALSE(back.hasBefore);
}

TEST(Journal, DamagedLinesArePassedOverAndCounted) {
    const std::string good = JournalLine(Sample());
    const std::string text = good + "{\"time\":\"2026-12-08T14:06:00Z\",\"written\":" + "\n" +  // cut short
                             "not json\n" + "{\"time\":\"2026-12-08T14:06:00Z\"}\n" +           // nothing written
                             "\n" + good.substr(0, good.size() - 1) + "\r\n" + "{\"time\":\"2026-12-08T14:07" +
                             good;  // a torn line with a whole one glued to it
    int damaged = 0;
    const std::vector<JournalEntry> entries = SelectJournalEntries(text, JournalFilter(), &damaged);
    EXPECT_EQ(3u, entries.size());
    EXPECT_EQ(4, damaged);
    JournalEntry e;
    EXPECT_FALSE(ParseJournalLine("{\"time\":\"x\",\"written\":1} trailing", &e));
    EXPECT_FALSE(ParseJournalLine("{\"time\":\"x\",\"written\":\"1\"}", &e)) << "a number in quotes";
    EXPECT_TRUE(ParseJournalLine("{\"written\":1,\"extra\":true,\"time\":\"x\"}", &e) == false)
        << "only strings, numbers and null are read";
}

TEST(Journal, SelectionBySerialNumberAndSinceDate) {
    JournalEntry a = Sample(), b = Sample(), c = Sample();
    b.serial = "00054321";
    b.time = "2026-12-09T08:00:00Z";
    c.time = "2026-12-10T23:59:59Z";
    const std::string text = JournalLine(a) + JournalLine(b) + JournalLine(c);
    int damaged = 0;
    JournalFilter filter;
    filter.serial = "12345";  // leading zeros do not matter
    EXPECT_EQ(2u, SelectJournalEntries(text, filter, &damaged).size());
    filter.serial = "123450";
    EXPECT_EQ(0u, SelectJournalEntries(text, filter, &damaged).size());
    filter.serial.clear();
    filter.since = "2026-12-09";
    EXPECT_EQ(2u, SelectJournalEntries(text, filter, &damaged).size());
    filter.since = "2026-12-09T08:00Z";
    EXPECT_EQ(2u, SelectJournalEntries(text, filter, &damaged).size()) << "the minute itself is included";
    filter.since = "2026-12-09T08:01";
    EXPECT_EQ(1u, SelectJournalEntries(text, filter, &damaged).size());

    for (const char* good : {"2026-12-09", "2026-12-09T08:00", "2026-12-09T08:00:05Z"})
        EXPECT_TRUE(ValidSinceText(good)) << good;
    for (const char* bad : {"09/12/2026", "2026-13-01", "2026-12-09T8:00", "2026-12-09 08:00", "2026-12-09T08:00:5"})
        EXPECT_FALSE(ValidSinceText(bad)) << bad;
}

TEST(Journal, TimesAreUtcIso8601) {
    EXPECT_EQ("1970-01-01T00:00:00Z", IsoUtcTime(0));
    EXPECT_EQ("2000-02-29T23:59:59Z", IsoUtcTime(951868799));
    EXPECT_EQ("2026-12-08T14:05:09Z", IsoUtcTime(1796738709));
}

// Two processes appending at once: each line whole, none lost.
TEST(Journal, TwoProcessesAppendingAtOnceLoseNoLine) {
    char folder[] = "/tmp/orvi-journal-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(folder));
    const std::string path = std::string(folder) + "/state/orvi/journal.jsonl";
    const int kLines = 400;
    pid_t children[2];
    for (int child = 0; child < 2; ++child) {
        children[child] = fork();
        if (children[child] == 0) {
            JournalEntry e = Sample();
            e.program = child ? "Orvi.exe" : "orvictl";
            e.tag = std::string(3000, child ? 'b' : 'a');  // long lines, so that a torn write would show
            int failures = 0;
            for (int i = 0; i < kLines; ++i) {
                e.written = i;
                std::string problem;
                failures += !AppendJournalEntryTo(path, e, &problem);
            }
            _exit(failures ? 1 : 0);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    std::string text, problem;
    ASSERT_TRUE(ReadJournalText(path, &text, &problem)) << problem;
    int damaged = 0;
    const std::vector<JournalEntry> entries = SelectJournalEntries(text, JournalFilter(), &damaged);
    EXPECT_EQ(0, damaged);
    ASSERT_EQ(2u * kLines, entries.size());
    std::set<std::pair<std::string, int>> seen;
    for (const JournalEntry& e : entries) {
        EXPECT_EQ(std::string(3000, e.program == "Orvi.exe" ? 'b' : 'a'), e.tag);
        seen.insert({e.program, e.written});
    }
    EXPECT_EQ(2u * kLines, seen.size());
    std::remove(path.c_str());
}

// A full disk tears a line; the next append starts on a line of its own, so only the torn one is lost.
TEST(Journal, ALineTornByAFullDiskCostsOnlyItself) {
    char folder[] = "/tmp/orvi-journal-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(folder));
    const std::string path = std::string(folder) + "/journal.jsonl";
    std::string problem;
    ASSERT_TRUE(AppendJournalEntryTo(path, Sample(), &problem)) << problem;
    struct stat about {};
    ASSERT_EQ(0, stat(path.c_str(), &about));
    const pid_t child = fork();
    if (child == 0) {
        // Room for 40 more bytes: the write stops there, as on a full disk.
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit = {static_cast<rlim_t>(about.st_size + 40), static_cast<rlim_t>(about.st_size + 40)};
        setrlimit(RLIMIT_FSIZE, &limit);
        std::string why;
        _exit(AppendJournalEntryTo(path, Sample(), &why) ? 0 : 3);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 3) << "the short write is reported";
    JournalEntry last = Sample();
    last.written = 901;
    ASSERT_TRUE(AppendJournalEntryTo(path, last, &problem)) << problem;
    std::string text;
    ASSERT_TRUE(ReadJournalText(path, &text, &problem)) << problem;
    int damaged = 0;
    const std::vector<JournalEntry> entries = SelectJournalEntries(text, JournalFilter(), &damaged);
    ASSERT_EQ(2u, entries.size()) << text;
    EXPECT_EQ(901, entries[1].written);
    EXPECT_EQ(1, damaged);
    EXPECT_EQ(text.size() - JournalLine(last).size(), text.rfind("\n" + JournalLine(last)) + 1) << "a line of its own";
    std::remove(path.c_str());
}

TEST(Journal, AMissingJournalReadsAsEmptyAndAnUnwritablePlaceIsReported) {
    std::string text = "x", problem;
    EXPECT_TRUE(ReadJournalText("/nonexistent-orvi/journal.jsonl", &text, &problem));
    EXPECT_TRUE(text.empty());
    EXPECT_FALSE(AppendJournalEntryTo("/proc/orvi/journal.jsonl", Sample(), &problem));
    EXPECT_NE(std::string::npos, problem.find("/proc/orvi/journal.jsonl")) << problem;
}

// The journal of a program's writes over the link: each line's value before is what this transmitter
// was read or confirmed to hold; a write that left the register unknown leaves the next line no value
// before; a refused one changes nothing.
TEST(WriteJournal, EachLineHasItsOutcomeAndAValueBeforeOnlyWhereTheTransmitterIsKnownToHoldIt) {
    char folder[] = "/tmp/orvi-journal-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(folder));
    setenv("XDG_STATE_HOME", folder, 1);
    ResetNativePlatform();
    ASSERT_EQ(1, OpenPort());
    uint16_t block[kConfigBlockWords] = {};
    block[23] = 12, block[24] = 345, block[27] = 500;  // serial 12345, upper limit 500
    ConfigSnapshot held = DecodeConfiguration(block);
    StartWriteJournal(
        "teste", [] { return std::string("porta"); }, nullptr);
    JournalSetTransmitter(&held);

    const auto reply = [](uint16_t word) {
        return WithCrc({1, 3, 2, static_cast<uint8_t>(word >> 8), static_cast<uint8_t>(word)});
    };
    const Bytes refused = WithCrc({1, 0x86, 0x02, 0, 0, 0});
    const struct {
        std::function<Bytes(const Bytes&)> answer;
        const char* outcome;
        const char* before;
    } writes[] = {
        {[&](const Bytes& r) { return r[1] == 6 ? r : reply(450); }, "confirmado", "500"},
        {[&](const Bytes&) { return refused; }, "recusado", "450"},
        {[&](const Bytes& r) { return r[1] == 6 ? r : reply(7); }, "nao_confirmado", "450"},
        {[](const Bytes&) { return Bytes(); }, "sem_resposta", "7"},
        {[&](const Bytes& r) { return r[1] == 6 ? r : reply(400); }, "confirmado", "null"},
        {[&](const Bytes& r) { return r[1] == 6 ? r : reply(300); }, "confirmado", "400"},
    };
    const int16_t values[] = {450, 460, 470, 480, 400, 300};
    for (size_t i = 0; i < sizeof values / sizeof values[0]; ++i) {
        TestDevice().answer = writes[i].answer;
        WriteRegister(27, values[i]);
    }
    SetWriteObserver(nullptr);
    JournalSetTransmitter(nullptr);
    std::string text, problem;
    ASSERT_TRUE(ReadJournalText(JournalPath(), &text, &problem)) << problem;
    int damaged = 0;
    const std::vector<JournalEntry> entries = SelectJournalEntries(text, JournalFilter(), &damaged);
    ASSERT_EQ(6u, entries.size()) << text;
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::string line = JournalLine(entries[i]);
        EXPECT_EQ(writes[i].outcome, entries[i].outcome) << line;
        EXPECT_NE(std::string::npos, line.find(std::string("\"before\":") + writes[i].before + ",")) << line;
        EXPECT_EQ("00012345", entries[i].serial) << line;
        EXPECT_EQ(commSettings.deviceAddress, entries[i].address) << line;
    }
    unsetenv("XDG_STATE_HOME");
    std::remove(JournalPath().c_str());
}

// A line of orvictl's own brings the output trims its session read: a trim's line has the value it
// replaced, and a write that leaves the trim unknown leaves the next one without.
TEST(WriteJournal, ATrimWriteHasTheTrimAsReadBeforeUntilAWriteLeavesItUnknown) {
    char folder[] = "/tmp/orvi-journal-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(folder));
    setenv("XDG_STATE_HOME", folder, 1);
    ScriptedSerialDevice device;
    ScriptedClock clock(device);
    Line line(device, &clock);
    device.openable.insert("COM3");
    std::snprintf(line.settings.portName, sizeof line.settings.portName, "COM3");
    line.settings.deviceAddress = 1;
    line.settings.baudRate = 9600;
    ASSERT_EQ(1, OpenPort(line));
    ConfigSnapshot held = {};
    held.serialNumber = 12345;
    HeldTrims trims;
    trims.values.gain4to20 = 10000;  // private value 22, read; 21 never was
    trims.known[1] = true;
    StartWriteJournal(
        "teste", [] { return std::string("COM3"); }, nullptr);
    JournalWritesOf(line, &held, &trims);

    uint16_t kept = 0;
    const auto transmitter = [&kept](const Bytes& r) {
        if (r[1] == 0x71) kept = static_cast<uint16_t>((r[4] << 8) | r[5]);
        return r[1] == 0x71 ? r : WithCrc({1, 0x70, static_cast<uint8_t>(kept >> 8), static_cast<uint8_t>(kept)});
    };
    const struct {
        int8_t address;
        int16_t value;
        bool answers;
        const char* before;
    } writes[] = {{22, 10100, true, "10000"},
                  {22, 10200, false, "10100"},
                  {22, 10300, true, "null"},
                  {22, 10400, true, "10300"},
                  {21, 5, true, "null"}};
    for (const auto& write : writes) {
        device.answer =
            write.answers ? std::function<Bytes(const Bytes&)>(transmitter) : [](const Bytes&) { return Bytes(); };
        WritePrivateAndReadBack(line, write.address, write.value);
    }
    SetWriteObserver(nullptr);
    std::string text, problem;
    ASSERT_TRUE(ReadJournalText(JournalPath(), &text, &problem)) << problem;
    int damaged = 0;
    const std::vector<JournalEntry> entries = SelectJournalEntries(text, JournalFilter(), &damaged);
    ASSERT_EQ(5u, entries.size()) << text;
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::string written = JournalLine(entries[i]);
        EXPECT_NE(std::string::npos, written.find(std::string("\"before\":") + writes[i].before + ",")) << written;
        EXPECT_EQ("00012345", entries[i].serial) << written;
    }
    unsetenv("XDG_STATE_HOME");
    std::remove(JournalPath().c_str());
}

}  // namespace
