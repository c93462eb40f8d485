// A TCP server inside the test process that stands for a serial device server or a Modbus TCP
// gateway in front of transmitters, and misbehaves on purpose in the mode it is given.
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

typedef std::vector<uint8_t> Bytes;

enum class ServerFraming {
    kRtu,      // a serial device server in raw mode: RTU frames as they are
    kMbap,     // a Modbus TCP gateway: MBAP frames, no CRC
    kRfc2217,  // a serial device server speaking Telnet with the COM-port option, as ser2net does
};

// One misbehaviour at a time; each has its own function in the server.
enum class ServerMode {
    kPlain,          // every reply whole, after the line time at lineBaud and replyDelayMs
    kSplitReply,     // the reply in two segments 200 ms apart: an MBAP header and its PDU (RTU: 3 bytes, then the rest)
    kLateOnce,       // the first reply lateMs later than the plain pace, every other one at that pace
    kEmptyUnits0B,   // a gateway that says so when a unit is absent: exception 0x0B after gatewayWaitMs
    kCloseWhenIdle,  // answers, and closes a connection left idle for idleMs, as many gateways do
    kBusyBanner,     // says busyText and closes, as a serial server whose port another client holds
    kFlood,          // sends bytes without a pause for floodMs from the moment it accepts
};

// What a gateway does with the transmitter's private functions 0x70 and 0x71.
enum class PrivateHandling { kPassed, kRefused, kDropped };

struct ServerScript {
    ServerFraming framing = ServerFraming::kMbap;
    ServerMode mode = ServerMode::kPlain;
    std::set<uint8_t> units = {1};  // the transmitters present, by address (their unit)
    int32_t lineBaud = 0;           // the line time of the request and the reply at this rate (0: none)
    uint32_t replyDelayMs = 0;
    uint32_t lateMs = 0;
    uint32_t gatewayWaitMs = 0;
    PrivateHandling privateFunctions = PrivateHandling::kPassed;
    // When set, the whole reply to a request as received (empty: none), in place of the transmitters'.
    std::function<Bytes(const Bytes& request)> answer;
    uint32_t idleMs = 1000;
    std::string busyText = "Port already in use\r\n";
    uint32_t floodMs = 3000;
    // A request with this function is never answered: the connection is reset instead (0: none).
    uint8_t resetOnFunction = 0;
    // RFC 2217: the parity the server keeps whatever it is asked (0: it takes what it is asked),
    // and the line-state bits of a NOTIFY-LINESTATE it sends after each reply (0: none).
    uint8_t keptParity = 0;
    uint8_t linestateAfterReply = 0;
};

class ScriptedTcpServer {
public:
    enum { kSplitPauseMs = 200 };

    // Listens on a free loopback port at once; serves one connection at a time until destroyed.
    explicit ScriptedTcpServer(const ServerScript& script);
    ~ScriptedTcpServer();
    ScriptedTcpServer(const ScriptedTcpServer&) = delete;
    ScriptedTcpServer& operator=(const ScriptedTcpServer&) = delete;

    int Port() const { return port_; }
    // modbus-tcp://, tcp:// or rfc2217://127.0.0.1:PORT, by the framing.
    std::string Url() const;
    // Every request received, as the line would carry it (RTU bytes; MBAP as it came).
    std::vector<Bytes> Requests() const;
    size_t RequestsWithFunction(uint8_t function) const;
    // Waits (at most limitMs) until count requests have had their replies sent or kept back.
    bool WaitUntilAnswered(size_t count, uint32_t limitMs);
    // Everything the client sent, Telnet commands included, in the order it came.
    Bytes ClientStream() const;
    int Connections() const;
    // Connections the server closed because they were idle, and in all.
    int IdleCloses() const;
    int Closes() const;
    // Bytes sent to clients so far.
    size_t BytesSent() const { return bytesSent_; }
    // A transmitter's holding register, as the requests left it.
    int16_t Holding(uint8_t unit, uint16_t reg) const;

private:
    struct Request {
        Bytes frame;   // as received (line data for the serial framings)
        uint8_t unit;  // the RTU address, or the MBAP unit identifier
        Bytes pdu;     // function and data
        uint16_t transaction;
    };
    enum class Got { kRequest, kIdle, kGone };

    void Serve();
    void ServeConnection(int fd);
    // One function per mode: what the connection gets...
    void ServeRequests(int fd);  // every mode that answers requests
    void ServeBusyBanner(int fd);
    void ServeFlood(int fd);
    // ...and how a reply reaches the client.
    void SendPlain(int fd, const Request& request, const Bytes& reply);
    void SendSplit(int fd, const Request& request, const Bytes& reply);
    void SendLateOnce(int fd, const Request& request, const Bytes& reply);
    void SendEmptyUnits0B(int fd, const Request& request, const Bytes& reply);

    Got ReadRequest(int fd, Request* request, uint32_t idleMs);
    // Takes one RTU request of eight bytes out of the line data received, if whole.
    bool TakeRtuRequest(Request* request);
    // Telnet: line data to line_, commands answered as the script says.
    void FeedTelnet(int fd, const uint8_t* bytes, size_t count);
    void AnswerComPort(int fd, const Bytes& sub);
    // The transmitters' answer, a whole frame in the server's framing; empty for silence.
    Bytes Answer(const Request& request);
    Bytes TransmitterPdu(const Request& request);
    Bytes Frame(const Request& request, const Bytes& pdu) const;
    uint32_t LineMs(const Request& request, const Bytes& reply) const;
    // Waits up to ms for bytes from the client; false when the server stops or the time passes.
    bool WaitReadable(int fd, uint32_t ms);
    // Waits ms, or less when the server is being stopped.
    void Pause(uint32_t ms);
    bool SendAll(int fd, const uint8_t* bytes, size_t count);
    bool SendAll(int fd, const Bytes& bytes) { return SendAll(fd, bytes.data(), bytes.size()); }

    ServerScript script_;
    int listener_ = -1;
    int wake_[2] = {-1, -1};  // written to when the server stops
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<size_t> bytesSent_{0};
    bool lateSent_ = false;
    mutable std::mutex mutex_;
    std::condition_variable stopped_;  // and every change of answered_
    std::vector<Bytes> requests_;
    size_t answered_ = 0;
    Bytes clientStream_;
    int connections_ = 0;
    int idleCloses_ = 0;
    int closes_ = 0;
    std::map<uint32_t, int16_t> values_;  // unit << 17 | private << 16 | address
    // The stream of the connection being served.
    Bytes received_;  // raw bytes not yet taken
    Bytes line_;      // Telnet: line data not yet taken
    int telnetState_ = 0;
    Bytes telnetSub_;
    std::thread thread_;
};
