// The instrument index against real lines: three orvi-sim lines (two pseudo-terminals and one behind
// Debian's ser2net) checked at once, and a line commissioned from the index, one factory unit a row.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>

#include "network_fixture.h"
#include "orvictl_fixture.h"

namespace {

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class Plant : public Orvictl {
protected:
    // Another line: a simulator of its own on its own pseudo-terminal.
    std::unique_ptr<RunningSim> OtherLine(const std::vector<std::string>& extra) {
        std::unique_ptr<RunningSim> sim(new RunningSim(extra));
        EXPECT_TRUE(sim->Started()) << "orvi-sim did not come up";
        return sim;
    }

    double Seconds(const std::vector<std::string>& args, CtlRun* run) {
        const auto start = std::chrono::steady_clock::now();
        *run = Run(args);
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }

    std::vector<std::string> Devices(SimClient& sim) {
        std::vector<std::string> words = Words(sim.Command("devices"));
        std::sort(words.begin(), words.end());
        return words;
    }

    void TearDown() override {
        ser2net_.reset();
        lineB_.reset();
        lineC_.reset();
        Orvictl::TearDown();
    }

    std::unique_ptr<RunningSim> lineB_, lineC_;
    std::unique_ptr<RunningSer2net> ser2net_;
};

// The JSON object of a tag, on its line of the --json list.
std::string TagObject(const std::string& json, const std::string& tag) {
    for (const std::string& line : Lines(json))
        if (Has(line, "{\"tag\": \"" + tag + "\"")) return line;
    return "";
}

TEST_F(Plant, CheckNamesEachTagsStateWorkingTheLinesAtOnce) {
    Start({"--device", "2:9600"});           // line A: TT-A1 as designed, TT-A2 differs
    lineB_ = OtherLine({"--address", "3"});  // line B: TT-B3 swapped for another unit, TT-B9 missing
    lineC_ = OtherLine({});                  // line C, through ser2net: TT-C1 as designed, TT-C5 missing
    ser2net_.reset(new RunningSer2net(lineC_->Dir(), lineC_->Link(), 9600));
    ASSERT_TRUE(ser2net_->Started()) << ReadWhole(ser2net_->Log());
    SimClient& a = sim_->Control();
    // Each line's units hold what the design file says, so that only what the test changes differs.
    const int designed[][2] = {{43, 7}, {67, 0}, {26, -100}, {27, 450}, {61, 14}, {35, 4}, {31, 50}};
    const std::pair<SimClient*, int> units[] = {{&a, 1}, {&a, 2}, {&lineB_->Control(), 3}, {&lineC_->Control(), 1}};
    for (const auto& unit : units)
        for (const auto& pair : designed) unit.first->Set(unit.second, pair[0], pair[1]);
    ASSERT_EQ(0, Run({"--port", sim_->Link(), "save", "--tag", "projeto", Path("tt.ini")}).code);
    a.Set(2, 27, 400);                                            // TT-A2's upper limit is not the design's
    const std::string serialB3 = "00012345";                      // the unit the index knows
    ASSERT_EQ("OK", lineB_->Control().Command("ident 3 99999"));  // another unit where TT-B3 was

    const std::string raw = ser2net_->RawUrl();
    const std::string header = "tag;linha;endereco;taxa;configuracao;numero_serie\n";
    const std::string rowsA = "TT-A1;" + sim_->Link() + ";1;9600;tt.ini;\nTT-A2;" + sim_->Link() + ";2;9600;tt.ini;\n";
    const std::string rowsB =
        "TT-B3;" + lineB_->Link() + ";3;9600;tt.ini;" + serialB3 + "\nTT-B9;" + lineB_->Link() + ";9;9600;tt.ini;\n";
    const std::string rowsC = "TT-C1;" + raw + ";1;9600;tt.ini;00012345\nTT-C5;" + raw + ";5;9600;tt.ini;\n";
    WriteWhole(Path("a.csv"), header + rowsA);
    WriteWhole(Path("b.csv"), header + rowsB);
    WriteWhole(Path("c.csv"), header + rowsC);
    // The index in the order a plant keeps it, not line by line.
    WriteWhole(Path("plant.csv"), header + Lines(rowsB)[0] + "\n" + rowsA + Lines(rowsC)[0] + "\n" + Lines(rowsB)[1] +
                                      "\n" + Lines(rowsC)[1] + "\n");

    CtlRun run;
    double alone = 0;
    for (const char* index : {"a.csv", "b.csv", "c.csv"}) alone += Seconds({"plant", "check", Path(index)}, &run);
    const double together = Seconds({"plant", "check", Path("plant.csv")}, &run);
    EXPECT_EQ(4, run.code) << "a tag not found weighs more than a difference: " << run.err;
    EXPECT_LT(together, alone) << "the three lines, one after another, took " << alone << " s";
    // Each tag's text whole and in the index's order, whatever line finished first.
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_GE(lines.size(), 7u) << run.out;
    EXPECT_EQ(0u, lines[0].find("TT-B3 ")) << run.out;
    EXPECT_TRUE(Has(lines[0], "outro transmissor no endereço: número de série 00099999, o índice diz 00012345"))
        << lines[0];
    EXPECT_EQ(0u, lines[1].find("TT-A1 ")) << run.out;
    EXPECT_TRUE(Has(lines[1], "configuração como projetada (endereço 1, 9600 bit/s, " + sim_->Link() + ")"))
        << lines[1];
    EXPECT_EQ(0u, lines[2].find("TT-A2 ")) << run.out;
    EXPECT_TRUE(Has(lines[2], "difere do projeto: 1 parâmetro(s)")) << lines[2];
    EXPECT_TRUE(Has(lines[3], "PARÂMETRO")) << "diff's table under its tag: " << run.out;
    EXPECT_TRUE(Has(lines[4], "limite_superior") && Has(lines[4], "400") && Has(lines[4], "450")) << lines[4];
    EXPECT_EQ(0u, lines[5].find("TT-C1 ")) << run.out;
    EXPECT_TRUE(Has(lines[5], "configuração como projetada (endereço 1, 9600 bit/s, " + raw + ")")) << lines[5];
    EXPECT_EQ(0u, lines[6].find("TT-B9 ")) << run.out;
    EXPECT_TRUE(Has(lines[6], "não encontrado: ")) << lines[6];
    EXPECT_TRUE(Has(run.err, "6 tag(s) em 3 linha(s)")) << run.err;
    EXPECT_TRUE(Has(run.err, "2 como projetado(s), 1 diferente(s), 2 sem resposta, 1 com outro transmissor"))
        << run.err;

    run = Run({"plant", "check", "--json", Path("plant.csv")});
    EXPECT_EQ(4, run.code) << run.err;
    const struct {
        const char* tag;
        const char* state;
    } states[] = {{"TT-B3", "outro_transmissor"}, {"TT-A1", "ok"},          {"TT-A2", "diferente"}, {"TT-C1", "ok"},
                  {"TT-B9", "sem_resposta"},      {"TT-C5", "sem_resposta"}};
    for (const auto& state : states)
        EXPECT_TRUE(Has(TagObject(run.out, state.tag), "\"estado\": \"" + std::string(state.state) + "\""))
            << state.tag << ":\n"
            << run.out;
    EXPECT_TRUE(
        Has(TagObject(run.out, "TT-A2"), "{\"parametro\": \"limite_superior\", \"atual\": 400, \"projeto\": 450"))
        << run.out;
    EXPECT_EQ('[', run.out[0]);
    EXPECT_EQ("]", Lines(run.out).back());

    // Without the missing tags what is left differs (1); with only the designed ones, all is well (0).
    WriteWhole(Path("found.csv"), header + rowsA + Lines(rowsB)[0] + "\n" + Lines(rowsC)[0] + "\n");
    run = Run({"plant", "check", "--csv", Path("found.csv")});
    EXPECT_EQ(1, run.code) << run.err;
    ASSERT_EQ(5u, Lines(run.out).size()) << run.out;
    EXPECT_EQ("tag,estado,linha,endereco,taxa,numero_serie,diferencas,detalhe", Lines(run.out)[0]);
    EXPECT_EQ(
        0u, Lines(run.out)[2].find("TT-A2,diferente," + sim_->Link() + ",2,9600,00012346,limite_superior: 400 -> 450,"))
        << run.out;
    WriteWhole(Path("ok.csv"), header + Lines(rowsA)[0] + "\n" + Lines(rowsC)[0] + "\n");
    run = Run({"plant", "check", Path("ok.csv")});
    EXPECT_EQ(0, run.code) << run.out << run.err;
    EXPECT_TRUE(WrittenRegisters(1).empty() && WrittenRegisters(2).empty()) << "a check writes nothing";
}

TEST_F(Plant, AnIndexOrAFileThatCannotBeUsedStopsEverythingBeforeAnyLineIsTouched) {
    Start();
    WriteWhole(Path("bad.ini"), "[Orvi]\nentrada = 0\nunidade = 0\nlimite_superior = 761\n");
    WriteWhole(Path("good.ini"), "[Orvi]\nlimite_superior = 450\n");
    WriteWhole(Path("malformed.ini"), "[Orvi]\nentrada 3\n");
    const std::string link = sim_->Link();
    WriteWhole(Path("bad.csv"), "tag,linha,endereco,taxa,configuracao\nTT-1," + link + ",10,9600,good.ini\nTT-2," +
                                    link + ",11,9600,bad.ini\n");
    WriteWhole(Path("broken.csv"), "tag,linha,taxa,configuracao\nTT-1," + link + ",9600,good.ini\n");
    WriteWhole(Path("factory.csv"), "tag,linha,endereco,taxa,configuracao\nTT-1," + link + ",1,9600,good.ini\n");
    sim_->Control().ClearLog();
    const struct {
        std::vector<std::string> args;
        int code;
        const char* message;
        bool onStdout = false;  // the result of a check at the desk, rather than a message
    } cases[] = {
        {{"plant", "commission", Path("bad.csv"), "--line", link}, 5, "limite do sensor (760°C)!"},
        // Checked at the desk, each problem on its file's line, with no line opened.
        {{"check", Path("good.ini")}, 0, "1 arquivo(s) sem problemas"},
        {{"check", Path("good.ini"), Path("bad.ini")},
         5,
         "bad.ini:4: Inconsistência: O Limite Superior não pode ser maior que o limite do sensor (760°C)!",
         true},
        {{"check", Path("malformed.ini")},
         5,
         "malformed.ini:2: esperado chave = valor, encontrado \"entrada 3\"",
         true},
        {{"plant", "check", "--offline", Path("bad.csv")}, 5, "bad.ini:4: Inconsistência: O Limite Superior", true},
        {{"plant", "check", "--offline", "--csv", Path("bad.csv")}, 5, "\nTT-1,ok,good.ini,\n", true},
        {{"plant", "check", Path("bad.csv")}, 5, "bad.ini: Inconsistência: O Limite Superior"},
        {{"plant", "check", Path("broken.csv")}, 2, "broken.csv, linha 1: falta a coluna endereco no cabeçalho"},
        {{"plant", "check", Path("missing.csv")}, 7, "não foi possível ler o arquivo"},
        {{"plant", "commission", Path("bad.csv")}, 2, "dê a linha a comissionar: --line LINHA"},
        {{"plant", "commission", Path("bad.csv"), "--line", "COM9"}, 2, "nenhuma linha do índice"},
        {{"plant", "inspect", Path("bad.csv")}, 2, "subcomando desconhecido: inspect"},
        {{"plant", "commission", Path("factory.csv"), "--line", link},
         2,
         "linha 2 do índice: TT-1 no endereço de fábrica 1 não pode ser comissionado"},
        // A plain commission gets the same check before its first unit, where it used to move one first.
        {{"--port", link, "commission", "--from", "5", "--to", "6", "--config", Path("bad.ini")},
         5,
         "limite do sensor (760°C)!"},
    };
    for (const auto& c : cases) {
        const CtlRun run = Run(c.args);
        EXPECT_EQ(c.code, run.code) << c.args[1] << ": " << run.err;
        EXPECT_TRUE(Has(c.onStdout ? run.out : run.err, c.message)) << run.out << run.err;
        // Commissioning says so where it stops on a file.
        if (c.code == 5 && std::count(c.args.begin(), c.args.end(), "commission")) {
            EXPECT_TRUE(Has(run.err, "nada foi escrito")) << run.err;
        }
    }
    EXPECT_TRUE(sim_->Control().Log().empty()) << "no request reached the line";
    EXPECT_EQ("OK 1:9600", sim_->Control().Command("devices"));
}

TEST_F(Plant, CommissionPlacesEachFactoryUnitOfTheLineAndGoesOnPastOneThatFails) {
    // Row TT-2's address answers already, at another rate than the factory's: its unit must not go there.
    Start({"--device", "12:19200"});
    SimClient& sim = sim_->Control();
    const std::string link = sim_->Link();
    WriteWhole(Path("tt.ini"), "[Orvi]\nlimite_superior = 450\n");
    WriteWhole(Path("plant.csv"),
               "tag;linha;endereco;taxa;configuracao\n"
               "TT-1;" +
                   link +
                   ";10;9600;tt.ini\n"
                   "TT-X;/dev/outra;10;9600;tt.ini\n"
                   "TT-2;" +
                   link +
                   ";12;9600;tt.ini\n"
                   "TT-3;" +
                   link + ";11;19200;tt.ini\n");
    const std::string summary = Path("resumo.csv");
    const pid_t pid = Launch({"plant", "commission", Path("plant.csv"), "--line", link, "--csv", summary});
    // Each unit plugged in once the one before has left the factory address or was marked failed.
    ASSERT_TRUE(WaitFor(
        [&] {
            return Devices(sim) == std::vector<std::string>{"10:9600", "12:19200", "OK"};
        },
        std::chrono::milliseconds(15000)))
        << sim.Command("devices") << ReadWhole(Path("err"));
    ASSERT_EQ("OK", sim.Command("add 1 9600"));  // TT-2's unit, 00012347
    ASSERT_TRUE(WaitFor([&] { return Lines(ReadWhole(summary)).size() == 3; }, std::chrono::milliseconds(15000)))
        << ReadWhole(summary) << ReadWhole(Path("err"));
    // The failed unit was not moved; it leaves the line and the last one comes.
    EXPECT_EQ((std::vector<std::string>{"10:9600", "12:19200", "1:9600", "OK"}), Devices(sim));
    ASSERT_EQ("OK", sim.Command("remove 1"));
    ASSERT_EQ("OK", sim.Command("add 1 9600"));
    const CtlRun run = Finish(pid);
    EXPECT_EQ(5, run.code) << "the first failure's code: " << run.err;
    EXPECT_EQ((std::vector<std::string>{"10:9600", "11:19200", "12:19200", "OK"}), Devices(sim));
    EXPECT_EQ(450, sim.Get(10, 27));
    EXPECT_EQ(450, sim.Get(11, 27));
    const std::vector<std::string> rows = Lines(ReadWhole(summary));
    ASSERT_EQ(4u, rows.size()) << ReadWhole(summary);
    EXPECT_EQ("tag,linha,endereco,taxa,numero_serie,estado,detalhe,hora", rows[0]);
    EXPECT_EQ(0u, rows[1].find("TT-1," + link + ",10,9600,00012345,comissionado,endereço ok; 1 parâmetro(s) escritos,"))
        << rows[1];
    EXPECT_EQ(0u, rows[2].find("TT-2," + link +
                               ",12,9600,00012347,falhou,"
                               "\"o endereço 12 já responde na linha a 19200 bit/s, nada escrito\","))
        << rows[2];
    EXPECT_EQ(0u, rows[3].find("TT-3," + link + ",11,19200,00012348,comissionado,")) << rows[3];
    EXPECT_TRUE(Has(run.err, "2 de 3 tag(s) comissionado(s), 1 com falha")) << run.err;
    // Each row's tag names its unit's writes in the journal.
    const std::string journal = ReadWhole(Path("orvi/journal.jsonl"));
    for (const std::string& line : Lines(journal)) {
        const bool first = Has(line, "\"serial\":\"00012345\""), third = Has(line, "\"serial\":\"00012348\"");
        EXPECT_TRUE(first || third) << "only placed units are written: " << line;
        EXPECT_TRUE(Has(line, first ? "\"tag\":\"TT-1\"" : "\"tag\":\"TT-3\"")) << line;
    }

    // Started again on the same summary, the session passes the rows placed already and asks only for the
    // rest, the failed one too; Ctrl-C while waiting for it ends the session with 130, the summary as it was.
    WriteWhole(Path("more.csv"), "tag,linha,endereco,taxa,configuracao\nTT-1," + link + ",10,9600,tt.ini\nTT-3," +
                                     link + ",11,19200,tt.ini\nTT-2," + link + ",12,9600,tt.ini\n");
    WriteWhole(Path("err"), "");
    const pid_t waiting = Launch({"plant", "commission", Path("more.csv"), "--line", link, "--csv", summary});
    const bool asking = WaitFor([&] { return Has(ReadWhole(Path("err")), "TT-2: esperando um transmissor novo"); });
    kill(waiting, SIGINT);
    EXPECT_TRUE(asking) << ReadWhole(Path("err"));
    const CtlRun resumed = Finish(waiting);
    EXPECT_EQ(130, resumed.code);
    EXPECT_TRUE(Has(resumed.err, "TT-1: já comissionado (resumo " + summary + ", ")) << resumed.err;
    EXPECT_TRUE(Has(resumed.err, "TT-3: já comissionado (resumo " + summary + ", ")) << resumed.err;
    EXPECT_FALSE(Has(resumed.err, "TT-1: esperando") || Has(resumed.err, "TT-3: esperando")) << resumed.err;
    EXPECT_TRUE(Has(resumed.err, "0 de 3 tag(s) comissionado(s), 0 com falha, 2 já comissionado(s) antes"))
        << resumed.err;
    EXPECT_EQ(4u, Lines(ReadWhole(summary)).size()) << ReadWhole(summary);
    // A tag the index has since moved to another address was not placed there: it is asked for.
    WriteWhole(Path("moved.csv"), "tag,linha,endereco,taxa,configuracao\nTT-3," + link + ",13,19200,tt.ini\n");
    WriteWhole(Path("err"), "");
    const pid_t moved = Launch({"plant", "commission", Path("moved.csv"), "--line", link, "--csv", summary});
    EXPECT_TRUE(WaitFor([&] { return Has(ReadWhole(Path("err")), "TT-3: esperando um transmissor novo"); }))
        << ReadWhole(Path("err"));
    kill(moved, SIGINT);
    EXPECT_EQ(130, Finish(moved).code);

    // A port that goes while waiting (an adapter unplugged) ends the session, said, instead of a wait for ever.
    WriteWhole(Path("err"), "");  // the run before said it waited too
    const pid_t orphaned = Launch({"plant", "commission", Path("more.csv"), "--line", link, "--csv", summary});
    ASSERT_TRUE(WaitFor([&] { return Has(ReadWhole(Path("err")), "TT-2: esperando um transmissor novo"); }));
    EXPECT_TRUE(sim_->Stop());
    const CtlRun gone = Finish(orphaned);
    EXPECT_EQ(3, gone.code) << gone.err;
    EXPECT_TRUE(Has(gone.err, "deixou de aceitar pedidos e não abre de novo")) << gone.err;
    EXPECT_TRUE(Has(ReadWhole(summary), "TT-2," + link + ",12,9600,,falhou,a porta deixou de aceitar pedidos"))
        << ReadWhole(summary);
}

TEST_F(Plant, ScanSweepsSeveralPortsAtOnceEachWhole) {
    Start({"--device", "7:9600"});
    lineB_ = OtherLine({"--address", "4"});
    const CtlRun run = Run({"scan", "--port", sim_->Link(), "--port", lineB_->Link(), "--port", Path("none"),
                            "--addresses", "1-8", "--rates", "9600", "--csv"});
    EXPECT_EQ(3, run.code) << "a port that does not open is a failure, whatever the others found: " << run.err;
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(4u, lines.size()) << run.out;
    EXPECT_EQ("porta,endereco,taxa,numero_serie,firmware,tipo_entrada,resposta_ms,estado", lines[0]);
    EXPECT_EQ(0u, lines[1].find(sim_->Link() + ",1,9600,00012345,")) << lines[1];
    EXPECT_EQ(0u, lines[2].find(sim_->Link() + ",7,9600,00012346,")) << lines[2];
    EXPECT_EQ(0u, lines[3].find(lineB_->Link() + ",4,9600,00012345,")) << lines[3];
    EXPECT_TRUE(Has(run.err, sim_->Link() + ": 2 transmissor(es) encontrado(s)")) << run.err;
    EXPECT_TRUE(Has(run.err, lineB_->Link() + ": 1 transmissor(es) encontrado(s)")) << run.err;
    EXPECT_TRUE(Has(run.err, "não foi possível abrir a porta " + Path("none"))) << run.err;
}

}  // namespace
