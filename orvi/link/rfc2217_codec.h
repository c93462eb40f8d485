// The Telnet byte stream of an RFC 2217 serial port server: IAC escapes, option negotiation and
// the COM-port option's line settings. Pure byte work, no socket.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

typedef std::vector<uint8_t> Bytes;

enum : uint8_t {
    kTelnetIac = 255,
    kTelnetDont = 254,
    kTelnetDo = 253,
    kTelnetWont = 252,
    kTelnetWill = 251,
    kTelnetSb = 250,
    kTelnetSe = 240,
    kTelnetBinary = 0,
    kTelnetSuppressGoAhead = 3,
    kComPortOption = 44,
    kComPortSetBaudRate = 1,
    kComPortSetDataSize = 2,
    kComPortSetParity = 3,
    kComPortSetStopSize = 4,
    kComPortSetControl = 5,
    kComPortServerOffset = 100,  // a server's answer carries the client's command plus 100
};

class Rfc2217Stream {
public:
    // What the client says first: it will use the COM-port option, and binary in both directions
    // (no CR/NUL rules on RTU bytes).
    static Bytes Opening();
    // Data for the line with each 0xFF doubled, as Telnet requires.
    static void AppendData(const uint8_t* data, size_t count, Bytes* out);
    // The line settings of an RTU line at baud: rate, 8 data bits, no parity, 1 stop bit, no flow control.
    static Bytes SetLine(uint32_t baud);

    // Takes bytes from the server: line data goes to *data, what the negotiation needs said back
    // goes to *answer. Commands may be split across calls.
    void Feed(const uint8_t* in, size_t count, Bytes* data, Bytes* answer);

    // The rate the server last confirmed (0: none since ForgetBaud).
    uint32_t ConfirmedBaud() const { return confirmedBaud_; }
    void ForgetBaud() { confirmedBaud_ = 0; }
    // True once the server refused the COM-port option: its line speed cannot be set.
    bool ComPortRefused() const { return comPortRefused_; }

private:
    enum class State { kData, kIac, kOption, kSub, kSubIac };
    void Negotiate(uint8_t verb, uint8_t option, Bytes* answer);
    void EndSubnegotiation();

    State state_ = State::kData;
    uint8_t verb_ = 0;
    Bytes sub_;
    uint32_t confirmedBaud_ = 0;
    bool comPortRefused_ = false;
    bool doneSuppressGoAhead_ = false;
};
