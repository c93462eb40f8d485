// A Modbus TCP to RTU gateway for the tests, made with libmodbus: MBAP requests on a loopback
// port, forwarded to an RTU line as raw requests, as a plant's gateway does.
//
//   modbus_gateway --line PATH --baud RATE --port-file FILE [--reply-timeout MS] [--private refuse|drop]
//
// Listens on 127.0.0.1 at a free port, written to FILE once it listens. Functions 3 and 6 go to
// the line; any other function gets exception 1 (such gateways do not know the transmitter's
// private functions), or with --private drop no answer at all, as other gateways do; a unit outside
// 1..247 gets 0x0A, a unit that does not answer gets 0x0B.
#include <modbus.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
enum { kHeader = 7, kMaxPdu = 253 };

bool dropUnknownFunctions = false;

bool ReadExactly(int fd, uint8_t* buffer, size_t count) {
    size_t got = 0;
    while (got < count) {
        const ssize_t n = recv(fd, buffer + got, count - got, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        got += static_cast<size_t>(n);
    }
    return true;
}

bool SendReply(int fd, const uint8_t* header, uint8_t unit, const uint8_t* pdu, size_t pduLength) {
    uint8_t out[kHeader + kMaxPdu];
    std::memcpy(out, header, 4);  // the request's transaction and protocol
    out[4] = static_cast<uint8_t>((pduLength + 1) >> 8);
    out[5] = static_cast<uint8_t>(pduLength + 1);
    out[6] = unit;
    std::memcpy(out + kHeader, pdu, pduLength);
    return send(fd, out, kHeader + pduLength, MSG_NOSIGNAL) == static_cast<ssize_t>(kHeader + pduLength);
}

bool SendException(int fd, const uint8_t* header, uint8_t function, uint8_t code) {
    const uint8_t pdu[] = {static_cast<uint8_t>(function | 0x80), code};
    return SendReply(fd, header, header[6], pdu, sizeof pdu);
}

// One request from the TCP side through the RTU line and back; false when the client has gone.
bool Forward(int fd, modbus_t* line) {
    uint8_t header[kHeader];
    if (!ReadExactly(fd, header, kHeader)) return false;
    const size_t length = (static_cast<size_t>(header[4]) << 8) | header[5];
    if (header[2] != 0 || header[3] != 0 || length < 2 || length > kMaxPdu + 1) return false;
    uint8_t request[kMaxPdu + 1];
    request[0] = header[6];
    if (!ReadExactly(fd, request + 1, length - 1)) return false;
    const uint8_t unit = header[6];
    const uint8_t function = request[1];
    if (function != 3 && function != 6) return dropUnknownFunctions || SendException(fd, header, function, 0x01);
    if (unit == 0 || unit > 247) return SendException(fd, header, function, 0x0A);

    modbus_set_slave(line, unit);
    modbus_flush(line);
    uint8_t reply[MODBUS_RTU_MAX_ADU_LENGTH];
    int n = -1;
    if (modbus_send_raw_request(line, request, static_cast<int>(length)) > 0)
        n = modbus_receive_confirmation(line, reply);
    if (n < 4) return SendException(fd, header, function, errno == ETIMEDOUT || n >= 0 ? 0x0B : 0x04);
    return SendReply(fd, header, reply[0], reply + 1, static_cast<size_t>(n) - 3);  // no address, no CRC
}
}  // namespace

int main(int argc, char** argv) {
    std::string linePath, portFile;
    int baud = 9600, replyTimeoutMs = 500;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--line") linePath = argv[i + 1];
        if (option == "--baud") baud = std::atoi(argv[i + 1]);
        if (option == "--port-file") portFile = argv[i + 1];
        if (option == "--reply-timeout") replyTimeoutMs = std::atoi(argv[i + 1]);
        if (option == "--private") dropUnknownFunctions = std::string(argv[i + 1]) == "drop";
    }
    if (linePath.empty() || portFile.empty()) {
        std::fprintf(stderr, "usage: modbus_gateway --line PATH --baud RATE --port-file FILE [--reply-timeout MS]\n");
        return 2;
    }
    modbus_t* line = modbus_new_rtu(linePath.c_str(), baud, 'N', 8, 1);
    if (!line || modbus_connect(line) != 0) {
        std::fprintf(stderr, "modbus_gateway: %s: %s\n", linePath.c_str(), modbus_strerror(errno));
        return 1;
    }
    modbus_set_response_timeout(line, 0, static_cast<uint32_t>(replyTimeoutMs) * 1000u);

    modbus_t* server = modbus_new_tcp("127.0.0.1", 0);
    const int listener = server ? modbus_tcp_listen(server, 1) : -1;
    if (listener < 0) {
        std::fprintf(stderr, "modbus_gateway: listen: %s\n", modbus_strerror(errno));
        return 1;
    }
    sockaddr_in bound{};
    socklen_t size = sizeof bound;
    getsockname(listener, reinterpret_cast<sockaddr*>(&bound), &size);
    const std::string temporary = portFile + ".new";
    FILE* file = std::fopen(temporary.c_str(), "w");
    if (!file) return 1;
    std::fprintf(file, "%d\n", ntohs(bound.sin_port));
    std::fclose(file);
    std::rename(temporary.c_str(), portFile.c_str());  // whole, so a reader never sees half a number

    int serverSocket = listener;
    for (;;) {
        const int client = modbus_tcp_accept(server, &serverSocket);
        if (client < 0) continue;
        while (Forward(client, line)) {
        }
        close(client);
    }
}
