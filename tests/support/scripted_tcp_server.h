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
    kRtu,   // a serial device server in raw mode: RTU frames as they are
    kMbap,  // a Modbus TCP gateway: MBAP frames, no CRC
};

// One misbehaviour at a time; each has its own function in the server.
enum class ServerMode {
    kPlain,         // every reply whole, after the line time at lineBaud and replyDelayMs
    kSplitReply,    // the reply in two segments 200 ms apart: an MBAP header and its PDU (RTU: 3 bytes, then the rest)
    kLateOnce,      // the first reply lateMs later than the plain pace, every other one at that pace
    kEmptyUnits0B,  // a gateway that says so when a unit is absent: exception 0x0B after gatewayWaitMs
};

// What a gateway does with the transmitter's private functions 0x70 and 0x71.
enum class PrivateHandling { kPassed, kRefused, kDropped };

struct ServerScript {
    ServerFraming framing = ServerFraming::kMbap;
    ServerMode mode = ServerMode::kPlain;
    int32_t lineBaud = 0;  // the line time of the request and the reply at this rate (0: none)
    uint32_t replyDelayMs = 0;
    uint32_t lateMs = 0;
    uint32_t gatewayWaitMs = 0;
    PrivateHandling privateFunctions = PrivateHandling::kPassed;
    std::set<uint8_t> units = {1};  // the transmitters present, by address (their unit)
    // When set, the whole reply to a request as received (empty: none), in place of the transmitters'.
    std::function<Bytes(const Bytes& request)> answer;
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
    // modbus-tcp://127.0.0.1:PORT or tcp://127.0.0.1:PORT, by the framing.
    std::string Url() const;
    // Every request received, as it came (MBAP or RTU bytes).
    std::vector<Bytes> Requests() const;
    size_t RequestsWithFunction(uint8_t function) const;
    // Waits (at most limitMs) until count requests have had their replies sent or kept back.
    bool WaitUntilAnswered(size_t count, uint32_t limitMs);
    // A transmitter's holding register or private value, as the requests left it.
    int16_t Holding(uint8_t unit, uint16_t reg) const;

private:
    struct Request {
        Bytes frame;   // as received
        uint8_t unit;  // the RTU address, or the MBAP unit identifier
        Bytes pdu;     // function and data
        uint16_t transaction;
    };

    void Serve();
    void ServeConnection(int fd);
    bool ReadRequest(int fd, Request* request);
    // The transmitters' answer, a whole frame in the server's framing; empty for silence.
    Bytes Answer(const Request& request);
    Bytes TransmitterPdu(const Request& request);
    Bytes Frame(const Request& request, const Bytes& pdu) const;
    uint32_t LineMs(const Request& request, const Bytes& reply) const;

    // One function per mode: how the reply reaches the client.
    void SendPlain(int fd, const Request& request, const Bytes& reply);
    void SendSplit(int fd, const Request& request, const Bytes& reply);
    void SendLateOnce(int fd, const Request& request, const Bytes& reply);
    void SendEmptyUnits0B(int fd, const Request& request, const Bytes& reply);

    // Waits ms, or less when the server is being stopped.
    void Pause(uint32_t ms);
    bool SendAll(int fd, const uint8_t* bytes, size_t count);

    ServerScript script_;
    int listener_ = -1;
    int wake_[2] = {-1, -1};  // written to when the server stops
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    bool lateSent_ = false;
    mutable std::mutex mutex_;
    std::condition_variable stopped_;  // and every change of answered_
    std::vector<Bytes> requests_;
    size_t answered_ = 0;
    std::map<uint32_t, int16_t> values_;  // unit << 17 | private << 16 | address
    std::thread thread_;
};
