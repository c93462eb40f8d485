// One TCP connection with bounded waits: the byte stream under the network serial devices.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// Every wait is bounded, so a network that stops answering can never hold a transaction.
class TcpConnection {
public:
    TcpConnection();
    ~TcpConnection();
    TcpConnection(const TcpConnection&) = delete;
    TcpConnection& operator=(const TcpConnection&) = delete;

    // False with the reason in Portuguese in *problem (name not found, refused, no answer in time).
    bool Connect(const std::string& host, uint16_t port, uint32_t timeoutMs, std::string* problem);
    // True when every byte was handed to the network within timeoutMs; a failure closes the connection.
    bool Send(const uint8_t* bytes, size_t count, uint32_t timeoutMs);
    // Waits up to waitMs for bytes and returns how many arrived (0: none in that time); -1 when the
    // peer closed the connection or it failed, which closes it here too.
    long Receive(uint8_t* buffer, size_t maxCount, uint32_t waitMs);
    void Close();
    bool IsOpen() const;

private:
    intptr_t socket_;
};
