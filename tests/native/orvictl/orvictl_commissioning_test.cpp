// orvictl's commissioning commands against orvi-sim: the short inventory sweep and its confirmations, and
// the journal that every write leaves.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "orvictl_fixture.h"

namespace {

class Commissioning : public Orvictl {
protected:
    // The scan's rows (after the heading) whose first word is an address.
    std::vector<std::vector<std::string>> Rows(const std::string& out) {
        std::vector<std::vector<std::string>> rows;
        const std::vector<std::string> lines = Lines(out);
        for (size_t i = 1; i < lines.size(); ++i) rows.push_back(Words(lines[i]));
        return rows;
    }

    // Requests of the whole configuration block (the confirming read) sent to an address.
    int BlockReads(int address) {
        char prefix[16];
        std::snprintf(prefix, sizeof prefix, "%02X0300000044", address);
        int count = 0;
        for (const std::string& frame : sim_->Control().Log()) count += frame.rfind(prefix, 0) == 0;
        return count;
    }

    std::string JournalFile() { return Path("orvi/journal.jsonl"); }
};

// A generous allowance where the test is not about it: a loaded test machine must not lose a transmitter.
const char kRoomyAllowance[] = "150";

TEST_F(Commissioning, ShortSweepFindsThreeTransmittersAtThreeRatesAndConfirmsEachWithTheNormalRead) {
    Start({"--device", "7:19200", "--device", "12:4800"});
    const CtlRun run = Run({"--port", sim_->Link(), "scan", "--addresses", "1-12", "--rates", "19200,9600,4800",
                            "--answer-ms", kRoomyAllowance, "--csv"});
    ASSERT_EQ(0, run.code) << run.err;
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(4u, lines.size()) << run.out;
    EXPECT_EQ("endereco,taxa,numero_serie,firmware,tipo_entrada,resposta_ms,estado", lines[0]);
    // Fastest rate first, as the sweep goes.
    const std::string expected[][3] = {
        {"7", "19200", "00012346"}, {"1", "9600", "00012345"}, {"12", "4800", "00012347"}};
    for (int i = 0; i < 3; ++i) {
        const std::string& line = lines[static_cast<size_t>(i) + 1];
        EXPECT_EQ(0u, line.find(expected[i][0] + "," + expected[i][1] + "," + expected[i][2] + ",1.11,\"Termopar J"))
            << line;
        EXPECT_NE(std::string::npos, line.find(",confirmado")) << line;
        // The answer time measured: the reply's own line time at least (7 bytes), well under the allowance.
        const size_t comma = line.rfind(',', line.rfind(',') - 1);
        const double answerMs = std::stod(line.substr(comma + 1));
        EXPECT_GT(answerMs, 0.0) << line;
        EXPECT_LT(answerMs, 150.0 + 60.0) << line;
        EXPECT_EQ(1, BlockReads(std::stoi(expected[i][0]))) << "confirmed by one normal read: " << line;
    }
    EXPECT_NE(std::string::npos, run.err.find("3 transmissor(es) encontrado(s)")) << run.err;
}

TEST_F(Commissioning, ALateAnswerIsMissedByTheDefaultAllowanceAndFoundWhenAnswerMsCoversIt) {
    Start();
    sim_->Control().Command("delay 1 120");
    // The roomy sweep first: the short one leaves a late reply on the line, which would reach the
    // next run's first request as a real line would deliver it.
    CtlRun run =
        Run({"--port", sim_->Link(), "scan", "--addresses", "1-3", "--rates", "9600", "--answer-ms", "400", "--json"});
    ASSERT_EQ(0, run.code) << run.err;
    EXPECT_NE(std::string::npos, run.out.find("\"endereco\": 1, \"taxa\": 9600, \"numero_serie\": \"00012345\""))
        << run.out;
    const size_t at = run.out.find("\"resposta_ms\": ");
    ASSERT_NE(std::string::npos, at) << run.out;
    EXPECT_GE(std::stod(run.out.substr(at + 15)), 110.0) << "the answer time as measured: " << run.out;
    EXPECT_EQ('[', run.out[0]);
    EXPECT_EQ("]", Lines(run.out).back());

    run = Run({"--port", sim_->Link(), "scan", "--addresses", "1-3", "--rates", "9600"});
    EXPECT_EQ(4, run.code) << run.out << run.err;
    EXPECT_EQ(1u, Lines(run.out).size()) << "nothing reported that the sweep did not hear in time:\n" << run.out;
}

TEST_F(Commissioning, TwoTransmittersAtOneAddressAreReportedAsAProbableDuplicate) {
    Start({"--device", "3:9600"});
    ASSERT_EQ("OK", sim_->Control().Command("twin 3"));
    const CtlRun run =
        Run({"--port", sim_->Link(), "scan", "--addresses", "1-4", "--rates", "9600", "--answer-ms", kRoomyAllowance});
    EXPECT_EQ(0, run.code) << run.err;
    const std::vector<std::vector<std::string>> rows = Rows(run.out);
    ASSERT_EQ(2u, rows.size()) << run.out;
    EXPECT_EQ("1", rows[0][0]);
    EXPECT_EQ("00012345", rows[0][2]);
    EXPECT_EQ("3", rows[1][0]);
    EXPECT_NE(std::string::npos, Lines(run.out)[2].find("provável endereço duplicado")) << run.out;
    EXPECT_NE(std::string::npos, run.err.find("1 endereço(s) com respostas que colidem")) << run.err;
}

TEST_F(Commissioning, ExpectStopsTheSweepOnceThatManyTransmittersAreFound) {
    Start({"--device", "2:9600", "--device", "9:9600"});
    const CtlRun run =
        Run({"--port", sim_->Link(), "scan", "--rates", "9600,19200", "--expect", "2", "--answer-ms", kRoomyAllowance});
    EXPECT_EQ(0, run.code) << run.err;
    const std::vector<std::vector<std::string>> rows = Rows(run.out);
    ASSERT_EQ(2u, rows.size()) << run.out;
    EXPECT_EQ("1", rows[0][0]);
    EXPECT_EQ("2", rows[1][0]);
    for (const std::string& frame : sim_->Control().Log())
        EXPECT_NE("09", frame.substr(0, 2)) << "the sweep went on past the second transmitter";
}

TEST_F(Commissioning, SaveAllSweepsLikeScanAndReadsOnlyTheAddressesThatAnswered) {
    Start({"--device", "7:9600"});
    const std::string folder = Path("linha");
    ASSERT_EQ(0, mkdir(folder.c_str(), 0700));
    const CtlRun run = Run({"--port", sim_->Link(), "--verbose", "save", "--answer-ms", "60", "--all", folder});
    ASSERT_EQ(0, run.code) << run.err;
    EXPECT_EQ(2u, Lines(run.out).size()) << run.out;
    for (const char* saved : {"/orvi-001-00012345.ini", "/orvi-007-00012346.ini"})
        EXPECT_NE(std::string::npos, ReadWhole(folder + saved).find("[Orvi]")) << saved << "\n" << run.out;
    EXPECT_EQ(1, BlockReads(1));
    EXPECT_EQ(1, BlockReads(7));
    // A silent address gets one short question (the frames sent, as --verbose shows them), never a normal
    // read and its tries.
    for (const char* silent : {" -> 05 03 00 08 00 01 ", " -> F7 03 00 08 00 01 "}) {
        size_t asked = 0;
        for (size_t at = run.err.find(silent); at != std::string::npos; at = run.err.find(silent, at + 1)) ++asked;
        EXPECT_EQ(1u, asked) << silent;
    }
    EXPECT_EQ(2, Run({"--port", sim_->Link(), "save", "--answer-ms", "60", Path("um.ini")}).code)
        << "--answer-ms is the sweep's";
}

TEST_F(Commissioning, ALoadLeavesOneJournalLinePerWriteReadBackBySerialNumber) {
    Start({"--device", "2:9600"});
    SimClient& sim = sim_->Control();
    sim.Set(2, 24, 346);  // transmitter 2 is unit 00012346
    sim.Set(1, 26, -100);
    sim.Set(1, 27, 450);
    sim.Set(1, 43, 7);
    const int before26 = sim.Get(2, 26), before27 = sim.Get(2, 27), before43 = sim.Get(2, 43);
    const std::string file = Path("orvi1.ini");
    // A tag with a letter outside CP1252 keeps it on the way through the file and the journal.
    ASSERT_EQ(0, Run({"--port", sim_->Link(), "save", "--tag", "TT-101 Ω", file}).code);
    sim.ClearLog();
    const CtlRun load = Run({"--port", sim_->Link(), "--address", "2", "load", file});
    ASSERT_EQ(0, load.code) << load.err;
    EXPECT_EQ(std::string::npos, load.err.find("diário")) << "a journal written is not warned about: " << load.err;
    const std::vector<int> written = WrittenRegisters(2);
    ASSERT_FALSE(written.empty());
    EXPECT_EQ(written.size(), Lines(ReadWhole(JournalFile())).size()) << ReadWhole(JournalFile());

    CtlRun journal = Run({"--port", sim_->Link(), "journal", "--serial", "12346", "--json"});
    ASSERT_EQ(0, journal.code) << journal.err;
    const std::vector<std::string> lines = Lines(journal.out);
    ASSERT_EQ(written.size(), lines.size()) << journal.out;
    const std::string expected[][2] = {
        {"\"register\":26", "\"before\":" + std::to_string(before26) + ",\"written\":-100"},
        {"\"register\":27", "\"before\":" + std::to_string(before27) + ",\"written\":450"},
        {"\"register\":43", "\"before\":" + std::to_string(before43) + ",\"written\":7"}};
    for (const auto& pair : expected) {
        bool seen = false;
        for (const std::string& line : lines)
            if (line.find(pair[0]) != std::string::npos) {
                seen = true;
                EXPECT_NE(std::string::npos, line.find(pair[1])) << line;
            }
        EXPECT_TRUE(seen) << pair[0] << " not journalled:\n" << journal.out;
    }
    for (const std::string& line : lines) {
        EXPECT_NE(std::string::npos, line.find("\"program\":\"orvictl\"")) << line;
        EXPECT_NE(std::string::npos, line.find("\"port\":\"" + sim_->Link() + "\"")) << line;
        EXPECT_NE(std::string::npos, line.find("\"rate\":9600,\"address\":2,\"serial\":\"00012346\"")) << line;
        EXPECT_NE(std::string::npos, line.find("\"result\":\"confirmado\",\"outcome\":\"confirmado\"")) << line;
        EXPECT_NE(std::string::npos, line.find("\"tag\":\"TT-101 Ω\"")) << line;
        EXPECT_EQ(0u, line.find("{\"time\":\"20")) << line;
    }
    // The other transmitter was only read: nothing of it in the journal.
    journal = Run({"--port", sim_->Link(), "journal", "--serial", "00012345"});
    EXPECT_EQ(1u, Lines(journal.out).size()) << journal.out;
    // The table names the parameters as the file and set do.
    journal = Run({"--port", sim_->Link(), "journal", "--since", "2000-01-01"});
    EXPECT_NE(std::string::npos, journal.out.find("limite_inferior")) << journal.out;
    EXPECT_NE(std::string::npos, journal.out.find("TT-101 Ω")) << journal.out;
    // An address change is journalled under the transmitter's serial number too, with the old address.
    ASSERT_EQ(0, Run({"--port", sim_->Link(), "--address", "2", "address", "5"}).code);
    journal = Run({"--port", sim_->Link(), "journal", "--serial", "00012346", "--json"});
    const std::string moved = Lines(journal.out).back();
    EXPECT_NE(std::string::npos, moved.find("\"register\":44")) << moved;
    EXPECT_NE(std::string::npos, moved.find("\"before\":2,\"written\":5")) << moved;
    // A rate change in bit/s, as people read rates, not the codes register 45 holds.
    ASSERT_EQ(0, Run({"--port", sim_->Link(), "--address", "5", "baud", "19200"}).code);
    journal = Run({"--port", sim_->Link(), "journal", "--serial", "00012346", "--json"});
    const std::string rate = Lines(journal.out).back();
    EXPECT_NE(std::string::npos, rate.find("\"key\":\"taxa\",\"register\":45,\"before\":9600,\"written\":19200,"))
        << rate;
    journal = Run({"--port", sim_->Link(), "journal", "--serial", "00012346"});
    const std::vector<std::string> table = Words(Lines(journal.out).back());
    EXPECT_EQ((std::vector<std::string>{"taxa", "9600", "19200", "confirmado"}),
              std::vector<std::string>(table.end() - 4, table.end()))
        << journal.out;
}

TEST_F(Commissioning, AJournalThatCannotBeWrittenIsReportedAndTheWriteStillMade) {
    Start();
    // A file where the journal's folder should be: no folder can be made there.
    WriteWhole(Path("orvi"), "not a folder");
    const CtlRun run = Run({"--port", sim_->Link(), "set", "offset=3"});
    EXPECT_EQ(0, run.code) << run.err;
    EXPECT_EQ(3, sim_->Control().Get(1, 29));
    EXPECT_NE(std::string::npos, run.err.find("o diário de escritas não pôde ser gravado")) << run.err;
}

}  // namespace
