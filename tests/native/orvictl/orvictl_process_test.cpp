// The real orvictl program against the real orvi-sim on a pseudo-terminal, no Wine: what reaches the
// transmitters, what the user reads and the exit codes.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <dirent.h>

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
    // What Notepad writes when told "Unicode": UTF-16 with its mark.
    const std::string utf16 = Path("utf16.ini");
    WriteWhole(utf16, std::string("\xFF\xFE[\0O\0r\0v\0i\0]\0", 12));
    // UTF-8 letters and a 1252 one in one file: read either way, a letter would come out changed.
    const std::string mixed = Path("mixed.ini");
    WriteWhole(mixed, "[Orvi]\ntag = Ação \xE7\nsaida = 13\n");
    // A whole file, as save and new write them, for set --file.
    const std::string whole = Path("whole.ini");
    WriteWhole(whole,
               "[Orvi]\nentrada = 0\nunidade = 0\nlimite_inferior = 0\nlimite_superior = 600\nsaida = 14\n"
               "alarme_funcao = 5\nalarme_setpoint = 300\nalarme_histerese = 2\nalarme_bloqueio = 0\noffset = 0\n");
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
        {{"load", utf16}, 2, "utf16.ini: arquivo em UTF-16: grave-o como UTF-8"},
        {{"load", mixed}, 2, "mixed.ini: arquivo que mistura UTF-8 com outra codificação: grave-o como UTF-8"},
        {{"load", sim_->Dir()}, 7, "é uma pasta, não um arquivo"},
        {{"save", sim_->Dir()}, 7, "é uma pasta, não um arquivo"},
        {{"monitor", "--csv", sim_->Dir()}, 7, "é uma pasta, não um arquivo"},
        {{"load", "--dryrun", inconsistent}, 2, "opção desconhecida: --dryrun"},
        {{"show", "--jsno"}, 2, "opção desconhecida: --jsno"},
        {{"set", "---dry-run", "unidade=1"}, 2, "opção desconhecida: ---dry-run"},
        {{"save", "--tag", "", Path("tagged.ini")}, 2, "--tag precisa de um nome"},
        {{"journal", "--serial"}, 2, "--serial precisa de um valor"},
        {{"load", "--addresses", "1,2", "--tags", "TT-1", inconsistent}, 2, "--tags dá 1 nome(s) para 2 endereço(s)"},
        {{"load", "--tags", "TT-1", inconsistent}, 2, "--tags vale só com --addresses"},
        // At the desk: a file made or changed is checked whole before it is written.
        {{"new", "--entrada", "0", "limite_superior=900", Path("novo.ini")},
         5,
         "O Limite Superior não pode ser maior que o limite do sensor (760°C)!"},
        {{"set", "--file", whole, "alarme_histerese=871"}, 5, "A Histerese de Alarme deve estar entre 0 e 870!"},
        {{"set", "--file", Path("missing.ini"), "unidade=1"}, 7, "não foi possível ler o arquivo"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"--port", sim_->Link()};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const CtlRun run = Run(args);
        EXPECT_EQ(c.code, run.code) << c.args[0] << " " << c.args[1] << ": " << run.err;
        EXPECT_NE(std::string::npos, run.err.find(c.message)) << run.err;
        if (c.code != 7 && c.args[1].rfind("--", 0) != 0) {
            EXPECT_NE(std::string::npos, run.err.find("nada foi escrito")) << run.err;
        }
    }
    EXPECT_TRUE(WrittenRegisters(1).empty());

    const CtlRun noPort = Run({"--port", Path("no-such-port"), "show"});
    EXPECT_EQ(3, noPort.code);
    EXPECT_NE(std::string::npos, noPort.err.find("no-such-port: o dispositivo não existe")) << noPort.err;
    if (access("/dev/serial/by-id", F_OK) != 0) {  // no serial adapter here: ports says so and fails, for scripts
        const CtlRun ports = Run({"ports"});
        EXPECT_EQ(3, ports.code);
        EXPECT_NE(std::string::npos, ports.err.find("nenhuma porta serial encontrada")) << ports.err;
    }
}

// From the desk to the field: a file made from the factory configuration, changed in place and checked
// without a word on the line, then loaded; a transmitter of another firmware is named in a warning.
TEST_F(Orvictl, ADeskFileMadeByNewAndChangedBySetLoadsOntoTheTransmitterWithAWordOnItsFirmware) {
    Start();
    SimClient& sim = sim_->Control();
    sim.ClearLog();
    const std::string file = Path("tt-7.ini");
    CtlRun run = Run({"new", "--entrada", "7", "--tag", "TT-7 Ação", "alarme_funcao=5", "alarme_setpoint=100",
                      "limite_inferior=0", "limite_superior=200", file});
    ASSERT_EQ(0, run.code) << run.err;
    std::string text = ReadWhole(file);
    for (const char* line :
         {"\nentrada = 7\n", "\nunidade = 0\n", "\nsaida = 14\n", "\nalarme_histerese = 0\n", "\noffset = 0\n",
          "\nfirmware = 1.11\n", "\nmapa_registradores = 1\n", "\ntag = TT-7 Ação\n"})
        EXPECT_NE(std::string::npos, text.find(line)) << line << text;
    EXPECT_EQ(7, Run({"new", "--entrada", "1", file}).code) << "an existing file is kept without --force";
    EXPECT_EQ(text, ReadWhole(file));

    WriteWhole(file, text + "# conferido na bancada\n");
    run = Run({"set", "--file", file, "limite_superior=300"});
    ASSERT_EQ(0, run.code) << run.err;
    EXPECT_NE(std::string::npos, run.out.find("limite_superior: 200 -> 300")) << run.out;
    text = ReadWhole(file);
    for (const char* line : {"\nlimite_superior = 300\n", "\ntag = TT-7 Ação\n", "\n# conferido na bancada\n"})
        EXPECT_NE(std::string::npos, text.find(line)) << line << text;
    run = Run({"check", file});
    EXPECT_EQ(0, run.code) << run.out << run.err;
    EXPECT_TRUE(sim.Log().empty()) << "new, set --file and check never touch the line";

    ASSERT_EQ("OK", sim.Command("ident 1 12345 120"));
    run = Run({"--port", sim_->Link(), "load", file});
    ASSERT_EQ(0, run.code) << run.err;
    EXPECT_NE(std::string::npos,
              run.err.find("aviso: o arquivo foi feito para o firmware 1.11 e o transmissor tem o firmware 1.20"))
        << run.err;
    EXPECT_EQ(7, sim.Get(1, 43));
    EXPECT_EQ(300, sim.Get(1, 27));
    ASSERT_EQ("OK", sim.Command("ident 1 12345 111"));
    run = Run({"--port", sim_->Link(), "load", file});
    EXPECT_EQ(0, run.code) << run.err;
    EXPECT_EQ(std::string::npos, run.err.find("firmware")) << run.err;
}

TEST_F(Orvictl, AFullDiskLeavesTheFileSaveOrReportWouldReplaceWholeAndNoTemporaryFile) {
    Start();
    const std::string file = Path("relatório Ω.html");
    const std::string before = "<html>o relatório de ontem</html>\n";
    fileSizeLimit_ = 1024;  // less than either file takes
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"save", file}, std::vector<std::string>{"report", "--force", "--out", file}}) {
        WriteWhole(file, before);
        std::vector<std::string> args = {"--port", sim_->Link()};
        args.insert(args.end(), command.begin(), command.end());
        const CtlRun run = Run(args);
        EXPECT_EQ(7, run.code) << command[0] << ": " << run.err;
        EXPECT_NE(std::string::npos, run.err.find("o arquivo passaria do tamanho permitido")) << run.err;
        EXPECT_EQ(before, ReadWhole(file)) << command[0];
        DIR* dir = opendir(sim_->Dir().c_str());
        while (dirent* entry = readdir(dir))
            EXPECT_EQ(std::string::npos, std::string(entry->d_name).find(".tmp"))
                << command[0] << ": " << entry->d_name;
        closedir(dir);
    }
}

TEST_F(Orvictl, SavingATransmitterAgainKeepsItsFilesTagLetterForLetter) {
    Start();
    const std::string file = Path("tt101.ini");
    ASSERT_EQ(0, Run({"--port", sim_->Link(), "save", "--tag", "TT-101 Ação", file}).code);
    CtlRun again = Run({"--port", sim_->Link(), "save", file});
    ASSERT_EQ(0, again.code) << again.err;
    EXPECT_NE(std::string::npos, ReadWhole(file).find("\ntag = TT-101 Ação\n")) << ReadWhole(file);

    // A file an older editor wrote in code page 1252: its tag is read as such, journalled and kept.
    WriteWhole(file, "[Orvi]\ntag = TT-102 Ca\xE7\xE3o\nsaida = 13\n");
    again = Run({"--port", sim_->Link(), "load", file});
    ASSERT_EQ(0, again.code) << again.err;
    const std::string line = Lines(ReadWhole(Path("orvi/journal.jsonl"))).back();
    EXPECT_NE(std::string::npos, line.find("\"tag\":\"TT-102 Cação\"")) << line;
    again = Run({"--port", sim_->Link(), "save", file});
    ASSERT_EQ(0, again.code) << again.err;
    EXPECT_NE(std::string::npos, ReadWhole(file).find("\ntag = TT-102 Cação\n")) << ReadWhole(file);
}

TEST_F(Orvictl, NewUnitConvertsTheTemperaturesNotGivenAsThePageDoesAndDryRunWritesNothing) {
    Start();
    SimClient& sim = sim_->Control();
    CtlRun run = Run({"--port", sim_->Link(), "set", "--dry-run", "unidade=1", "limite_superior=900"});
    EXPECT_EQ(0, run.code) << run.err;
    EXPECT_NE(std::string::npos, run.out.find("limite_inferior    0        32")) << run.out;
    // Into tenths of a degree the hysteresis keeps its size in degrees: its number changes, and set says so.
    run = Run({"--port", sim_->Link(), "set", "--dry-run", "entrada=6"});
    EXPECT_EQ(0, run.code) << run.err;
    EXPECT_NE(std::string::npos, run.out.find("alarme_histerese   2        20 ")) << run.out;
    EXPECT_NE(std::string::npos,
              run.err.find("alarme_histerese passa de 2 para 20: a entrada 6 conta em décimos de grau"))
        << run.err;
    const std::string file = Path("unit.ini");
    WriteWhole(file, "[Orvi]\nunidade = 1\n");
    run = Run({"--port", sim_->Link(), "load", "--dry-run", file});
    EXPECT_EQ(0, run.code) << run.err;
    EXPECT_TRUE(WrittenRegisters(1).empty());

    run = Run({"--port", sim_->Link(), "set", "unidade=1", "limite_superior=900"});
    EXPECT_EQ(0, run.code) << run.err;
    EXPECT_EQ(1, sim.Get(1, 67));
    EXPECT_EQ(32, sim.Get(1, 26));   // 0 °C
    EXPECT_EQ(900, sim.Get(1, 27));  // given: taken as it is
    EXPECT_EQ(572, sim.Get(1, 31));  // 300 °C
    EXPECT_EQ(4, sim.Get(1, 39));    // the hysteresis is a difference, as on the page: 2 °C is 3.6 °F, rounded
}

TEST_F(Orvictl, ReadBackThatDiffersStopsTheSequenceAndSaysTheValueMayHaveArrived) {
    Start();
    sim_->Control().Fault(1, "mismatch");
    const CtlRun run = Run({"--port", sim_->Link(), "set", "unidade=1", "alarme_setpoint=310"});
    EXPECT_EQ(6, run.code);
    EXPECT_NE(std::string::npos,
              run.err.find("Erro na escrita da Unidade de Temperatura (Valor retornado é diferente do valor forçado)"))
        << run.err;
    // The echo confirmed the write: the transmitter may hold the value whatever it reads back.
    EXPECT_NE(std::string::npos,
              run.err.find("não confirmado: unidade (lido 2; o transmissor pode ter recebido o valor)"))
        << run.err;
    EXPECT_EQ(std::string::npos, run.err.find("nenhum parâmetro foi escrito")) << run.err;
    EXPECT_EQ((std::vector<int>{67, 67, 67}), WrittenRegisters(1)) << "three tries of the unit, nothing after it";
    // The journal says so too, with the value read back, and knows no longer what the register holds.
    const std::vector<std::string> lines = Lines(Run({"--port", sim_->Link(), "journal", "--json"}).out);
    ASSERT_EQ(1u, lines.size());
    EXPECT_NE(std::string::npos, lines[0].find("\"result\":\"não confirmado: lido 2\",\"outcome\":\"nao_confirmado\","
                                               "\"read_back\":2"))
        << lines[0];
}

TEST_F(Orvictl, SaveThenLoadOntoTheSameTransmitterTakesBackWhatThePageNeverOffersAndWritesNothing) {
    Start();
    SimClient& sim = sim_->Control();
    sim.Set(1, 35, 2);   // an alarm function the page does not offer
    sim.Set(1, 39, -5);  // and a negative hysteresis
    const std::string file = Path("odd.ini");
    CtlRun run = Run({"--port", sim_->Link(), "save", file});
    ASSERT_EQ(0, run.code) << run.err;

    sim.ClearLog();
    run = Run({"--port", sim_->Link(), "load", file});
    EXPECT_EQ(0, run.code) << run.err;
    EXPECT_NE(std::string::npos, run.out.find("Nada a mudar")) << run.out;
    EXPECT_TRUE(WrittenRegisters(1).empty());
    const std::vector<std::string> log = sim.Log();
    EXPECT_EQ(1, std::count_if(log.begin(), log.end(),
                               [](const std::string& frame) { return frame.rfind("010300000044", 0) == 0; }))
        << "one configuration read per load";

    // The same file as Notepad saves it in UTF-8, with its mark, and one value changed.
    std::string edited = ReadWhole(file);
    edited.replace(edited.find("saida = 14"), 10, "saida = 13");
    WriteWhole(file, "\xEF\xBB\xBF" + edited);
    sim.ClearLog();
    run = Run({"--port", sim_->Link(), "load", file});
    EXPECT_EQ(0, run.code) << run.err;
    EXPECT_EQ(std::vector<int>{61}, WrittenRegisters(1));

    // With no alarm function a set point is not written: set says so and fails.
    sim.Set(1, 35, 0);
    sim.ClearLog();
    run = Run({"--port", sim_->Link(), "set", "alarme_setpoint=310"});
    EXPECT_EQ(5, run.code);
    EXPECT_NE(std::string::npos, run.err.find("nada foi escrito")) << run.err;
    EXPECT_EQ(std::string::npos, run.out.find("Nada a mudar")) << run.out;
    EXPECT_TRUE(WrittenRegisters(1).empty());

    // A file that says there is no alarm records alarm values that lie dormant: nothing to change.
    const std::string dormant = Path("dormant.ini");
    WriteWhole(dormant, "[Orvi]\nalarme_funcao = 0\nalarme_setpoint = 310\nalarme_bloqueio = 1\n");
    for (const char* command : {"diff", "load"}) {
        run = Run({"--port", sim_->Link(), command, dormant});
        EXPECT_EQ(0, run.code) << command << ": " << run.err;
        EXPECT_NE(std::string::npos, run.out.find("Nada a mudar")) << command << ": " << run.out;
        EXPECT_NE(std::string::npos, run.err.find("aviso: alarme_setpoint não é escrito")) << run.err;
        EXPECT_NE(std::string::npos, run.err.find("aviso: alarme_bloqueio não é escrito")) << run.err;
    }
    EXPECT_TRUE(WrittenRegisters(1).empty());
}

TEST_F(Orvictl, CtrlCOrSigtermDuringAReadStopsTheCommandWithNothingWritten) {
    Start();
    SimClient& sim = sim_->Control();
    const std::string change = Path("change.ini");
    WriteWhole(change, "[Orvi]\nsaida = 13\nunidade = 1\n");
    const struct {
        std::vector<std::string> args;
        int signal;
        const char* said;
    } cases[] = {
        {{"load", change}, SIGINT, "interrompido: nada foi escrito"},
        {{"save", Path("saved.ini")}, SIGTERM, "interrompido: nenhum arquivo foi gravado"},
        {{"show"}, SIGINT, "interrompido"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args[0]);
        // The first reply comes after the link's time-out: the read is still under way when the signal comes.
        sim.Fault(1, "late", 1);
        sim.ClearLog();
        std::vector<std::string> args = {"--port", sim_->Link()};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const pid_t pid = Launch(args);
        ASSERT_TRUE(WaitFor([&] { return !sim.Log().empty(); }));
        kill(pid, c.signal);
        const CtlRun run = Finish(pid);
        EXPECT_EQ(130, run.code) << run.err;
        EXPECT_NE(std::string::npos, run.err.find(c.said)) << run.err;
        EXPECT_TRUE(WrittenRegisters(1).empty());
        EXPECT_EQ("", run.out);
        sim.Fault(1, "none");
    }
    EXPECT_EQ("", ReadWhole(Path("saved.ini")));
    EXPECT_EQ(14, sim.Get(1, 61));
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

TEST_F(Orvictl, MonitorWritesARowForEverySampleLostAndNeverReplacesACsvUnasked) {
    Start();
    SimClient& sim = sim_->Control();
    const std::string csv = Path("lost.csv");
    const std::vector<std::string> base = {"--port", sim_->Link(), "monitor", "--interval", "0.1", "--csv", csv};
    std::vector<std::string> args = base;
    args.insert(args.end(), {"--count", "3"});
    const pid_t pid = Launch(args);
    // Silent once the configuration is read (the header follows that read).
    ASSERT_TRUE(WaitFor([&] { return !ReadWhole(csv).empty(); })) << ReadWhole(Path("err"));
    sim.Fault(1, "silent");
    CtlRun run = Finish(pid);
    EXPECT_EQ(4, run.code) << run.err;
    EXPECT_NE(std::string::npos, run.err.find("de 3 amostras sem resposta do transmissor")) << run.err;
    std::vector<std::string> rows = Lines(ReadWhole(csv));
    ASSERT_EQ(4u, rows.size()) << ReadWhole(csv);
    EXPECT_EQ('T', rows[3][10]) << rows[3];
    EXPECT_EQ(",,,,,sem leitura: Time-out", rows[3].substr(29)) << "time with its UTC offset first: " << rows[3];

    sim.Fault(1, "none");
    args = base;
    args.insert(args.end(), {"--count", "1"});
    run = Run(args);
    EXPECT_EQ(7, run.code);
    EXPECT_NE(std::string::npos, run.err.find("lost.csv já existe: --append acrescenta as linhas, --force o substitui"))
        << run.err;
    EXPECT_EQ(4u, Lines(ReadWhole(csv)).size());

    args.push_back("--append");
    run = Run(args);
    EXPECT_EQ(0, run.code) << run.err;
    rows = Lines(ReadWhole(csv));
    ASSERT_EQ(5u, rows.size());
    EXPECT_EQ(1, std::count(rows.begin(), rows.end(), "hora,valor,unidade,alarme,estado_bits,estado"));
    // Rows under other columns would be misread: a file with another header gets none.
    std::vector<std::string> excel = args;
    excel.push_back("--excel");
    run = Run(excel);
    EXPECT_EQ(7, run.code);
    EXPECT_NE(std::string::npos, run.err.find("lost.csv não tem o cabeçalho destas colunas (hora;")) << run.err;
    EXPECT_NE(std::string::npos, run.err.find("nada foi acrescentado; --force o substitui")) << run.err;
    EXPECT_EQ(5u, Lines(ReadWhole(csv)).size());

    args.back() = "--force";
    run = Run(args);
    EXPECT_EQ(0, run.code) << run.err;
    EXPECT_EQ(2u, Lines(ReadWhole(csv)).size());
}

TEST_F(Orvictl, AddressChangeIsConfirmedAtTheNewAddress) {
    Start();
    const CtlRun run = Run({"--port", sim_->Link(), "address", "9"});
    EXPECT_EQ(0, run.code) << run.err;
    EXPECT_NE(std::string::npos, run.out.find("Endereço alterado de 1 para 9 e confirmado")) << run.out;
    EXPECT_EQ("OK 9:9600", sim_->Control().Command("devices"));
}

TEST_F(Orvictl, AnotherTransmitterAnsweringAtTheNewAddressIsNoConfirmation) {
    Start({"--device", "9:9600"});
    SimClient& sim = sim_->Control();
    // 9 keeps quiet while orvictl asks whether the address is free (three tries); 1 keeps its address
    // whatever it is told. Then 9 answers the confirming read with its own address in register 44.
    sim.Fault(9, "silent", 3);
    sim.Fault(1, "badecho");
    const CtlRun run = Run({"--port", sim_->Link(), "address", "9"});
    EXPECT_EQ(6, run.code) << run.out << run.err;
    EXPECT_NE(std::string::npos, run.err.find("não confirmado: no endereço 9, 9600 bit/s, " + sim_->Link() +
                                              " responde outro transmissor (número de série 00012346, não 00012345)"))
        << run.err;
    EXPECT_NE(std::string::npos, run.err.find("o endereço pode ter sido alterado")) << run.err;
    EXPECT_EQ(std::string::npos, run.out.find("confirmado")) << run.out;
    EXPECT_EQ("OK 1:9600 9:9600", sim.Command("devices"));
    // The journal files the write under the transmitter written, as not confirmed.
    const std::string line = Lines(ReadWhole(Path("orvi/journal.jsonl"))).back();
    EXPECT_NE(std::string::npos, line.find("\"serial\":\"00012345\"")) << line;
    EXPECT_NE(std::string::npos, line.find("\"register\":44")) << line;
    EXPECT_NE(std::string::npos, line.find("\"outcome\":\"nao_confirmado\"")) << line;
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

// ---------------------------------------------------------------------------------------------------------
// One owner of a port. Kept apart from the cases above: the refusal comes from the POSIX serial device's
// lock, which binds root too (TIOCEXCL does not, and the tests run as root).
// ---------------------------------------------------------------------------------------------------------

namespace {

TEST_F(Orvictl, SecondProgramOnAHeldPortIsRefusedAndTheFirstKeepsEverySample) {
    Start();
    const std::string csv = Path("held.csv");
    const pid_t monitor =
        Launch({"--port", sim_->Link(), "monitor", "--interval", "0.2", "--count", "5", "--csv", csv});
    ASSERT_TRUE(WaitFor([&] { return Lines(ReadWhole(csv)).size() >= 2; })) << ReadWhole(Path("err"));
    const CtlRun second = Run({"--port", sim_->Link(), "show"});
    EXPECT_EQ(3, second.code);
    EXPECT_NE(std::string::npos, second.err.find("a porta está em uso por outro programa")) << second.err;
    const CtlRun first = Finish(monitor);
    EXPECT_EQ(0, first.code) << first.err;
    EXPECT_EQ(6u, Lines(ReadWhole(csv)).size()) << "the heading and five samples";
}

}  // namespace

// ---- address and baud: an occupied address, a silent transmitter and Ctrl-C write nothing ------------

namespace {

int FunctionSixFrames(SimClient& sim) {
    int writes = 0;
    for (const std::string& frame : sim.Log()) writes += frame.substr(2, 2) == "06";
    return writes;
}

TEST_F(Orvictl, AddressOfAnotherTransmitterOnTheLineIsRefusedAndNothingIsWritten) {
    Start({"--device", "12:9600"});
    SimClient& sim = sim_->Control();
    const CtlRun run = Run({"--port", sim_->Link(), "address", "12"});
    EXPECT_EQ(5, run.code) << run.out << run.err;
    EXPECT_NE(std::string::npos, run.err.find("O endereço 12 já está em uso nesta linha")) << run.err;
    EXPECT_EQ(std::string::npos, run.out.find("confirmado")) << run.out;
    EXPECT_EQ(0, FunctionSixFrames(sim));
    EXPECT_EQ("OK 1:9600 12:9600", sim.Command("devices"));
}

TEST_F(Orvictl, RateChangeOfASilentTransmitterWritesNothingAndSaysItDidNotAnswer) {
    Start();
    SimClient& sim = sim_->Control();
    sim.Fault(1, "silent");
    const CtlRun run = Run({"--port", sim_->Link(), "baud", "2400"});
    EXPECT_EQ(4, run.code) << run.out << run.err;
    EXPECT_NE(std::string::npos, run.err.find("antes da mudança")) << run.err;
    EXPECT_EQ(0, FunctionSixFrames(sim));
}

TEST_F(Orvictl, InterruptBeforeTheAddressWriteWritesNothingAndExits130) {
    for (int signal : {SIGINT, SIGTERM}) {
        Start();
        SimClient& sim = sim_->Control();
        sim.Fault(1, "silent", 2);  // the read before the change takes three tries: the signal comes meanwhile
        const pid_t pid = Launch({"--port", sim_->Link(), "address", "9"});
        ASSERT_TRUE(WaitFor([&] { return !sim.Log().empty(); })) << "orvictl never asked the transmitter";
        kill(pid, signal);
        const CtlRun run = Finish(pid);
        EXPECT_EQ(130, run.code) << signal << ": " << run.out << run.err;
        EXPECT_NE(std::string::npos, run.err.find("nada foi escrito")) << run.err;
        EXPECT_EQ(0, FunctionSixFrames(sim)) << signal;
        EXPECT_EQ("OK 1:9600", sim.Command("devices"));
        EXPECT_TRUE(sim_->Stop());
        sim_.reset();
    }
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// Compare and clone: one transmitter's file onto another, and a calibration backup onto its own.
// ---------------------------------------------------------------------------------------------------------

namespace {

// Writes with a function code at an address, as "reg=value" for the private writes (0x71).
std::vector<std::string> FramesWithFunction(SimClient& sim, int address, const std::string& function) {
    std::vector<std::string> frames;
    for (const std::string& frame : sim.Log())
        if (std::stoi(frame.substr(0, 2), nullptr, 16) == address && frame.substr(2, 2) == function)
            frames.push_back(frame);
    return frames;
}

TEST_F(Orvictl, DiffExitCodesAndACloneLeavesTheTargetsOwnAddressRateSerialAndTrims) {
    Start({"--device", "2:9600"});
    SimClient& sim = sim_->Control();
    sim.Set(1, 27, 700);
    sim.Set(1, 35, 4);
    sim.Set(2, 24, 999);                                                             // another serial number
    const int trims1[] = {-50, 10022, 30, 9024}, trims2[] = {60, 11000, 70, 12000};  // private 21..24
    for (int i = 0; i < 4; ++i) sim.SetPrivate(1, 21 + i, trims1[i]), sim.SetPrivate(2, 21 + i, trims2[i]);
    const std::string file = Path("tt101.ini");
    CtlRun run = Run({"--port", sim_->Link(), "save", "--with-calibration", "--tag", "TT-101", file});
    ASSERT_EQ(0, run.code) << run.err;
    EXPECT_NE(std::string::npos, ReadWhole(file).find("\ntag = TT-101\n"));

    sim.ClearLog();
    run = Run({"--port", sim_->Link(), "--address", "2", "--verbose", "diff", file});
    EXPECT_EQ(1, run.code) << run.err;
    EXPECT_NE(std::string::npos, run.out.find("limite_superior")) << run.out;
    EXPECT_NE(std::string::npos, run.err.find(" -> 02 03 00 00 00 44 ")) << "the frame dump: " << run.err;
    EXPECT_TRUE(WrittenRegisters(2).empty());

    run = Run({"--port", sim_->Link(), "--address", "2", "load", "--with-calibration", file});
    EXPECT_EQ(5, run.code) << run.err;
    EXPECT_NE(std::string::npos, run.err.find("00012345")) << run.err;

    run = Run({"--port", sim_->Link(), "--address", "2", "load", file});
    ASSERT_EQ(0, run.code) << run.err;
    EXPECT_NE(std::string::npos, run.err.find("sem --with-calibration")) << run.err;
    run = Run({"--port", sim_->Link(), "--address", "2", "diff", file});
    EXPECT_EQ(0, run.code) << run.out << run.err;
    for (int reg : WrittenRegisters(2)) EXPECT_TRUE(reg != 23 && reg != 24 && reg != 44 && reg != 45) << reg;
    EXPECT_TRUE(FramesWithFunction(sim, 2, "71").empty()) << "no trim written";
    EXPECT_TRUE(WrittenRegisters(1).empty());
    for (int i = 0; i < 4; ++i) EXPECT_EQ(trims2[i], sim.GetPrivate(2, 21 + i));
    EXPECT_EQ("OK 1:9600 2:9600", sim.Command("devices"));
    EXPECT_EQ(999, sim.Get(2, 24));

    // The backup goes back onto its own transmitter, trims included; diff sees them first.
    sim.SetPrivate(1, 22, 7000);
    run = Run({"--port", sim_->Link(), "diff", "--with-calibration", file});
    EXPECT_EQ(1, run.code) << run.err;
    EXPECT_NE(std::string::npos, run.out.find("span_4a20")) << run.out;
    sim.Fault(1, "badecho");  // a trim the transmitter does not confirm is a failed load
    run = Run({"--port", sim_->Link(), "load", "--with-calibration", file});
    EXPECT_EQ(6, run.code) << run.err;
    sim.Fault(1, "none");
    run = Run({"--port", sim_->Link(), "load", "--with-calibration", file});
    ASSERT_EQ(0, run.code) << run.err;
    EXPECT_EQ(10022, sim.GetPrivate(1, 22));
    // A trim's journal line has the value it replaced, as read before the writes.
    std::string trimLine;
    for (const std::string& line : Lines(ReadWhole(Path("orvi/journal.jsonl"))))
        if (line.find("\"register\":22,") != std::string::npos) trimLine = line;
    EXPECT_NE(std::string::npos, trimLine.find("\"before\":7000,\"written\":10022,")) << trimLine;

    // Several transmitters of the line: each one tried and named, the worst outcome the exit code.
    sim.Set(2, 27, 300);
    run = Run({"--port", sim_->Link(), "load", file, "--addresses", "5,2"});
    EXPECT_EQ(4, run.code) << run.err;
    EXPECT_NE(std::string::npos, run.out.find("endereço 5: falhou")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("endereço 2: ok, 1 parâmetro(s) escritos")) << run.out;
    EXPECT_EQ(700, sim.Get(2, 27));
    // One tag names one measuring point: several addresses get none of the file's, unless --tags names each.
    EXPECT_NE(std::string::npos, run.err.find("aviso: o tag TT-101 do arquivo nomeia um ponto de medição só"))
        << run.err;
    const auto lastJournalLine = [&] { return Lines(ReadWhole(Path("orvi/journal.jsonl"))).back(); };
    EXPECT_NE(std::string::npos, lastJournalLine().find("\"address\":2,")) << lastJournalLine();
    EXPECT_EQ(std::string::npos, lastJournalLine().find("TT-101")) << lastJournalLine();
    sim.Set(2, 27, 300);
    run = Run({"--port", sim_->Link(), "load", file, "--addresses", "5,2", "--tags", "TT-105, TT-102"});
    EXPECT_EQ(4, run.code) << run.err;
    EXPECT_NE(std::string::npos, lastJournalLine().find("\"tag\":\"TT-102\"")) << lastJournalLine();
}

TEST_F(Orvictl, MonitorOfTwoTransmittersInTurnIntoOneExcelCsvWithTheAddressOfEachRow) {
    Start({"--device", "7:9600"});
    SimClient& sim = sim_->Control();
    sim.Set(7, 43, 6);  // Pt100 in tenths: 12.5
    sim.Set(7, 1, 125);
    sim.Set(1, 1, 40);
    // Serial numbers 00000011 and 00000077 (registers 23 and 24 read one behind the other).
    for (int address : {1, 7}) sim.Set(address, 23, address), sim.Set(address, 24, address);
    const std::string csv = Path("two.csv");
    const CtlRun run = Run({"--port", sim_->Link(), "monitor", "--addresses", "1,7", "--interval", "0.1", "--count",
                            "2", "--excel", "--csv", csv});
    ASSERT_EQ(0, run.code) << run.err;
    const std::string text = ReadWhole(csv);
    ASSERT_EQ("\xEF\xBB\xBF", text.substr(0, 3)) << "the mark a spreadsheet reads UTF-8 by";
    const std::vector<std::string> rows = Lines(text.substr(3));
    ASSERT_EQ(5u, rows.size()) << text;
    EXPECT_EQ("hora;fuso;endereco;numero_serie;tag;valor;unidade;alarme;estado_bits;estado", rows[0]);
    for (int i = 1; i <= 4; ++i) {
        const std::string& row = rows[static_cast<size_t>(i)];
        // dd/mm/aaaa hh:mm:ss,mmm, which a Portuguese spreadsheet takes for a date-time, then the UTC offset.
        EXPECT_TRUE(row[2] == '/' && row[5] == '/' && row[10] == ' ' && row[13] == ':' && row[19] == ',') << row;
        EXPECT_TRUE(row.compare(23, 5, ";UTC+") == 0 || row.compare(23, 5, ";UTC-") == 0) << row;
        EXPECT_EQ(i % 2 ? ";1;00000011;;40;" : ";7;00000077;;12,5;", row.substr(33, i % 2 ? 16 : 18)) << row;
    }

    // Ctrl-C during one transmitter's read ends the sweep there: the next one is not asked.
    sim.ClearLog();
    const pid_t pid = Launch({"--port", sim_->Link(), "monitor", "--addresses", "1,7", "--interval", "0.1"});
    // The sweeps have begun once 7's live values are asked for; then 1 falls silent.
    ASSERT_TRUE(WaitFor([&] {
        const std::vector<std::string> log = sim.Log();
        return std::any_of(log.begin(), log.end(),
                           [](const std::string& f) { return f.rfind("07030000000A", 0) == 0; });
    }));
    sim.Fault(1, "silent");
    sim.ClearLog();
    ASSERT_TRUE(WaitFor([&] {
        const std::vector<std::string> log = sim.Log();
        return !log.empty() && log.back().rfind("01", 0) == 0;
    }));
    kill(pid, SIGINT);
    Finish(pid);
    const std::vector<std::string> log = sim.Log();
    const auto asked =
        std::find_if(log.begin(), log.end(), [](const std::string& f) { return f.substr(0, 2) == "01"; });
    for (auto frame = asked; frame != log.end(); ++frame) EXPECT_EQ("01", frame->substr(0, 2)) << *frame;
}

TEST_F(Orvictl, TheReportTakesItsOwnTransmittersRowsOfAMonitorCsvOfSeveral) {
    Start({"--device", "7:9600"});
    SimClient& sim = sim_->Control();
    for (int address : {1, 7}) sim.Set(address, 23, address), sim.Set(address, 24, address);
    sim.Set(1, 1, 40);
    sim.Set(7, 1, 70);
    const std::string csv = Path("line.csv");
    ASSERT_EQ(0, Run({"--port", sim_->Link(), "monitor", "--addresses", "1,7", "--interval", "0.1", "--count", "3",
                      "--csv", csv})
                     .code);
    const std::string page = Path("r7.html");
    CtlRun run = Run({"--port", sim_->Link(), "--address", "7", "report", "--trend", csv, "--out", page, "--instrument",
                      "Multímetro, 42, 2020-01-01"});
    ASSERT_EQ(0, run.code) << run.err;
    const std::string html = ReadWhole(page);
    EXPECT_NE(std::string::npos, html.find("<p>3 amostras desde ")) << "7's three rows, none of 1's";
    EXPECT_NE(std::string::npos, html.find("<td>Multímetro</td>")) << "the instrument as typed, in UTF-8";
    EXPECT_NE(std::string::npos, run.err.find("aviso: a calibração do instrumento de teste venceu em 01/01/2020"))
        << run.err;

    // An earlier report stays unless --force replaces it, and the line is not asked for one that would not be written.
    const std::string earlier = ReadWhole(page);
    sim.ClearLog();
    run = Run({"--port", sim_->Link(), "--address", "7", "report", "--measured", "4,8,12,16,20", "--out", page});
    EXPECT_EQ(7, run.code) << run.err;
    EXPECT_NE(std::string::npos, run.err.find("r7.html já existe: --force o substitui")) << run.err;
    EXPECT_EQ(earlier, ReadWhole(page));
    EXPECT_TRUE(sim.Log().empty());
    // A loop as left that fails its check is reported, and the run exits 1; one that passes, 0.
    run = Run(
        {"--port", sim_->Link(), "--address", "7", "report", "--force", "--measured", "4,8,12.5,16,20", "--out", page});
    EXPECT_EQ(1, run.code) << run.err;
    EXPECT_NE(std::string::npos, run.out.find("verificação da malha: REPROVADA")) << run.out;
    EXPECT_NE(earlier, ReadWhole(page));
    run = Run(
        {"--port", sim_->Link(), "--address", "7", "report", "--force", "--measured", "4,8,12,16,20", "--out", page});
    EXPECT_EQ(0, run.code) << run.out << run.err;

    // The address now answered by another transmitter: the file holds none of its rows.
    sim.Set(7, 24, 8);
    run = Run({"--port", sim_->Link(), "--address", "7", "report", "--force", "--trend", csv, "--out", page});
    EXPECT_EQ(2, run.code) << run.err;
    EXPECT_NE(std::string::npos, run.err.find("não tem linhas deste transmissor: nenhuma linha é do endereço 7 com "
                                              "número de série 00000078"))
        << run.err;
    // A file of the other transmitters only.
    WriteWhole(csv, Lines(ReadWhole(csv))[0] + "\n" + Lines(ReadWhole(csv))[1] + "\n");
    EXPECT_EQ(2,
              Run({"--port", sim_->Link(), "--address", "7", "report", "--force", "--trend", csv, "--out", page}).code);
}

TEST_F(Orvictl, CommissionMovesEachFactoryTransmitterToTheNextFreeAddressSkippingOneInUse) {
    Start({"--device", "9:9600"});  // 9 is taken on the line already
    SimClient& sim = sim_->Control();
    const std::string config = Path("cfg.ini");
    WriteWhole(config, "[Orvi]\nlimite_superior = 450\n");
    const int untouched = sim.Get(9, 27);
    const std::string csv = Path("commission.csv");
    const pid_t pid =
        Launch({"--port", sim_->Link(), "commission", "--from", "9", "--to", "12", "--config", config, "--csv", csv});
    const auto devices = [&] {
        std::vector<std::string> words = Words(sim.Command("devices"));
        std::sort(words.begin(), words.end());
        return words;
    };
    // Each new transmitter plugged in once the one before has left the factory address.
    for (std::vector<std::string> moved :
         {std::vector<std::string>{"10:9600", "9:9600", "OK"}, {"10:9600", "11:9600", "9:9600", "OK"}}) {
        ASSERT_TRUE(WaitFor([&] { return devices() == moved; })) << sim.Command("devices");
        ASSERT_EQ("OK", sim.Command("add 1 9600"));
    }
    const CtlRun run = Finish(pid);
    EXPECT_EQ(0, run.code) << run.err;
    EXPECT_EQ((std::vector<std::string>{"10:9600", "11:9600", "12:9600", "9:9600", "OK"}), devices());
    for (int address : {10, 11, 12}) EXPECT_EQ(450, sim.Get(address, 27)) << address;
    EXPECT_EQ(untouched, sim.Get(9, 27)) << "the transmitter in use is never written";
    EXPECT_NE(std::string::npos, run.out.find("endereço 9 já está em uso na linha: pulado")) << run.out;
    const std::vector<std::string> rows = Lines(ReadWhole(csv));
    ASSERT_EQ(4u, rows.size()) << ReadWhole(csv);
    EXPECT_EQ("endereco,numero_serie,resultado", rows[0]);
    EXPECT_EQ("10,00012345,endereço ok; 1 parâmetro(s) escritos", rows[1]);
    EXPECT_EQ("12,", rows[3].substr(0, 3));

    // A move the transmitter does not confirm ends the session: never counted as done.
    ASSERT_EQ("OK", sim.Command("add 1 9600"));
    ASSERT_EQ("OK", sim.Command("fault 1 badecho"));
    const CtlRun refused = Run({"--port", sim_->Link(), "commission", "--from", "13", "--to", "14", "--csv", csv});
    EXPECT_EQ(6, refused.code) << refused.err;
    EXPECT_EQ((std::vector<std::string>{"endereco,numero_serie,resultado", "13,00012349,endereço não confirmado"}),
              Lines(ReadWhole(csv)));

    // Ctrl-C while waiting for the next transmitter ends the session there: nothing more is asked.
    sim.Fault(1, "silent");  // heard on the line, never answering
    sim.ClearLog();
    const pid_t waiting = Launch({"--port", sim_->Link(), "commission", "--from", "13", "--to", "14"});
    ASSERT_TRUE(WaitFor([&] { return !sim.Log().empty(); }));
    kill(waiting, SIGINT);
    EXPECT_EQ(0, Finish(waiting).code);
    for (const std::string& frame : sim.Log()) EXPECT_EQ(0u, frame.find("01030008")) << frame;

    // A configuration that gives no alarm differs from one without alarm only in dormant values.
    sim.Fault(1, "none");
    sim.Set(1, 35, 0);
    WriteWhole(config, "[Orvi]\nalarme_funcao = 0\nalarme_setpoint = 123\n");
    const CtlRun dormant =
        Run({"--port", sim_->Link(), "commission", "--from", "20", "--to", "20", "--config", config, "--csv", csv});
    EXPECT_EQ(0, dormant.code) << dormant.err;
    EXPECT_EQ("20,", Lines(ReadWhole(csv)).at(1).substr(0, 3));
    EXPECT_NE(std::string::npos, Lines(ReadWhole(csv)).at(1).find("endereço ok; 0 parâmetro(s) escritos"))
        << ReadWhole(csv);
}

}  // namespace
