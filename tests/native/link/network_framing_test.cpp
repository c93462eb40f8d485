// The network lines: their port names, the Telnet escapes and COM-port negotiation of RFC 2217,
// and the MBAP framing of a Modbus TCP gateway under the unchanged transactions.
#include <gtest/gtest.h>

#include <algorithm>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "comm_settings.h"
#include "mbap_codec.h"
#include "native_platform.h"
#include "rfc2217_codec.h"
#include "rtu_frame.h"
#include "serial_port.h"
#include "tcp_address.h"
#include "tcp_connection.h"
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

class GatewayFraming : public ::testing::Test {
protected:
    void SetUp() override {
        ResetNativePlatform();
        ASSERT_EQ(1, OpenPort());
        UseFrameCodec(&codec_);
    }
    void TearDown() override { UseFrameCodec(nullptr); }
    ScriptedSerialDevice& device() { return TestDevice(); }
    MbapCodec codec_;
};

TEST_F(GatewayFraming, RequestsGoOutAsMbapAndRepliesComeBackThroughTheRtuChecks) {
    const uint8_t rtu[] = {0x01, 0x03, 0x00, 0x00, 0x00, 0x0A, 0xC5, 0xCD};
    uint8_t mbap[16];
    ASSERT_EQ(12u, MbapFromRtu(0x1234, rtu, sizeof rtu, mbap, sizeof mbap));
    EXPECT_EQ((Bytes{0x12, 0x34, 0x00, 0x00, 0x00, 0x06, 0x01, 0x03, 0x00, 0x00, 0x00, 0x0A}), Bytes(mbap, mbap + 12));

    // A late reply to an earlier request is passed over; the reply to this one is taken.
    device().answer = [](const Bytes& request) {
        Bytes both = MbapReply(request, 1, {0x03, 0x02, 0x00, 0x05}, -1);
        const Bytes current = MbapReply(request, 1, {0x03, 0x02, 0x00, 0x4D});
        both.insert(both.end(), current.begin(), current.end());
        return both;
    };
    uint16_t word = 0;
    EXPECT_EQ(kLinkOk, ReadHolding(30, &word));
    EXPECT_EQ(77, word);
    ASSERT_EQ(1u, device().written.size());
    EXPECT_EQ(12u, device().written[0].size()) << "MBAP header and PDU, no CRC";
    EXPECT_EQ(0x01, device().written[0][6]) << "the unit is the transmitter's address";

    // A reply from another unit fails as one from another address does on a line.
    device().answer = [](const Bytes& request) { return MbapReply(request, 2, {0x03, 0x02, 0x00, 0x4D}); };
    EXPECT_EQ(kLinkWrongAddress, ReadHolding(30, &word));
}

TEST_F(GatewayFraming, ExceptionsAreTheTransmittersOrTheGatewaysOwn) {
    uint16_t word = 0;
    // Shorter than a data reply, yet whole: the exception it is, not a time-out.
    device().answer = [](const Bytes& request) { return MbapReply(request, 1, {0x83, 0x02}); };
    EXPECT_EQ(kLinkException, ReadHolding(30, &word));
    EXPECT_EQ(0, codec_.LastGatewayException());

    // The gateway speaking for a transmitter that did not answer: no reply, as on a silent line.
    device().answer = [](const Bytes& request) { return MbapReply(request, 1, {0x83, 0x0B}); };
    EXPECT_EQ(kLinkTimeout, ReadHolding(30, &word));
    EXPECT_EQ(kGatewayTargetNoResponse, codec_.LastGatewayException());
    EXPECT_EQ("o transmissor 1 não respondeu ao gateway", GatewayExceptionText(codec_.LastGatewayException(), 1));
    EXPECT_EQ("o gateway não tem caminho para o endereço 7", GatewayExceptionText(kGatewayPathUnavailable, 7));

    // A private function the gateway does not know: the value is recorded by its address, once.
    device().answer = [](const Bytes& request) { return MbapReply(request, 1, {0xF0, 0x01}); };
    EXPECT_EQ(kLinkException, ReadPrivate(21, &word));
    EXPECT_EQ(kLinkException, ReadStatusBits(&word));
    EXPECT_EQ((std::vector<uint16_t>{21, 4}), codec_.RefusedPrivateValues());
}

}  // namespace
