// The Telnet byte stream of an RFC 2217 serial port server: IAC escapes, option negotiation and
// the COM-port option's line settings. Pure byte work, no socket.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
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
    kComPortNotifyLinestate = 6,
    kComPortSetLinestateMask = 10,
    kComPortSetModemstateMask = 11,
    kComPortPurgeData = 12,
    kComPortServerOffset = 100,  // a server's answer carries the client's command plus 100
};

// Line-state bits a server reports with NOTIFY-LINESTATE: errors in what its UART received.
enum : uint8_t { kLinestateOverrun = 0x02, kLinestateParity = 0x04, kLinestateFraming = 0x08 };
// The COM-port values of the RTU line: 8 data bits, no parity, 1 stop bit.
enum : uint8_t { kRtuDataSize = 8, kParityNone = 1, kStopSizeOne = 1 };

// Line settings as a server confirmed them; 0 where it has not (yet).
struct ComPortLine {
    uint32_t baud = 0;
    uint8_t dataSize = 0;
    uint8_t parity = 0;    // 1 none, 2 odd, 3 even, 4 mark, 5 space
    uint8_t stopSize = 0;  // 1 one, 2 two, 3 one and a half
};

// The errors the server's UART reported since the connection opened.
struct LineErrors {
    uint32_t parity = 0;
    uint32_t framing = 0;
    uint32_t overrun = 0;
};

class Rfc2217Stream {
public:
    // What the client says first: it will use the COM-port option, and binary in both directions
    // (no CR/NUL rules on RTU bytes).
    static Bytes Opening();
    // Data for the line with each 0xFF doubled, as Telnet requires.
    static void AppendData(const uint8_t* data, size_t count, Bytes* out);
    // The line settings of an RTU line at baud: rate, 8 data bits, no parity, 1 stop bit, no flow
    // control; then which changes the server is to report: its UART's errors, no modem lines
    // (nothing here reads them, and their reports would only pass through the data).
    static Bytes SetLine(uint32_t baud);
    // Asks the server to drop what its buffers hold: what its line received and not yet sent
    // here, what it has not yet sent on the line, or both.
    static Bytes PurgeData(bool received, bool toSend);

    // Takes bytes from the server: line data goes to *data, what the negotiation needs said back
    // goes to *answer. Commands may be split across calls.
    void Feed(const uint8_t* in, size_t count, Bytes* data, Bytes* answer);

    // The settings the server confirmed since ForgetLine (or the start).
    const ComPortLine& Confirmed() const { return confirmed_; }
    uint32_t ConfirmedBaud() const { return confirmed_.baud; }
    // True once the server has answered each setting SetLine asks for.
    bool LineAnswered() const;
    void ForgetLine() { confirmed_ = ComPortLine(); }
    // True once the server refused the COM-port option: its line speed cannot be set.
    bool ComPortRefused() const { return comPortRefused_; }
    const LineErrors& Errors() const { return errors_; }

private:
    enum class State { kData, kIac, kOption, kSub, kSubIac };
    void Negotiate(uint8_t verb, uint8_t option, Bytes* answer);
    void EndSubnegotiation();

    State state_ = State::kData;
    uint8_t verb_ = 0;
    Bytes sub_;
    ComPortLine confirmed_;
    LineErrors errors_;
    bool comPortRefused_ = false;
    bool doneSuppressGoAhead_ = false;
    bool willSuppressGoAhead_ = false;
};

// What the server kept of the RTU line at baud, as confirmed ("" when it took every setting):
// "o servidor manteve a paridade par (pedida nenhuma)".
std::string KeptSettingsText(uint32_t baud, const ComPortLine& confirmed);
