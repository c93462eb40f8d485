// The real orvictl through real network lines: Debian's ser2net (raw and RFC 2217 accepters) and a
// Modbus TCP gateway made with libmodbus, each in front of orvi-sim's pseudo-terminal on loopback.
#include <gtest/gtest.h>

#include <algorithm>
#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "network_fixture.h"
#include "orvictl_fixture.h"
#include "scripted_tcp_server.h"

namespace {

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// A client of a loopback port, as another user of a serial device server would be.
class OtherClient {
public:
    explicit OtherClient(int port) : fd_(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<uint16_t>(port));
        connected_ = connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~OtherClient() { close(fd_); }
    bool Connected() const { return connected_; }

private:
    int fd_;
    bool connected_;
};

int UrlPort(const std::string& url) { return std::stoi(url.substr(url.rfind(':') + 1)); }

// The orvictl fixture with a network line in front of its simulator.
class OrvictlNetwork : public Orvictl {
protected:
    void StartSer2net(Ser2netUsers users = Ser2netUsers::kOne) {
        ser2net_.reset(new RunningSer2net(sim_->Dir(), sim_->Link(), 9600, users));
        ASSERT_TRUE(ser2net_->Started()) << "ser2net did not come up: " << ReadWhole(ser2net_->Log());
    }

    void StartGateway(const std::vector<std::string>& extra = {}) {
        gateway_.reset(new RunningGateway(sim_->Dir(), sim_->Link(), 9600, extra));
        ASSERT_TRUE(gateway_->Started()) << "the Modbus TCP gateway did not come up: "
                                         << ReadWhole(Path("gateway.log"));
    }

    void TearDown() override {
        gateway_.reset();
        ser2net_.reset();
        Orvictl::TearDown();
    }

    // The configuration of transmitter 1 saved through the local line, for loads over the network.
    std::string SavedConfiguration() {
        SimClient& sim = sim_->Control();
        const int configured[][2] = {{43, 7}, {67, 1}, {26, -100}, {27, 900}, {61, 13}, {35, 4}, {31, 50}};
        for (const auto& pair : configured) sim.Set(1, pair[0], pair[1]);
        const std::string file = Path("orvi1.ini");
        const CtlRun run = Run({"--port", sim_->Link(), "save", file});
        EXPECT_EQ(0, run.code) << run.err;
        sim.ClearLog();
        return file;
    }

    std::unique_ptr<RunningSer2net> ser2net_;
    std::unique_ptr<RunningGateway> gateway_;
};

const int kLoadedRegisters[] = {67, 43, 27, 26, 61, 35, 31};

TEST_F(OrvictlNetwork, RawServerShowsSavesLoadsAndScansAtItsOneRate) {
    Start({"--device", "2:9600"});
    const std::string file = SavedConfiguration();
    StartSer2net();
    const std::string url = ser2net_->RawUrl();

    // The same report as on the local line, the port's name aside.
    const CtlRun direct = Run({"--port", sim_->Link(), "show"});
    const CtlRun remote = Run({"--port", url, "show"});
    EXPECT_EQ("", direct.err) << "the local line answers the calibration and the status too";
    ASSERT_EQ(0, remote.code) << remote.err;
    std::string expected = direct.out;
    expected.replace(expected.find(sim_->Link()), sim_->Link().size(), url);
    EXPECT_EQ(expected, remote.out);

    // A reply 2.5 s late still answers its request when the network is allowed 3 s: no second try.
    sim_->Control().ClearLog();
    sim_->Control().Fault(1, "late", 1);
    CtlRun run = Run({"--port", url, "--timeout", "3000", "show"});
    EXPECT_EQ(0, run.code) << run.err;
    const std::vector<std::string> log = sim_->Control().Log();
    EXPECT_EQ(1, std::count(log.begin(), log.end(), "01030000004445F9")) << "one read of the block";

    run = Run({"--port", url, "save", Path("remote.ini")});
    EXPECT_EQ(0, run.code) << run.err;
    EXPECT_EQ(ReadWhole(file).substr(ReadWhole(file).find("[Orvi]")),
              ReadWhole(Path("remote.ini")).substr(ReadWhole(Path("remote.ini")).find("[Orvi]")));

    sim_->Control().ClearLog();
    run = Run({"--port", url, "--address", "2", "load", file});
    ASSERT_EQ(0, run.code) << run.err;
    for (int reg : kLoadedRegisters) EXPECT_EQ(sim_->Control().Get(1, reg), sim_->Control().Get(2, reg)) << reg;

    // Without --rates the scan stays at the server's rate; a list of rates is refused before any request.
    run = Run({"--port", url, "scan", "--addresses", "1-3"});
    EXPECT_EQ(0, run.code) << run.err;
    EXPECT_EQ(std::string::npos, run.out.find("19200")) << run.out;
    EXPECT_TRUE(Has(run.err, "2 transmissor(es) encontrado(s)")) << run.err;
    // --timeout is the whole wait at a silent address, the network's share included: eight empty
    // addresses at 100 ms, where the network's default allowance alone would be 500 ms each.
    const auto sweep = std::chrono::steady_clock::now();
    run = Run({"--port", url, "scan", "--addresses", "3-10", "--timeout", "100"});
    const auto took = std::chrono::steady_clock::now() - sweep;
    EXPECT_EQ(4, run.code) << run.err;
    EXPECT_LT(took, std::chrono::milliseconds(2500));
    sim_->Control().ClearLog();
    run = Run({"--port", url, "scan", "--rates", "9600,19200"});
    EXPECT_EQ(2, run.code);
    EXPECT_TRUE(Has(run.err, "servidor serial em modo raw")) << run.err;
    // A rate change would strand the transmitter at a rate the server does not speak.
    run = Run({"--port", url, "baud", "19200"});
    EXPECT_EQ(2, run.code);
    EXPECT_TRUE(Has(run.err, "Nada foi escrito")) << run.err;
    EXPECT_TRUE(WrittenRegisters(1).empty());
    EXPECT_EQ("OK 1:9600 2:9600", sim_->Control().Command("devices"));
}

TEST_F(OrvictlNetwork, Rfc2217ServerScansTwoRatesAndFollowsARateChange) {
    Start({"--device", "7:19200"});
    StartSer2net();
    const std::string url = ser2net_->Rfc2217Url();
    CtlRun run = Run({"--port", url, "scan", "--addresses", "1-8", "--rates", "9600,19200"});
    EXPECT_EQ(0, run.code) << run.err;
    EXPECT_TRUE(Has(run.out, "\n1         9600 ")) << run.out;
    EXPECT_TRUE(Has(run.out, "\n7         19200 ")) << run.out;

    // --verbose shows the Telnet side too: the rate asked for, and the line errors the server reported.
    run = Run({"--verbose", "--port", url, "show"});
    EXPECT_EQ(0, run.code) << run.err;
    EXPECT_TRUE(Has(run.err, " rede -> FF FA 2C 01 00 00 25 80 FF F0")) << run.err;
    EXPECT_TRUE(Has(run.err, "erros na linha do servidor (RFC 2217): paridade 0, enquadramento 0, sobreposição 0"))
        << run.err;

    run = Run({"--port", url, "--address", "7", "--baud", "19200", "baud", "4800"});
    EXPECT_EQ(0, run.code) << run.err;
    EXPECT_TRUE(Has(run.out, "Taxa alterada de 19200 para 4800 bit/s e confirmada")) << run.out;
    EXPECT_EQ("OK 1:9600 7:4800", sim_->Control().Command("devices"));
}

TEST_F(OrvictlNetwork, GatewayShowsAndLoadsAndNamesWhatItCouldNotRead) {
    Start({"--device", "2:9600"});
    const std::string file = SavedConfiguration();
    StartGateway();
    CtlRun run = Run({"--port", gateway_->Url(), "show"});
    EXPECT_EQ(0, run.code) << run.err;
    EXPECT_TRUE(Has(run.out, "Pt100")) << run.out;
    // The gateway's serial rate is its own: the report claims none.
    EXPECT_TRUE(Has(run.out, "endereço 1, " + gateway_->Url() + " (a taxa da linha é a do gateway)\n")) << run.out;
    EXPECT_FALSE(Has(run.out, "bit/s")) << run.out;
    // The gateway knows only the public functions: the private values are named once, the rest is shown.
    EXPECT_EQ(1u, Lines(run.err).size()) << run.err;
    EXPECT_TRUE(Has(run.err,
                    "o gateway recusou as funções próprias do transmissor (0x70 e 0x71); sem leitura: a "
                    "calibração (valores privados 21 a 24) e o estado (valor privado 4)"))
        << run.err;
    run = Run({"--port", gateway_->Url(), "show", "--json"});
    EXPECT_TRUE(Has(run.out, "\"baud\": null,")) << run.out;

    // --verbose shows the MBAP frame beside the RTU frame it carries.
    run = Run({"--verbose", "--port", gateway_->Url(), "show"});
    EXPECT_TRUE(Has(run.err, " -> 01 03 00 00 00 44 45 F9\n")) << run.err;
    EXPECT_TRUE(Has(run.err, " rede -> 00 01 00 00 00 06 01 03 00 00 00 44\n")) << run.err;

    run = Run({"--port", gateway_->Url(), "--address", "2", "load", file});
    ASSERT_EQ(0, run.code) << run.err;
    for (int reg : kLoadedRegisters) EXPECT_EQ(sim_->Control().Get(1, reg), sim_->Control().Get(2, reg)) << reg;
    EXPECT_EQ((std::vector<int>{67, 43, 27, 26, 61, 35, 31}), WrittenRegisters(2));

    run = Run({"--port", gateway_->Url(), "--address", "9", "show"});
    EXPECT_EQ(4, run.code);
    EXPECT_TRUE(Has(run.err, "o gateway não obteve resposta do endereço 9 (endereço 9, " + gateway_->Url() + ")"))
        << run.err;

    // A transmitter the gateway knows by another unit: asked by that unit, named by its address.
    run = Run({"--port", gateway_->Url(), "--address", "9", "--unit", "2", "show", "--json"});
    EXPECT_EQ(0, run.code) << run.err;
    EXPECT_TRUE(Has(run.out, "\"endereco\": 9,")) << run.out;
    run = Run({"--port", gateway_->Url(), "--address", "9", "--unit", "5", "show"});
    EXPECT_TRUE(Has(run.err, "o gateway não obteve resposta da unidade 5 (endereço 9) (endereço 9 (unidade 5), "))
        << run.err;
    // A unit means nothing to a device server, nor to a sweep that asks every address as its unit.
    EXPECT_EQ(2, Run({"--port", "tcp://127.0.0.1:1", "--unit", "2", "show"}).code);
    EXPECT_EQ(2, Run({"--port", gateway_->Url(), "--unit", "2", "scan"}).code);

    // A transmitter that leaves the line while it is watched: the rows say what the gateway said.
    const pid_t pid =
        Launch({"--port", gateway_->Url(), "--address", "2", "monitor", "--interval", "1", "--count", "3"});
    ASSERT_TRUE(WaitFor([&] { return Lines(ReadWhole(Path("out"))).size() == 2; })) << ReadWhole(Path("err"));
    sim_->Control().Command("remove 2");
    run = Finish(pid);
    EXPECT_EQ(4, run.code) << run.err;
    const std::vector<std::string> rows = Lines(run.out);
    ASSERT_EQ(4u, rows.size()) << run.out;
    EXPECT_TRUE(Has(rows[3], "sem leitura (") && Has(rows[3], "gateway")) << rows[3];
}

// A gateway answers for an absent transmitter only after its own wait on the line, and that answer
// is silence: the sweep costs about that wait an empty address, and nothing is taken for a reply.
TEST_F(OrvictlNetwork, GatewaySweepsEmptyAndPresentAddressesAtTheGatewaysPace) {
    Start({"--device", "2:9600", "--device", "7:9600"});
    const int gatewayWaitMs = 300;
    StartGateway({"--reply-timeout", std::to_string(gatewayWaitMs)});
    const auto start = std::chrono::steady_clock::now();
    const CtlRun run = Run({"--port", gateway_->Url(), "scan", "--addresses", "1-8", "--csv"});
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(0, run.code) << run.err;
    std::vector<int> found;
    for (const std::string& line : Lines(run.out))
        if (!line.empty() && isdigit(static_cast<unsigned char>(line[0]))) found.push_back(std::stoi(line));
    EXPECT_EQ((std::vector<int>{1, 2, 7}), found) << run.out;
    EXPECT_TRUE(Has(run.err, "3 transmissor(es) encontrado(s)")) << run.err;
    EXPECT_FALSE(Has(run.err, "soaram")) << run.err;
    // The target of a sweep through a gateway: 1.2 times the gateway's own wait at every address.
    EXPECT_LT(took, std::chrono::milliseconds(12 * 8 * gatewayWaitMs / 10));
}

// A gateway that drops the private functions is found out on the first one: one wait, one message.
TEST_F(OrvictlNetwork, GatewayThatDropsPrivateFunctionsCostsOneWaitAndOneMessage) {
    Start();
    StartGateway({"--private", "drop"});
    const auto start = std::chrono::steady_clock::now();
    const CtlRun run = Run({"--port", gateway_->Url(), "show"});
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(0, run.code) << run.err;
    EXPECT_TRUE(Has(run.out, "Calibração:")) << run.out;
    EXPECT_EQ(
        (std::vector<std::string>{"orvictl: aviso: o gateway não responde às funções próprias do transmissor (0x70 e "
                                  "0x71); sem leitura: a calibração (valores privados 21 a 24) e o estado "
                                  "(valor privado 4); o resto foi lido normalmente"}),
        Lines(run.err));
    // The block, one private request's wait (the gateway's default allowance) and the start.
    EXPECT_LT(took, std::chrono::milliseconds(3500));
}

// A device server adds a round trip to a reply, not a fixed half second: the sweep through ser2net
// keeps close to the sweep on the line itself.
TEST_F(OrvictlNetwork, SweepThroughSer2netKeepsThePaceOfTheLocalLine) {
    Start({"--device", "4:9600"});
    StartSer2net();
    // (ser2net serves one client a line at a time and holds the line a moment after one leaves, so
    // only the raw accepter is swept here; the bench measures RFC 2217 too.)
    auto timed = [this](const std::string& port, std::string* out) {
        const auto start = std::chrono::steady_clock::now();
        const CtlRun run = Run({"--port", port, "scan", "--addresses", "1-12", "--rates", "9600", "--csv"});
        *out = run.out + run.err;
        EXPECT_EQ(0, run.code) << run.err;
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    std::string local, raw;
    const double onTheLine = timed(sim_->Link(), &local);
    const double throughRaw = timed(ser2net_->RawUrl(), &raw);
    for (const std::string* out : {&local, &raw}) EXPECT_TRUE(Has(*out, "2 transmissor(es) encontrado(s)")) << *out;
    // The bench holds it to 1.5 times; a loaded test machine gets some room.
    EXPECT_LT(throughRaw, 1.5 * onTheLine + 0.5) << onTheLine;
}

TEST_F(OrvictlNetwork, GatewayStoppedMidSessionEndsWithAClearErrorWithinTheTimeout) {
    Start();
    StartGateway();
    const pid_t pid = Launch({"--port", gateway_->Url(), "--timeout", "800", "monitor", "--interval", "0.2"});
    ASSERT_TRUE(WaitFor([&] { return Has(ReadWhole(Path("out")), "°C"); })) << ReadWhole(Path("err"));
    const auto stopped = std::chrono::steady_clock::now();
    gateway_->Stop();
    int status = 0;
    ASSERT_TRUE(WaitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; }, std::chrono::milliseconds(5000)))
        << "orvictl still waits after the gateway stopped: " << ReadWhole(Path("err"));
    const auto took = std::chrono::steady_clock::now() - stopped;
    EXPECT_LT(took, std::chrono::milliseconds(200 + 800 + 1000)) << "one interval, the allowance and a margin";
    EXPECT_EQ(4, WEXITSTATUS(status));
    EXPECT_TRUE(Has(ReadWhole(Path("err")), "a conexão com 127.0.0.1:" + std::to_string(gateway_->Port()) + " caiu"))
        << ReadWhole(Path("err"));
    // The row of the sample it cost says why, not a time-out.
    EXPECT_TRUE(Has(ReadWhole(Path("out")), "sem leitura (conexão perdida)")) << ReadWhole(Path("out"));
}

TEST_F(OrvictlNetwork, MonitorOutlastsAGatewayThatClosesIdleConnections) {
    Start();  // for the test's folder: the transmitters are the scripted gateway's
    ServerScript script;
    script.mode = ServerMode::kCloseWhenIdle;
    script.idleMs = 1000;
    ScriptedTcpServer gateway(script);
    const CtlRun run = Run({"--port", gateway.Url(), "monitor", "--interval", "2", "--count", "3", "--csv", "-"});
    EXPECT_EQ(0, run.code) << run.err;
    const std::vector<std::string> rows = Lines(run.out);
    ASSERT_EQ(4u, rows.size()) << run.out;
    for (size_t i = 1; i < rows.size(); ++i) EXPECT_FALSE(Has(rows[i], "sem leitura")) << rows[i];
    EXPECT_EQ(2, gateway.IdleCloses());
    EXPECT_EQ(3, gateway.Connections());
}

TEST_F(OrvictlNetwork, ABusySerialServerIsQuotedAndTheNextClientWaitsItsTurn) {
    Start();
    StartSer2net();
    const std::string url = ser2net_->Rfc2217Url();
    OtherClient holder(UrlPort(url));
    ASSERT_TRUE(holder.Connected());
    const CtlRun run = Run({"--port", url, "show"});
    EXPECT_EQ(3, run.code) << run.err;
    EXPECT_TRUE(Has(run.err, "o servidor fechou a conexão: Port already in use")) << run.err;
    EXPECT_FALSE(Has(run.err, "RFC 2217?")) << run.err;
}

// A second client that kicks orvictl off (ser2net's kickolduser) while a write is out: the write may
// have reached the transmitter, is said so, and is never sent again.
TEST_F(OrvictlNetwork, AKickedSessionDuringLoadReportsTheWriteInFlight) {
    Start({"--device", "2:9600"});
    const std::string file = SavedConfiguration();
    StartSer2net(Ser2netUsers::kKickOldUser);
    const std::string url = ser2net_->Rfc2217Url();
    SimClient& sim = sim_->Control();
    sim.Command("delay 2 1500");  // time enough to come in while a write is out
    sim.ClearLog();
    const pid_t pid = Launch({"--port", url, "--address", "2", "--timeout", "3000", "load", file});
    ASSERT_TRUE(WaitFor([&] { return !WrittenRegisters(2).empty(); }, std::chrono::milliseconds(10000)))
        << ReadWhole(Path("err"));
    std::unique_ptr<OtherClient> intruder(new OtherClient(UrlPort(url)));
    ASSERT_TRUE(intruder->Connected());
    const CtlRun run = Finish(pid);
    intruder.reset();
    EXPECT_EQ(4, run.code) << run.err;
    EXPECT_TRUE(Has(run.err, "sem resposta: unidade pode ter sido escrito")) << run.err;
    EXPECT_TRUE(Has(run.err, "a conexão com 127.0.0.1:" + std::to_string(UrlPort(url)) + " caiu")) << run.err;
    EXPECT_EQ((std::vector<int>{67}), WrittenRegisters(2)) << "the write in flight went out once";
}

}  // namespace

namespace {

// Through a gateway the doctor hears the gateway's own word that nobody answered, and names it.
TEST_F(OrvictlNetwork, DoctorThroughAGatewayWithoutAPathNamesTheGateway) {
    Start();
    StartGateway({"--reply-timeout", "200"});
    const CtlRun run = Run({"--port", gateway_->Url(), "doctor", "--address", "5", "--json"});
    EXPECT_EQ(1, run.code) << run.out << run.err;
    EXPECT_TRUE(Has(run.out, "\"causa\": \"gateway_sem_caminho\"")) << run.out;
    EXPECT_TRUE(Has(run.out, "Exceções 0x0A/0x0B do gateway")) << run.out;
    const CtlRun healthy = Run({"--port", gateway_->Url(), "doctor", "--json"});
    EXPECT_EQ(0, healthy.code) << healthy.out << healthy.err;
}

}  // namespace
