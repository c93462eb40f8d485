// The real orvictl program against the real orvi-sim on a pseudo-terminal, no Wine: what reaches the
// transmitters, what the user reads and the exit codes.
#include <gtest/gtest.h>

#include "orvictl_fixture.h"

namespace {

const int kConfigRegisters[] = {26, 27, 29, 31, 35, 39, 43, 50, 61, 67};

TEST_F(Orvictl, ScanFindsTwoTransmittersAtDifferentRatesOnOneLine) {
    Start({"--device", "7:19200"});
    const CtlRun run = Run({"--port", sim_->Link(), "scan", "--addresses", "1-8", "--rates", "9600,19200"});
    EXPECT_EQ(0, run.code) << run.err;
    const std::vector<std::string> lines = Lines(run.out);
    ASSERT_EQ(3u, lines.size()) << run.out;
    const std::vector<std::string> first = Words(lines[1]);
    ASSERT_GE(first.size(), 6u) << lines[1];
    EXPECT_EQ((std::vector<std::string>{"1", "9600", "00012345", "1.11", "Termopar", "J"}),
              std::vector<std::string>(first.begin(), first.begin() + 6));
    EXPECT_EQ("7", Words(lines[2])[0]);
    EXPECT_EQ("19200", Words(lines[2])[1]);
    EXPECT_NE(std::string::npos, lines[0].find("ENDEREÇO")) << "headings in UTF-8";
}

TEST_F(Orvictl, SaveThenLoadOntoAFactoryTransmitterReproducesEveryRegisterInThePagesOrder) {
    Start({"--device", "2:9600"});
    SimClient& sim = sim_->Control();
    const int configured[][2] = {{43, 7}, {67, 1},  {26, -100}, {27, 900}, {61, 13},
                                 {35, 4}, {31, 50}, {39, 3},    {50, 1},   {29, -2}};
    for (const auto& pair : configured) sim.Set(1, pair[0], pair[1]);

    const std::string file = Path("orvi1.ini");
    CtlRun run = Run({"--port", sim_->Link(), "save", file});
    ASSERT_EQ(0, run.code) << run.err;
    EXPECT_NE(std::string::npos, ReadWhole(file).find("# Tipo de Entrada: Pt100   (-328°F a 986°F)"));

    sim.ClearLog();
    run = Run({"--port", sim_->Link(), "--address", "2", "load", file});
    ASSERT_EQ(0, run.code) << run.err;
    for (int reg : kConfigRegisters) EXPECT_EQ(sim.Get(1, reg), sim.Get(2, reg)) << "register " << reg;
    EXPECT_EQ((std::vector<int>{67, 43, 27, 26, 61, 35, 31, 50, 39, 29}), WrittenRegisters(2));
    EXPECT_TRUE(WrittenRegisters(1).empty());

    // Loading again finds nothing to change and writes nothing.
    sim.ClearLog();
    run = Run({"--port", sim_->Link(), "--address", "2", "load", file});
    EXPECT_EQ(0, run.code) << run.err;
    EXPECT_TRUE(WrittenRegisters(2).empty());
}

TEST_F(Orvictl, InconsistentLimitOrBadInputWritesNothingAndSaysWhy) {
    Start();
    const std::string inconsistent = Path("inconsistent.ini");
    WriteWhole(inconsistent, "# limits crossed\n[Orvi]\nlimite_inferior = 600\nlimite_superior = 100\n");
    const std::string malformed = Path("malformed.ini");
    WriteWhole(malformed, "[Orvi]\nentrada 3\n");
    const std::string unknown = Path("unknown.ini");
    WriteWhole(unknown, "[Orvi]\nentrada = 1\ncor = azul\n");
    struct Case {
        std::vector<std::string> args;
        int code;
        std::string message;
    } cases[] = {
        {{"load", inconsistent}, 5, "O Limite Inferior não pode ser maior que o Limite Superior!"},
        {{"set", "limite_superior=900"}, 5, "O Limite Superior não pode ser maior que o limite do sensor (760°C)!"},
        {{"load", malformed}, 2, "linha 2: esperado chave = valor"},
        {{"load", unknown}, 2, "linha 3: chave desconhecida \"cor\""},
        {{"set", "alarme_bloqueio=2"}, 2, "alarme_bloqueio = \"2\": valor não aceito"},
        {{"set", "limite_superior=40000"}, 2, "fora do intervalo de um registrador"},
        {{"set", "entrada=5", "entrada=6"}, 2, "entrada já foi dado em argumento 1"},
        {{"load", Path("missing.ini")}, 7, "não foi possível ler o arquivo"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"--port", sim_->Link()};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const CtlRun run = Run(args);
        EXPECT_EQ(c.code, run.code) << c.args[0] << " " << c.args[1] << ": " << run.err;
        EXPECT_NE(std::string::npos, run.err.find(c.message)) << run.err;
        if (c.code != 7) {
            EXPECT_NE(std::string::npos, run.err.find("nada foi escrito")) << run.err;
        }
    }
    EXPECT_TRUE(WrittenRegisters(1).empty());

    const CtlRun noPort = Run({"--port", Path("no-such-port"), "show"});
    EXPECT_EQ(3, noPort.code);
    EXPECT_NE(std::string::npos, noPort.err.find("no-such-port: o dispositivo não existe")) << noPort.err;
}

TEST_F(Orvictl, NewUnitConvertsTheTemperaturesNotGivenAsThePageDoesAndDryRunWritesNothing) {
    Start();
    SimClient& sim = sim_->Control();
    CtlRun run = Run({"--port", sim_->Link(), "set", "--dry-run", "unidade=1", "limite_superior=900"});
    EXPECT_EQ(0, run.code) << run.err;
    EXPECT_NE(std::string::npos, run.out.find("limite_inferior    0        32")) << run.out;
    EXPECT_TRUE(WrittenRegisters(1).empty());

    run = Run({"--port", sim_->Link(), "set", "unidade=1", "limite_superior=900"});
    EXPECT_EQ(0, run.code) << run.err;
    EXPECT_EQ(1, sim.Get(1, 67));
    EXPECT_EQ(32, sim.Get(1, 26));   // 0 °C
    EXPECT_EQ(900, sim.Get(1, 27));  // given: taken as it is
    EXPECT_EQ(572, sim.Get(1, 31));  // 300 °C
    EXPECT_EQ(3, sim.Get(1, 39));    // the hysteresis is a difference, as on the page: 2 °C is 3.6 °F
}

TEST_F(Orvictl, ReadBackThatDiffersStopsTheSequenceAndSaysNothingWasWritten) {
    Start();
    sim_->Control().Fault(1, "mismatch");
    const CtlRun run = Run({"--port", sim_->Link(), "set", "unidade=1", "alarme_setpoint=310"});
    EXPECT_EQ(6, run.code);
    EXPECT_NE(std::string::npos,
              run.err.find("Erro na escrita da Unidade de Temperatura (Valor retornado é diferente do valor forçado)"))
        << run.err;
    EXPECT_NE(std::string::npos, run.err.find("nenhum parâmetro foi escrito")) << run.err;
    EXPECT_EQ((std::vector<int>{67, 67, 67}), WrittenRegisters(1)) << "three tries of the unit, nothing after it";
}

TEST_F(Orvictl, MonitorCsvFollowsTheProcessValueAndTheAlarm) {
    Start();
    SimClient& sim = sim_->Control();
    sim.Set(1, 1, 123);  // held there; above the set point of 300 the "Valor máximo" alarm is on
    const std::string csv = Path("pv.csv");
    const pid_t pid = Launch({"--port", sim_->Link(), "monitor", "--interval", "0.2", "--count", "6", "--csv", csv});
    ASSERT_TRUE(WaitFor([&] { return Lines(ReadWhole(csv)).size() >= 2; })) << ReadWhole(Path("err"));
    sim.Set(1, 1, 456);
    const CtlRun run = Finish(pid);
    EXPECT_EQ(0, run.code) << run.err;

    const std::vector<std::string> rows = Lines(ReadWhole(csv));
    ASSERT_EQ(7u, rows.size());
    EXPECT_EQ("hora,valor,unidade,alarme,estado_bits,estado", rows[0]);
    EXPECT_NE(std::string::npos, rows[1].find(",123,°C,0,0,")) << rows[1];
    EXPECT_NE(std::string::npos, rows[6].find(",456,°C,1,0,")) << rows[6];
    EXPECT_EQ('T', rows[6][10]) << "timestamp first: " << rows[6];
}

TEST_F(Orvictl, AddressChangeIsConfirmedAtTheNewAddress) {
    Start();
    const CtlRun run = Run({"--port", sim_->Link(), "address", "9"});
    EXPECT_EQ(0, run.code) << run.err;
    EXPECT_NE(std::string::npos, run.out.find("Endereço alterado de 1 para 9 e confirmado")) << run.out;
    EXPECT_EQ("OK 9:9600", sim_->Control().Command("devices"));
}

TEST_F(Orvictl, SilentLineGivesTheNoReplyCodeAfterOneReadsTries) {
    Start();
    sim_->Control().Fault(1, "silent");
    const CtlRun run = Run({"--port", sim_->Link(), "show"});
    EXPECT_EQ(4, run.code);
    EXPECT_NE(std::string::npos, run.err.find("Time-out")) << run.err;
    EXPECT_EQ(3u, sim_->Control().Log().size()) << "one read of the block, three tries";
}

}  // namespace
