// A TCP server inside the test process that stands for a serial device server or a Modbus TCP
// gateway in front of transmitters, and misbehaves on purpose in the mode it is given.
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
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
    kPlain,          // every request answered at once
    kCloseWhenIdle,  // answers, and closes a connection left idle for idleMs, as many gateways do
    kBusyBanner,     // says busyText and closes, as a serial server whose port another client holds
    kFlood,          // sends bytes without a pause for floodMs from the moment it accepts
};

struct ServerScript {
    ServerFraming framing = ServerFraming::kMbap;
    ServerMode mode = ServerMode::kPlain;
    std::set<uint8_t> units = {1};  // the transmitters present, by address (their unit)
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
        Bytes frame;  // as received (line data for the serial framings)
        uint8_t unit;
        Bytes pdu;  // function and data
        uint16_t transaction;
    };
    enum class Got { kRequest, kIdle, kGone };

    void Serve();
    void ServeConnection(int fd);
    // One function per mode.
    void ServeRequests(int fd);  // kPlain and kCloseWhenIdle
    void ServeBusyBanner(int fd);
    void ServeFlood(int fd);

    Got ReadRequest(int fd, Request* request, uint32_t idleMs);
    // Takes one RTU request of eight bytes out of the line data received, if whole.
    bool TakeRtuRequest(Request* request);
    // Telnet: line data to line_, commands answered as the script says.
    void FeedTelnet(int fd, const uint8_t* bytes, size_t count);
    void AnswerComPort(int fd, const Bytes& sub);
    Bytes TransmitterPdu(const Request& request);
    Bytes Frame(const Request& request, const Bytes& pdu) const;
    // Waits up to ms for bytes from the client; false when the server stops or the time passes.
    bool WaitReadable(int fd, uint32_t ms);
    bool SendAll(int fd, const uint8_t* bytes, size_t count);
    bool SendAll(int fd, const Bytes& bytes) { return SendAll(fd, bytes.data(), bytes.size()); }

    ServerScript script_;
    int listener_ = -1;
    int wake_[2] = {-1, -1};  // written to when the server stops
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::atomic<size_t> bytesSent_{0};
    mutable std::mutex mutex_;
    std::vector<Bytes> requests_;
    Bytes clientStream_;
    int connections_ = 0;
    int idleCloses_ = 0;
    int closes_ = 0;
    std::map<uint32_t, int16_t> holding_;  // unit << 16 | register
    // The stream of the connection being served.
    Bytes received_;  // raw bytes not yet taken
    Bytes line_;      // Telnet: line data not yet taken
    int telnetState_ = 0;
    uint8_t telnetVerb_ = 0;
    Bytes telnetSub_;
    std::thread thread_;
};
