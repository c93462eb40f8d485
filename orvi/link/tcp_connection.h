// One TCP connection with bounded waits: the byte stream under the network serial devices.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "network_wait.h"

// Every wait is bounded, so a network that stops answering can never hold a transaction. The
// connection carries TCP keepalive with short intervals: a peer that vanished without a word (a
// half-open connection) shows as a broken connection within seconds, not as time-outs for ever.
class TcpConnection {
public:
    TcpConnection();
    ~TcpConnection();
    TcpConnection(const TcpConnection&) = delete;
    TcpConnection& operator=(const TcpConnection&) = delete;

    // Asked while a connection is made (see CancelCheck); nullptr, the start, asks no one.
    void SetCancelCheck(CancelCheck cancelled) { cancelled_ = cancelled; }
    // Looks the name up and connects, both within timeoutMs, and gives up at once when the cancel
    // check says so; false with the reason in Portuguese in *problem.
    bool Connect(const std::string& host, uint16_t port, uint32_t timeoutMs, std::string* problem);
    // True when every byte was handed to the network within timeoutMs. A failure closes the
    // connection, unless no byte was taken and it is still there (*handed tells how many were).
    // A send that stalls part way closes it too: the peer's framing is lost.
    bool Send(const uint8_t* bytes, size_t count, uint32_t timeoutMs, size_t* handed = nullptr);
    // Waits up to waitMs for bytes and returns how many arrived (0: none in that time); -1 when the
    // peer closed the connection or it failed, which closes it here too. What had arrived before a
    // send found the connection broken still comes first: often the peer's reason for closing.
    long Receive(uint8_t* buffer, size_t maxCount, uint32_t waitMs);
    void Close();
    bool IsOpen() const;
    // Why the connection failed or broke, in Portuguese; "" when the peer closed it in order.
    const std::string& Problem() const { return problem_; }

private:
    // Closes after a failed send, keeping what had already arrived for Receive.
    void CloseKeepingWhatArrived();

    intptr_t socket_;
    CancelCheck cancelled_ = nullptr;
    std::string problem_;
    std::vector<uint8_t> leftover_;
};

// Keepalive: the first probe after this much silence, then one a second, the connection given up
// after this many unanswered.
enum : uint32_t { kKeepaliveIdleSeconds = 5, kKeepaliveIntervalSeconds = 1, kKeepaliveProbes = 3 };
