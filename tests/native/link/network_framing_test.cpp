// The network lines: their port names, the Telnet escapes and COM-port negotiation of RFC 2217,
// and the MBAP framing of a Modbus TCP gateway under the unchanged transactions.
#include <gtest/gtest.h>

#include <algorithm>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>

#include "comm_settings.h"
#include "frame_observer.h"
#include "link_platform.h"
#include "mbap_codec.h"
#include "native_platform.h"
#include "network_allowance.h"
#include "probe.h"
#include "rfc2217_codec.h"
#include "rtu_frame.h"
#include "scripted_tcp_server.h"
#include "serial_port.h"
#include "tcp_address.h"
#include "tcp_connection.h"
#include "tcp_serial_device.h"
#include "transactions.h"

namespace {

TEST(TcpAddress, NamesGiveHostAndPortOrSayWhatIsWrong) {
    struct Case {
        const char* name;
        NetworkScheme scheme;
        const char* host;
        uint16_t port;  // 0: refused
    } cases[] = {
        {"tcp://192.168.0.10:4001", NetworkScheme::kRawTcp, "192.168.0.10", 4001},
        {"rfc2217://line-box:7000/", NetworkScheme::kRfc2217, "line-box", 7000},
        {"modbus-tcp://gw", NetworkScheme::kModbusTcp, "gw", 502},
        {"modbus-tcp://[fe80::1]:1502", NetworkScheme::kModbusTcp, "fe80::1", 1502},
        {"modbus-tcp://[::1]", NetworkScheme::kModbusTcp, "::1", 502},
        {"tcp://line-box", NetworkScheme::kRawTcp, "", 0},        // a server has no usual port
        {"tcp://line-box:", NetworkScheme::kRawTcp, "", 0},       // an empty one is no port either
        {"rfc2217://:4001", NetworkScheme::kRfc2217, "", 0},      // no host
        {"tcp://line-box:65536", NetworkScheme::kRawTcp, "", 0},  // beyond the ports
        {"tcp://line-box:0", NetworkScheme::kRawTcp, "", 0},
        {"modbus-tcp://[::1:502", NetworkScheme::kModbusTcp, "", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.scheme, NetworkSchemeOf(c.name)) << c.name;
        TcpAddress address;
        std::string problem;
        const bool parsed = ParseTcpAddress(c.name, &address, &problem);
        EXPECT_EQ(c.port != 0, parsed) << c.name << ": " << problem;
        if (!parsed) {
            EXPECT_FALSE(problem.empty()) << c.name;
            continue;
        }
        EXPECT_EQ(c.host, address.host) << c.name;
        EXPECT_EQ(c.port, address.port) << c.name;
    }
    EXPECT_EQ(NetworkScheme::kNone, NetworkSchemeOf("/dev/ttyUSB0"));
    EXPECT_EQ(NetworkScheme::kNone, NetworkSchemeOf("COM3"));
}

TEST(Rfc2217Stream, DataAndRatesGoOutWithEveryIacDoubled) {
    Bytes out;
    const uint8_t data[] = {0x01, 0xFF, 0x03, 0xFF};
    Rfc2217Stream::AppendData(data, sizeof data, &out);
    EXPECT_EQ((Bytes{0x01, 0xFF, 0xFF, 0x03, 0xFF, 0xFF}), out);

    const Bytes line = Rfc2217Stream::SetLine(19200);
    ASSERT_GE(line.size(), 10u);
    EXPECT_EQ((Bytes{0xFF, 0xFA, 44, 1, 0x00, 0x00, 0x4B, 0x00, 0xFF, 0xF0}), Bytes(line.begin(), line.begin() + 10));
    // 65280 is 00 00 FF 00: the FF inside the subnegotiation is doubled too.
    const Bytes odd = Rfc2217Stream::SetLine(65280);
    EXPECT_EQ((Bytes{0xFF, 0xFA, 44, 1, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0xFF, 0xF0}),
              Bytes(odd.begin(), odd.begin() + 11));
}

TEST(Rfc2217Stream, ServerStreamSplitAnywhereYieldsLineDataAnswersAndTheConfirmedSettings) {
    const Bytes server = {
        0xFF, 0xFD, 44,          // DO COM-PORT: the agreement asked for, no answer
        0xFF, 0xFB, 3,           // WILL SUPPRESS-GO-AHEAD: accepted once
        0xFF, 0xFD, 1,           // DO ECHO: refused
        0xFF, 0xFD, 3,           // DO SUPPRESS-GO-AHEAD: agreed to, once
        0x01, 0xFF, 0xFF, 0x03,  // line data with an escaped 0xFF
        0xFF, 0xFA, 44,   101,  0x00, 0x00, 0xFF, 0xFF, 0x00, 0xFF, 0xF0,  // rate 65280 confirmed
        0xFF, 0xFA, 44,   102,  8,    0xFF, 0xF0,                          // 8 data bits
        0xFF, 0xFA, 44,   103,  3,    0xFF, 0xF0,                          // parity kept even
        0xFF, 0xFA, 44,   104,  1,    0xFF, 0xF0,                          // 1 stop bit
        0xFF, 0xFA, 44,   106,  0x0E, 0xFF, 0xF0,  // line state: overrun, parity and framing errors
        0xFF, 0xFA, 44,   106,  0x04, 0xFF, 0xF0,  // and a parity error
        0xFF, 0xFB, 3,                             // WILL SGA again: nothing more to say
        0xFF, 0xFD, 3,                             // DO SGA again: nor here
        0x7F,
    };
    for (size_t split = 1; split < server.size(); ++split) {
        Rfc2217Stream stream;
        Bytes data, answer;
        stream.Feed(server.data(), split, &data, &answer);
        stream.Feed(server.data() + split, server.size() - split, &data, &answer);
        EXPECT_EQ((Bytes{0x01, 0xFF, 0x03, 0x7F}), data) << "split at " << split;
        EXPECT_EQ((Bytes{0xFF, 0xFD, 3, 0xFF, 0xFC, 1, 0xFF, 0xFB, 3}), answer) << "split at " << split;
        EXPECT_EQ(65280u, stream.ConfirmedBaud()) << "split at " << split;
        ASSERT_TRUE(stream.LineAnswered()) << "split at " << split;
        EXPECT_EQ(3, stream.Confirmed().parity);
        EXPECT_EQ(2u, stream.Errors().parity);
        EXPECT_EQ(1u, stream.Errors().framing);
        EXPECT_EQ(1u, stream.Errors().overrun);
        EXPECT_FALSE(stream.ComPortRefused());
    }
    // What the client asks for besides the rate: the RTU line, UART errors reported, modem lines not.
    const Bytes line = Rfc2217Stream::SetLine(9600);
    const Bytes wanted[] = {{0xFF, 0xFA, 44, 2, 8, 0xFF, 0xF0},
                            {0xFF, 0xFA, 44, 3, 1, 0xFF, 0xF0},
                            {0xFF, 0xFA, 44, 4, 1, 0xFF, 0xF0},
                            {0xFF, 0xFA, 44, 10, 0x0E, 0xFF, 0xF0},
                            {0xFF, 0xFA, 44, 11, 0, 0xFF, 0xF0}};
    for (const Bytes& part : wanted)
        EXPECT_NE(line.end(), std::search(line.begin(), line.end(), part.begin(), part.end())) << int(part[3]);
    EXPECT_EQ((Bytes{0xFF, 0xFA, 44, 12, 1, 0xFF, 0xF0}), Rfc2217Stream::PurgeData(true, false));

    // Which setting a server kept, in words.
    ComPortLine kept;
    kept.baud = 9600, kept.dataSize = 7, kept.parity = 2, kept.stopSize = 3;
    EXPECT_EQ(
        "o servidor manteve a taxa de 9600 bit/s (pedida 19200), 7 bits de dados (pedidos 8), a paridade "
        "ímpar (pedida nenhuma), 1,5 bits de parada (pedido 1)",
        KeptSettingsText(19200, kept));
    kept.dataSize = 8, kept.parity = 1, kept.stopSize = 1;
    EXPECT_EQ("", KeptSettingsText(9600, kept));
    Rfc2217Stream refusing;
    Bytes data, answer;
    const Bytes dont = {0xFF, 0xFE, 44};
    refusing.Feed(dont.data(), dont.size(), &data, &answer);
    EXPECT_TRUE(refusing.ComPortRefused());
}

// The MBAP reply to the request last written, with the request's transaction and the given unit and PDU.
Bytes MbapReply(const Bytes& request, uint8_t unit, const Bytes& pdu, int transactionShift = 0) {
    const uint16_t transaction = static_cast<uint16_t>(((request[0] << 8) | request[1]) + transactionShift);
    Bytes reply = {static_cast<uint8_t>(transaction >> 8),
                   static_cast<uint8_t>(transaction),
                   0,
                   0,
                   0,
                   static_cast<uint8_t>(pdu.size() + 1),
                   unit};
    reply.insert(reply.end(), pdu.begin(), pdu.end());
    return reply;
}

// The network device with the link's port name ("COM1") standing for the test server's address.
class ServerPort : public TcpSerialDevice {
public:
    ServerPort(NetworkScheme scheme, uint32_t fixedAllowanceMs, const std::string& url)
        : TcpSerialDevice(scheme, fixedAllowanceMs), url_(url) {}
    bool Open(const char*) override { return TcpSerialDevice::Open(url_.c_str()); }

private:
    std::string url_;
};

// The link on real time through the real network device, against the scripted TCP server.
class GatewayFraming : public ::testing::Test {
protected:
    void SetUp() override {
        ResetNativePlatform();
        UseRealTime();
    }
    void TearDown() override {
        UseFrameCodec(nullptr);
        ClosePort();
        UseSerialDevice(nullptr);
        codec_.reset();
        port_.reset();
        server_.reset();
    }
    // The server as scripted, and the link's port open on it at rate; allowanceMs 0 follows the network.
    void Connect(const ServerScript& script, uint32_t allowanceMs = 300, int32_t rate = 9600) {
        server_.reset(new ScriptedTcpServer(script));
        ASSERT_NE(0, server_->Port());
        const bool gateway = script.framing == ServerFraming::kMbap;
        port_.reset(
            new ServerPort(gateway ? NetworkScheme::kModbusTcp : NetworkScheme::kRawTcp, allowanceMs, server_->Url()));
        UseSerialDevice(port_.get());
        commSettings.baudRate = rate;
        if (gateway) {
            codec_.reset(new MbapCodec(port_->Allowance()));
            UseFrameCodec(codec_.get());
        }
        ASSERT_EQ(1, OpenPort());
    }
    static ServerScript Gateway(ServerMode mode = ServerMode::kPlain) {
        ServerScript script;
        script.mode = mode;
        return script;
    }
    ScriptedTcpServer& server() { return *server_; }
    static uint64_t MsSince(uint64_t startUs) { return (LinkClockUs() - startUs) / 1000u; }

    std::unique_ptr<ScriptedTcpServer> server_;
    std::unique_ptr<ServerPort> port_;
    std::unique_ptr<MbapCodec> codec_;
};

TEST_F(GatewayFraming, RequestsGoOutAsMbapAndRepliesComeBackThroughTheRtuChecks) {
    const uint8_t rtu[] = {0x01, 0x03, 0x00, 0x00, 0x00, 0x0A, 0xC5, 0xCD};
    uint8_t mbap[16];
    ASSERT_EQ(12u, MbapFromRtu(0x1234, rtu, sizeof rtu, mbap, sizeof mbap));
    EXPECT_EQ((Bytes{0x12, 0x34, 0x00, 0x00, 0x00, 0x06, 0x01, 0x03, 0x00, 0x00, 0x00, 0x0A}), Bytes(mbap, mbap + 12));

    // A late reply to an earlier request is passed over; the reply to this one is taken.
    ServerScript script = Gateway();
    int unit = 1;
    script.answer = [&unit](const Bytes& request) {
        Bytes both = MbapReply(request, static_cast<uint8_t>(unit), {0x03, 0x02, 0x00, 0x05}, -1);
        const Bytes current = MbapReply(request, static_cast<uint8_t>(unit), {0x03, 0x02, 0x00, 0x4D});
        both.insert(both.end(), current.begin(), current.end());
        return both;
    };
    Connect(script);
    uint16_t word = 0;
    EXPECT_EQ(kLinkOk, ReadHolding(30, &word));
    EXPECT_EQ(77, word);
    ASSERT_EQ(1u, server().Requests().size());
    EXPECT_EQ(12u, server().Requests()[0].size()) << "MBAP header and PDU, no CRC";
    EXPECT_EQ(0x01, server().Requests()[0][6]) << "the unit is the transmitter's address";

    // A reply from another unit fails as one from another address does on a line.
    unit = 2;
    EXPECT_EQ(kLinkWrongAddress, ReadHolding(30, &word));
}

TEST_F(GatewayFraming, ExceptionsAreTheTransmittersOrTheGatewaysOwn) {
    ServerScript script = Gateway();
    Bytes pdu = {0x83, 0x02};
    script.answer = [&pdu](const Bytes& request) { return MbapReply(request, 1, pdu); };
    Connect(script);
    uint16_t word = 0;
    // Shorter than a data reply, yet whole: the exception it is, not a time-out.
    EXPECT_EQ(kLinkException, ReadHolding(30, &word));
    EXPECT_EQ(0, codec_->LastGatewayException());

    // The gateway speaking for a transmitter that did not answer: no reply, as on a silent line.
    pdu = {0x83, 0x0B};
    EXPECT_EQ(kLinkTimeout, ReadHolding(30, &word));
    EXPECT_EQ(kGatewayTargetNoResponse, codec_->LastGatewayException());
    EXPECT_EQ("o gateway não obteve resposta do endereço 1", GatewayExceptionText(codec_->LastGatewayException(), 1));
    EXPECT_EQ("o gateway não obteve resposta do endereço 7: não tem caminho para ele",
              GatewayExceptionText(kGatewayPathUnavailable, 7));
    EXPECT_EQ("o gateway não obteve resposta da unidade 5 (endereço 7)",
              GatewayExceptionText(kGatewayTargetNoResponse, 7, 5));
}

// One deadline for the whole frame from the send, whatever the gateway's line and TCP make of it.
TEST_F(GatewayFraming, AReplyGetsItsLineTimeAndOneDeadlineFromTheSend) {
    // At 1200 bit/s the block's reply takes 1.2 s on the gateway's line before its first byte comes.
    ServerScript script = Gateway();
    script.lineBaud = 1200;
    Connect(script, 500, 1200);
    uint16_t block[kConfigBlockWords] = {};
    EXPECT_EQ(kLinkOk, ReadConfigBlock(block));
    EXPECT_EQ(1u, server().Requests().size()) << "answered in time, no second try";
    EXPECT_EQ(100 + 67, block[67]);
}

TEST_F(GatewayFraming, AReplySplitBetweenHeaderAndPduIsOneReply) {
    // Nagle at the gateway and a delayed acknowledgement here: the PDU comes 200 ms after its header.
    Connect(Gateway(ServerMode::kSplitReply));
    EXPECT_EQ(kLinkOk, WriteRegister(43, 7));
    EXPECT_EQ(2u, server().Requests().size()) << "the write and its read-back, each once";
    EXPECT_EQ(7, server().Holding(1, 43));
}

TEST_F(GatewayFraming, ASkippedLateReplyLeavesTheFrameItsDeadline) {
    // The first reply comes after its request was given up, while the second request waits; the
    // second reply comes 300 ms after its request, within its own deadline.
    ServerScript script = Gateway(ServerMode::kLateOnce);
    script.replyDelayMs = 300;
    script.lateMs = 500;
    Connect(script, 300);
    uint16_t word = 0;
    EXPECT_EQ(kLinkOk, ReadHolding(30, &word));
    EXPECT_EQ(130, word);
    EXPECT_EQ(2u, server().Requests().size());
}

// A gateway's 0x0B says nobody answered on its line: silence for the sweep, the tries and the texts.
TEST_F(GatewayFraming, AGatewaysNoAnswerIsSilence) {
    ServerScript script = Gateway(ServerMode::kEmptyUnits0B);
    script.units = {1, 3};
    script.gatewayWaitMs = 100;
    Connect(script, 1000);
    for (uint8_t address = 1; address <= 4; ++address) {
        commSettings.deviceAddress = address;
        const uint64_t start = LinkClockUs();
        const ProbeResult probe = ProbeRead(8, nullptr, 30);
        const bool present = address == 1 || address == 3;
        EXPECT_EQ(present, probe.heard) << "address " << int(address);
        EXPECT_EQ(present ? kLinkOk : kLinkTimeout, probe.result) << "address " << int(address);
        // The gateway's own wait, not the allowance: it said when nobody answered.
        EXPECT_LT(MsSince(start), 400u) << "address " << int(address);
    }
    EXPECT_EQ(4u, server().Requests().size()) << "one request an address";

    commSettings.deviceAddress = 2;
    uint16_t word = 0;
    EXPECT_EQ(kLinkTimeout, ReadHolding(30, &word));
    EXPECT_EQ("o gateway não obteve resposta do endereço 2", GatewayExceptionText(codec_->LastGatewayException(), 2));
    // A write nobody answered may still have been written, as on a silent line.
    const WriteOutcome outcome = WriteRegisterOutcome(43, 7);
    EXPECT_EQ(WriteOutcomeKind::kNoReply, outcome.kind);
}

// The first private request tells what the gateway does with them; the rest are not asked again.
TEST_F(GatewayFraming, PrivateFunctionsAreFoundOutOnTheFirstRequest) {
    struct Case {
        PrivateHandling handling;
        PrivatePath found;
    } cases[] = {{PrivateHandling::kRefused, PrivatePath::kRefused},
                 {PrivateHandling::kDropped, PrivatePath::kDropped}};
    for (const Case& c : cases) {
        ServerScript script = Gateway();
        script.privateFunctions = c.handling;
        Connect(script, 300);
        uint16_t block[kConfigBlockWords] = {};
        ASSERT_EQ(kLinkOk, ReadConfigBlock(block));
        const uint64_t start = LinkClockUs();
        uint16_t word = 0;
        EXPECT_EQ(kLinkException, ReadPrivate(21, &word));
        EXPECT_EQ(kLinkException, ReadPrivate(22, &word));
        EXPECT_EQ(kLinkException, ReadStatusBits(&word));
        const WriteOutcome write = WritePrivateAndReadBack(23, 5);
        EXPECT_EQ(WriteOutcomeKind::kRefused, write.kind);
        EXPECT_EQ(1, write.exceptionCode);
        // One request's wait at most: the one that found out.
        EXPECT_LT(MsSince(start), 1000u);
        EXPECT_EQ(1u, server().RequestsWithFunction(0x70) + server().RequestsWithFunction(0x71));
        EXPECT_EQ(c.found, codec_->PrivateFunctions());
        EXPECT_EQ((std::vector<uint16_t>{21, 22, 4, 23}), codec_->RefusedPrivateValues());
        TearDown();
        SetUp();
    }
    // A gateway that passes them: read as on a line.
    Connect(Gateway(), 300);
    uint16_t block[kConfigBlockWords] = {};
    ASSERT_EQ(kLinkOk, ReadConfigBlock(block));
    uint16_t word = 0;
    EXPECT_EQ(kLinkOk, ReadPrivate(21, &word));
    EXPECT_EQ(71, word);
    EXPECT_EQ(PrivatePath::kPassed, codec_->PrivateFunctions());
    EXPECT_TRUE(codec_->RefusedPrivateValues().empty());
}

TEST_F(GatewayFraming, AUnitOtherThanTheAddressGoesOutAndComesBackAsTheAddress) {
    ServerScript script = Gateway();
    script.units = {5, 2};
    Connect(script);
    codec_->MapUnit(1, 5);
    uint16_t word = 0;
    EXPECT_EQ(kLinkOk, ReadHolding(30, &word));
    EXPECT_EQ(130, word);
    // Only the transmitter the unit was given for: another address is its own unit.
    commSettings.deviceAddress = 2;
    EXPECT_EQ(kLinkOk, ReadHolding(30, &word));
    const std::vector<Bytes> requests = server().Requests();
    ASSERT_EQ(2u, requests.size());
    EXPECT_EQ(5, requests[0][6]);
    EXPECT_EQ(2, requests[1][6]);
}

// What the network adds is measured: a server's allowance follows it, a gateway's never falls below
// the wait a gateway takes on its own line, and the user's stays as given.
TEST(NetworkAllowance, FollowsTheRoundTripAtConnectAndOnTheReplies) {
    NetworkAllowance server(false, 0), gateway(true, 0), given(false, 3000);
    EXPECT_EQ(500u, server.Ms());
    EXPECT_EQ(1500u, gateway.Ms());
    for (NetworkAllowance* allowance : {&server, &gateway, &given}) allowance->NoteConnect(300);
    EXPECT_EQ(static_cast<uint32_t>(NetworkAllowance::kBeforeRepliesMs), server.Ms()) << "no reply measured yet";
    EXPECT_EQ(1500u, gateway.Ms());
    EXPECT_EQ(3000u, given.Ms());
    // The replies replace the opening's measure, which includes the name's resolution.
    server.NoteReplyDelay(4000);
    EXPECT_EQ(4u + NetworkAllowance::kMarginMs, server.Ms()) << "a loopback round trip and a margin";
    server.NoteReplyDelay(150000);  // a reply that came 150 ms late
    server.NoteReplyDelay(5000);
    EXPECT_EQ(150u + NetworkAllowance::kMarginMs, server.Ms());
    // Once the replies after it have come in time, a moment's slowness no longer counts.
    for (unsigned k = 0; k + 1 < NetworkAllowance::kDelaysKept; ++k) server.NoteReplyDelay(6000);
    EXPECT_EQ(6u + NetworkAllowance::kMarginMs, server.Ms());
    gateway.NoteReplyDelay(1000000);  // a gateway that waits a second on its line: within its default
    EXPECT_EQ(1500u, gateway.Ms());
    gateway.NoteReplyDelay(2000000);
    EXPECT_EQ(2000u + NetworkAllowance::kMarginMs, gateway.Ms());
    given.NoteReplyDelay(5000000);
    EXPECT_EQ(3000u, given.Ms());
    // A sweep that bounds the whole wait holds even a given allowance; what came meanwhile counts after.
    given.Hold(0);
    gateway.Hold(100);
    gateway.NoteReplyDelay(2500000);
    EXPECT_EQ(0u, given.Ms());
    EXPECT_EQ(100u, gateway.Ms());
    given.LetGo();
    gateway.LetGo();
    EXPECT_EQ(3000u, given.Ms());
    EXPECT_EQ(2500u + NetworkAllowance::kMarginMs, gateway.Ms());
    server.NoteReplyDelay(60000000);
    EXPECT_EQ(static_cast<uint32_t>(NetworkAllowance::kMostMs), server.Ms());
    // A pause inside a reply may outlast a delayed acknowledgement, and more on a slower network.
    EXPECT_EQ(75u + 200u + 20u, SegmentSlackMs(75, 100));
    EXPECT_EQ(75u + 375u + 20u, SegmentSlackMs(75, 1500));
}

TEST_F(GatewayFraming, ARawServersAllowanceFollowsItsReplies) {
    // A server whose replies come 400 ms later than the line explains, far beyond a loopback round
    // trip: the first read needs its tries, after which the allowance covers that delay.
    ServerScript script;
    script.framing = ServerFraming::kRtu;
    script.replyDelayMs = 400;
    Connect(script, 0);
    static size_t sent;
    sent = 0;
    SetFrameObserver(
        [](FrameDirection direction, const uint8_t*, size_t) { sent += direction == FrameDirection::Sent; });
    uint16_t word = 0;
    EXPECT_EQ(kLinkOk, ReadHolding(30, &word));
    // The replies to the other tries, which the next request's purge drops.
    ASSERT_TRUE(server().WaitUntilAnswered(sent, 3000));
    SetFrameObserver(nullptr);
    const size_t before = server().Requests().size();
    EXPECT_EQ(kLinkOk, ReadHolding(31, &word));
    EXPECT_EQ(131, word);
    EXPECT_EQ(before + 1, server().Requests().size()) << "the second read needs one request";
}

}  // namespace
