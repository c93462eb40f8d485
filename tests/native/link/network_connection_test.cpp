// Network connections as they really go: the real sockets and network device against the scripted
// server on loopback (idle closes, busy servers, floods, resets, an RFC 2217 server that keeps a
// setting) and a name server that does not answer.
#include <gtest/gtest.h>

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <dlfcn.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include "comm_settings.h"
#include "frame_codec.h"
#include "frame_observer.h"
#include "mbap_codec.h"
#include "native_platform.h"
#include "network_wait.h"
#include "scripted_tcp_server.h"
#include "serial_port.h"
#include "sim_process.h"
#include "tcp_connection.h"
#include "tcp_serial_device.h"
#include "transactions.h"

// The system's name lookup, with three names that stand for a name server's answers: one that
// never comes (within these tests), one that says there is no such name, one that says "try again".
extern "C" int getaddrinfo(const char* node, const char* service, const addrinfo* hints, addrinfo** result) {
    const std::string name = node ? node : "";
    if (name == "silent-resolver.test") {
        std::this_thread::sleep_for(std::chrono::seconds(5));
        return EAI_AGAIN;
    }
    if (name == "no-such-host.test") return EAI_NONAME;
    if (name == "busy-resolver.test") return EAI_AGAIN;
    typedef int (*Lookup)(const char*, const char*, const addrinfo*, addrinfo**);
    static const Lookup system = reinterpret_cast<Lookup>(dlsym(RTLD_NEXT, "getaddrinfo"));
    return system(node, service, hints, result);
}

namespace {
using Clock = std::chrono::steady_clock;

long MsSince(Clock::time_point start) {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

bool Contains(const Bytes& stream, const Bytes& part) {
    return std::search(stream.begin(), stream.end(), part.begin(), part.end()) != stream.end();
}

long Occurrences(const Bytes& stream, const Bytes& part) {
    long count = 0;
    for (auto at = stream.begin(); (at = std::search(at, stream.end(), part.begin(), part.end())) != stream.end(); ++at)
        ++count;
    return count;
}

// The descriptor of this process's connection to a loopback port (the tests look at its options).
int ClientSocketTo(int port) {
    for (int fd = 3; fd < 1024; ++fd) {
        sockaddr_in peer{};
        socklen_t length = sizeof peer;
        if (getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &length) == 0 && peer.sin_family == AF_INET &&
            ntohs(peer.sin_port) == port)
            return fd;
    }
    return -1;
}

// A socket bound to a free loopback port, the port in *port.
int BindLoopback(int* port) {
    const int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
    getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
    *port = ntohs(address.sin_port);
    return s;
}

// A loopback port nothing listens on.
int UnusedLoopbackPort() {
    int port = 0;
    close(BindLoopback(&port));
    return port;
}

// A loopback listener that never takes its connections: what is sent to one fills the buffers.
int SilentListener(int* port) {
    const int listener = BindLoopback(port);
    listen(listener, 1);
    return listener;
}

int Option(int fd, int level, int name) {
    int value = -1;
    socklen_t length = sizeof value;
    getsockopt(fd, level, name, &value, &length);
    return value;
}

std::atomic<bool> cancelAsked{false};
bool CancelAsked() { return cancelAsked; }

// The network device opened on a scripted server as OpenPort opens a port, and the transactions
// routed through it; the link's clock stays the tests' own, the sockets wait in real time.
class NetworkLine : public ::testing::Test {
protected:
    void SetUp() override {
        ResetNativePlatform();
        commSettings.baudRate = 9600;
        commSettings.deviceAddress = 1;
        ASSERT_EQ(1, OpenPort());  // the port's time-outs at 9600, which the reply reads go by
    }
    void TearDown() override {
        UseFrameCodec(nullptr);
        UseSerialDevice(nullptr);
    }

    // The device on the server's line; false (with the device's problem) when it would not configure.
    bool Open(const ScriptedTcpServer& server, NetworkScheme scheme, int32_t baud = 9600) {
        UseFrameCodec(nullptr);
        codec_.reset();  // it holds the allowance of the device it served
        device_.reset(new TcpSerialDevice(scheme, 300));
        if (!device_->Open(server.Url().c_str())) return false;
        if (!device_->Configure("9600,n,8,1", baud)) return false;
        device_->SetReadTimeouts(ReadTimeoutsFor(9600));
        device_->SetWriteTimeouts(WriteTimeoutsFor(9600));
        UseSerialDevice(device_.get());
        if (scheme == NetworkScheme::kModbusTcp) {
            codec_.reset(new MbapCodec(device_->Allowance()));
            UseFrameCodec(codec_.get());
        }
        return true;
    }

    std::unique_ptr<TcpSerialDevice> device_;
    std::unique_ptr<MbapCodec> codec_;
};

TEST(TcpConnection, NamesAreLookedUpWithinTheWaitAndEveryFailureIsSaidInPortuguese) {
    struct Case {
        const char* host;
        uint16_t port;
        const char* problem;
    } cases[] = {
        {"no-such-host.test", 502, "o nome no-such-host.test não foi encontrado"},
        {"busy-resolver.test", 502,
         "o servidor de nomes não respondeu sobre busy-resolver.test (tente de novo ou use o endereço IP)"},
        {"silent-resolver.test", 502,
         "o nome silent-resolver.test ficou sem resposta em 0,6 s (o servidor de nomes não respondeu; use o "
         "endereço IP)"},
        {"127.0.0.1", static_cast<uint16_t>(UnusedLoopbackPort()), "a conexão foi recusada (nada escuta nessa porta)"},
    };
    for (const Case& c : cases) {
        TcpConnection connection;
        std::string problem;
        const Clock::time_point start = Clock::now();
        EXPECT_FALSE(connection.Connect(c.host, c.port, 600, &problem)) << c.host;
        EXPECT_LT(MsSince(start), 1000) << c.host << ": the wait has a bound";
        EXPECT_EQ(c.problem, problem) << c.host;
    }

    // Ctrl-C ends a lookup that would outlast the user's patience.
    cancelAsked = false;
    std::thread press([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        cancelAsked = true;
    });
    TcpConnection connection;
    connection.SetCancelCheck(CancelAsked);
    std::string problem;
    const Clock::time_point start = Clock::now();
    EXPECT_FALSE(connection.Connect("silent-resolver.test", 502, 10000, &problem));
    const long took = MsSince(start);
    press.join();
    EXPECT_LT(took, 600);
    EXPECT_EQ("interrompido ao procurar o nome silent-resolver.test", problem);
}

TEST(TcpConnection, AConnectionCarriesShortKeepaliveAndASendStalledHalfWayClosesIt) {
    int port = 0;
    const int listener = SilentListener(&port);
    TcpConnection connection;
    std::string problem;
    ASSERT_TRUE(connection.Connect("127.0.0.1", static_cast<uint16_t>(port), 1000, &problem)) << problem;

    // A peer that vanished without a word is found within seconds, not left to time-outs.
    const int fd = ClientSocketTo(port);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(1, Option(fd, SOL_SOCKET, SO_KEEPALIVE));
    EXPECT_LE(Option(fd, IPPROTO_TCP, TCP_KEEPIDLE) * 1 +
                  Option(fd, IPPROTO_TCP, TCP_KEEPINTVL) * Option(fd, IPPROTO_TCP, TCP_KEEPCNT),
              15);

    const Bytes big(64u << 20, 0x11);
    size_t handed = 0;
    EXPECT_FALSE(connection.Send(big.data(), big.size(), 300, &handed));
    EXPECT_GT(handed, 0u);
    EXPECT_LT(handed, big.size());
    EXPECT_FALSE(connection.IsOpen()) << "the rest of a frame would be read as the start of the next";
    EXPECT_EQ("o envio parou no meio de um quadro", connection.Problem());
    close(listener);
}

// A script started with standard input closed gets descriptor 0 for its connection: closing the line
// must close that one too, or a server that takes one client at a time refuses the next open.
TEST(TcpConnection, AConnectionOnDescriptorZeroIsClosedToo) {
    int port = 0;
    const int listener = SilentListener(&port);
    const int input = dup(0);
    close(0);
    TcpConnection connection;
    std::string problem;
    const bool connected = connection.Connect("127.0.0.1", static_cast<uint16_t>(port), 1000, &problem);
    const bool onZero = fcntl(0, F_GETFD) != -1;
    connection.Close();
    const bool closed = fcntl(0, F_GETFD) == -1;
    dup2(input, 0);
    close(input);
    close(listener);
    ASSERT_TRUE(connected) << problem;
    ASSERT_TRUE(onZero);
    EXPECT_TRUE(closed);
}

TEST_F(NetworkLine, AnIdleCloseIsMadeGoodOnceButAWriteCutOffIsNeverSentAgain) {
    ServerScript script;
    script.mode = ServerMode::kCloseWhenIdle;
    script.idleMs = 300;
    script.resetOnFunction = 6;
    ScriptedTcpServer server(script);
    ASSERT_TRUE(Open(server, NetworkScheme::kModbusTcp)) << device_->Problem();

    uint16_t word = 0;
    ASSERT_EQ(kLinkOk, ReadHolding(30, &word));
    EXPECT_EQ(130, word);
    // The gateway drops the idle client; the next request finds out before it leaves and goes on
    // a new connection.
    ASSERT_TRUE(WaitFor([&] { return server.IdleCloses() == 1; }));
    word = 0;
    EXPECT_EQ(kLinkOk, ReadHolding(31, &word));
    EXPECT_EQ(131, word);
    EXPECT_EQ(2, server.Connections());
    EXPECT_EQ(1, device_->Reconnections());
    EXPECT_FALSE(device_->ConnectionLost());

    // The connection breaks with the write out: whether it was written is unknown, and it never
    // goes out again, on this connection or another.
    const WriteOutcome outcome = WriteRegisterOutcome(30, 5);
    EXPECT_EQ(WriteOutcomeKind::kNoReply, outcome.kind);
    EXPECT_EQ(1u, server.RequestsWithFunction(6));
    EXPECT_EQ(2, server.Connections());
    EXPECT_TRUE(device_->ConnectionLost());
    EXPECT_EQ("a conexão com 127.0.0.1:" + std::to_string(server.Port()) + " caiu (o outro lado desfez a conexão)",
              device_->Problem());
    const Clock::time_point start = Clock::now();
    EXPECT_EQ(kLinkTimeout, ReadHolding(30, &word));
    EXPECT_LT(MsSince(start), 50) << "a lost line fails at once";
    EXPECT_EQ(2, server.Connections());
}

TEST_F(NetworkLine, AServerThatIsBusyIsQuotedAndNotAskedAgain) {
    for (ServerFraming framing : {ServerFraming::kRfc2217, ServerFraming::kRtu}) {
        ServerScript script;
        script.framing = framing;
        script.mode = ServerMode::kBusyBanner;
        ScriptedTcpServer server(script);
        const NetworkScheme scheme = framing == ServerFraming::kRtu ? NetworkScheme::kRawTcp : NetworkScheme::kRfc2217;
        // RFC 2217 finds out while the rate is confirmed; raw, before the first request leaves.
        uint16_t word = 0;
        if (Open(server, scheme)) {
            ASSERT_TRUE(WaitFor([&] { return server.Closes() == 1; }));
            EXPECT_EQ(kLinkTimeout, ReadHolding(30, &word));
            EXPECT_TRUE(server.Requests().empty());
        }
        EXPECT_TRUE(device_->ConnectionLost()) << static_cast<int>(framing);
        EXPECT_EQ("o servidor fechou a conexão: Port already in use", device_->Problem()) << static_cast<int>(framing);
        EXPECT_EQ(1, server.Connections()) << "it said why: asking again would only hear it again";
    }
}

size_t bytesReceived = 0;
void CountReceived(FrameDirection direction, const uint8_t*, size_t count) {
    if (direction == FrameDirection::Received) bytesReceived += count;
}

TEST_F(NetworkLine, AFloodingServerCannotHoldARequest) {
    ServerScript script;
    script.mode = ServerMode::kFlood;
    script.floodMs = 3000;
    ScriptedTcpServer server(script);
    ASSERT_TRUE(Open(server, NetworkScheme::kModbusTcp)) << device_->Problem();
    // Plenty waiting before the request, and more coming all the time.
    ASSERT_TRUE(WaitFor([&] { return server.BytesSent() >= (300u << 10); }));
    bytesReceived = 0;
    device_->SetObserver(CountReceived);
    uint16_t word = 0;
    const Clock::time_point start = Clock::now();
    EXPECT_NE(kLinkOk, ReadHolding(30, &word));
    const long took = MsSince(start);
    device_->SetObserver(nullptr);
    EXPECT_LT(bytesReceived, 200u << 10) << "each purge drops a bounded amount";
    EXPECT_LT(took, 1500) << "three tries, each purge bounded, each read by its time-outs";
}

TEST_F(NetworkLine, Rfc2217SettingsAreCheckedAndTheNegotiationIsRepeatedOnANewConnection) {
    enum : uint8_t { IAC = 255, SB = 250, SE = 240, WILL = 251 };
    ServerScript script;
    script.framing = ServerFraming::kRfc2217;
    script.mode = ServerMode::kCloseWhenIdle;
    script.idleMs = 300;
    script.linestateAfterReply = kLinestateParity | kLinestateFraming;
    ScriptedTcpServer server(script);
    ASSERT_TRUE(Open(server, NetworkScheme::kRfc2217, 19200)) << device_->Problem();
    uint16_t word = 0;
    ASSERT_EQ(kLinkOk, ReadHolding(30, &word));
    ASSERT_TRUE(WaitFor([&] { return server.IdleCloses() == 1; }));
    ASSERT_EQ(kLinkOk, ReadHolding(31, &word));
    EXPECT_EQ(131, word);

    const Bytes stream = server.ClientStream();
    EXPECT_TRUE(Contains(stream, {IAC, WILL, 3})) << "the server's DO SUPPRESS-GO-AHEAD is agreed to";
    EXPECT_TRUE(Contains(stream, {IAC, SB, 44, 11, 0, IAC, SE})) << "no modem-line reports";
    EXPECT_TRUE(Contains(stream, {IAC, SB, 44, 12, 3, IAC, SE})) << "the server's buffers purged with the port's";
    // Each connection is told the rate again.
    EXPECT_EQ(2, Occurrences(stream, {IAC, SB, 44, 1, 0, 0, 0x4B, 0x00, IAC, SE}));
    EXPECT_EQ(2, server.Connections());
    const LineErrors errors = device_->ServerLineErrors();
    EXPECT_GE(errors.parity, 1u);
    EXPECT_EQ(errors.parity, errors.framing);
    EXPECT_EQ(0u, errors.overrun);

    // A server that keeps a setting of its own: the line would garble every frame.
    script.mode = ServerMode::kPlain;
    script.keptParity = 3;
    ScriptedTcpServer keeping(script);
    EXPECT_FALSE(Open(keeping, NetworkScheme::kRfc2217));
    EXPECT_EQ("o servidor manteve a paridade par (pedida nenhuma)", device_->Problem());
}

}  // namespace
