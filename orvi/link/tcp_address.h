// Port names that lead over the network: tcp://HOST:PORT, rfc2217://HOST:PORT, modbus-tcp://HOST[:PORT].
#pragma once
#include <cstdint>
#include <string>

enum class NetworkScheme {
    kNone,       // not a network name: a local serial port
    kRawTcp,     // RTU frames as they are over TCP (a serial device server in raw mode)
    kRfc2217,    // the same inside Telnet, with the line speed set through the COM-port option
    kModbusTcp,  // a Modbus TCP gateway: MBAP frames, no CRC
};

struct TcpAddress {
    NetworkScheme scheme = NetworkScheme::kNone;
    std::string host;
    uint16_t port = 0;
};

enum : uint16_t { kModbusTcpDefaultPort = 502 };

// The scheme a port name starts with (kNone for a local port such as /dev/ttyUSB0 or COM3).
NetworkScheme NetworkSchemeOf(const std::string& name);

// Host and port of a network name; false with the reason in Portuguese when the name is malformed
// (no host, no port where one is needed, a port outside 1..65535). IPv6 hosts go in brackets.
bool ParseTcpAddress(const std::string& name, TcpAddress* address, std::string* problem);
