// A serial line reached over TCP: a serial device server in raw mode, or one that speaks RFC 2217.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "network_allowance.h"
#include "rfc2217_codec.h"
#include "serial_device.h"
#include "tcp_address.h"
#include "tcp_connection.h"

// The server drives the line (RTS and direction included), so the port operations that touch
// the UART do nothing here. Reads keep the COMMTIMEOUTS rules of the seam, and the first byte of
// a reply may come the allowance later than on a local line: the network's share of the wait. A
// gateway's replies are whole frames that the MBAP codec times itself, so its reads get no allowance.
//
// ClosePort and OpenPort come in pairs whenever the link changes the rate; the connection is kept
// across them (a server that serves one client at a time may still be busy with the one just
// closed), and ends with the device.
class TcpSerialDevice : public SerialDevice {
public:
    // fixedAllowanceMs: what the user allows the network (0: follow what is measured).
    TcpSerialDevice(NetworkScheme scheme, uint32_t fixedAllowanceMs);

    bool Open(const char* portName) override;
    // Raw: the server's rate is fixed, so only the first rate given (taken as the line's) is
    // accepted. RFC 2217: the rate is set on the server and must come back confirmed.
    bool Configure(const char* modeString, int32_t lineBaud) override;
    bool TogglesRts() const override { return true; }
    void SelectEvents(bool) override {}
    void SetQueues(uint32_t, uint32_t) override {}
    void SetRts(bool) override {}
    void ReassertDtr() override {}
    void Purge(bool receiveSide, bool transmitSide) override;
    bool SetReadTimeouts(const ReadTimeouts& timeouts) override;
    bool SetWriteTimeouts(const WriteTimeouts& timeouts) override;
    bool Write(const uint8_t* bytes, size_t count) override;
    bool WaitTransmitEmpty(uint32_t) override { return true; }  // the server's queue is out of sight
    size_t Read(uint8_t* buffer, size_t maxCount) override;
    void Close() override { open_ = false; }
    bool IsOpen() const override { return open_ && connection_.IsOpen(); }

    // Whether the line's rate can be changed from here (RFC 2217) or is the server's (raw).
    bool SetsLineRate() const { return scheme_ == NetworkScheme::kRfc2217; }
    // True once an open connection broke (closed by the server, reset, or a send that failed).
    bool ConnectionLost() const { return lost_; }
    // Why the last open failed or the connection was lost, in Portuguese.
    const std::string& Problem() const { return problem_; }
    // The network's share of a reply's wait, for the frame codec of a gateway too.
    NetworkAllowance& Allowance() { return allowance_; }

private:
    // Receives for at most waitMs and keeps the line data; false when the connection broke.
    bool Pull(uint32_t waitMs);
    void NoteLost();
    uint32_t MsSince(uint64_t us) const;
    // Line data after a request: how much later than the line explains it came.
    void NoteReplyBytes(size_t count);

    NetworkScheme scheme_;
    NetworkAllowance allowance_;
    TcpAddress address_;
    std::string name_;
    TcpConnection connection_;
    std::unique_ptr<Rfc2217Stream> telnet_;
    Bytes pending_;  // line data received and not yet read
    ReadTimeouts readTimeouts_ = {0, 0, 0};
    WriteTimeouts writeTimeouts_ = {0, 0};
    int32_t lineRate_ = 0;  // raw: the first rate given; RFC 2217: the last rate the server confirmed
    uint64_t sentAtUs_ = 0;
    Bytes lastRequest_;           // as the line carries it
    uint64_t firstTryUs_ = 0;     // when the first of the tries of that request went out
    size_t replyBytes_ = 0;       // line data received since
    bool awaitingReply_ = false;  // a request went out and no byte has come back since
    bool open_ = false;
    bool lost_ = false;
    std::string problem_;
};
