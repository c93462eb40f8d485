// A serial line reached over TCP: a serial device server in raw mode, or one that speaks RFC 2217.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "frame_observer.h"
#include "network_allowance.h"
#include "rfc2217_codec.h"
#include "serial_device.h"
#include "tcp_address.h"
#include "tcp_connection.h"

// The server drives the line (RTS and direction included), so the port operations that touch
// the UART do nothing here. Reads keep the COMMTIMEOUTS rules of the seam, and the first byte of
// a reply may come the allowance later than on a local line: the network's share of the wait. A
// gateway's replies are whole frames that the MBAP codec times itself, so its reads get no allowance.
// Its waits and the delays it measures run on the sockets' clock (NetworkClockUs), whatever the
// link's own clock is.
//
// ClosePort and OpenPort come in pairs whenever the link changes the rate; the connection is kept
// across them (a server that serves one client at a time may still be busy with the one just
// closed), and ends with the device.
//
// Servers and gateways close connections: idle ones, or to let another client in. A connection
// found closed while no request is out (at the purge or the write before a request) is made again
// once, with the RFC 2217 negotiation and the rate, and the request goes out on it. One that
// breaks while a request is out, or part way through sending one, is lost for good: what the
// request did is unknown, and a write must never go out twice. So is one the server closed with
// words of its own ("Port already in use"): it told why, and the device keeps them as the problem.
class TcpSerialDevice : public SerialDevice {
public:
    // fixedAllowanceMs: what the user allows the network (0: follow what is measured).
    TcpSerialDevice(NetworkScheme scheme, uint32_t fixedAllowanceMs);

    bool Open(const char* portName) override;
    // Raw: the server's rate is fixed, so only the first rate given (taken as the line's) is
    // accepted. RFC 2217: rate, data size, parity and stop size are set on the server and must each
    // come back as asked.
    bool Configure(const char* modeString, int32_t lineBaud) override;
    bool TogglesRts() const override { return true; }
    void SelectEvents(bool) override {}
    void SetQueues(uint32_t, uint32_t) override {}
    void SetRts(bool) override {}
    void ReassertDtr() override {}
    // Whatever has arrived belongs to an earlier exchange and is dropped, within a bound of time and
    // bytes (a server that floods cannot hold the purge); an RFC 2217 server is asked to drop what
    // its own buffers hold too.
    void Purge(bool receiveSide, bool transmitSide) override;
    bool SetReadTimeouts(const ReadTimeouts& timeouts) override;
    bool SetWriteTimeouts(const WriteTimeouts& timeouts) override;
    bool Write(const uint8_t* bytes, size_t count) override;
    bool WaitTransmitEmpty(uint32_t) override { return true; }  // the server's queue is out of sight
    size_t Read(uint8_t* buffer, size_t maxCount) override;
    void Close() override { open_ = false; }
    // Open until the connection is lost for good (it may be down for a moment in between).
    bool IsOpen() const override { return open_ && !lost_; }

    // Whether the line's rate can be changed from here (RFC 2217) or is the server's (raw).
    bool SetsLineRate() const { return scheme_ == NetworkScheme::kRfc2217; }
    // True once the connection is lost for good (see above): every further request fails at once.
    bool ConnectionLost() const { return lost_; }
    // Why the last open failed or the connection was lost, in Portuguese.
    const std::string& Problem() const { return problem_; }
    // Connections made again after a server closed one between requests.
    int Reconnections() const { return reconnections_; }
    // The UART errors an RFC 2217 server reported on this line (none for the other kinds).
    LineErrors ServerLineErrors() const;
    // The network's share of a reply's wait, for the frame codec of a gateway too.
    NetworkAllowance& Allowance() { return allowance_; }
    // A look at the bytes the connection carries, their framing included (MBAP headers, Telnet
    // commands and escapes): what was sent, and each piece as it arrived. nullptr: none.
    void SetObserver(FrameObserver observer) { observer_ = std::move(observer); }
    // Asked while a connection is made: true (Ctrl-C) ends the wait.
    void SetCancelCheck(CancelCheck cancelled) { connection_.SetCancelCheck(cancelled); }

private:
    // A new connection to address_, with the Telnet opening for RFC 2217; false with problem_ set.
    bool Connect();
    bool Reconnect();
    // RFC 2217: sets the line at baud and checks each setting the server confirms.
    bool ApplyLine(int32_t baud);
    // Sends bytes as they are (the framing is the caller's); false when they did not all go.
    bool SendBytes(const Bytes& bytes, uint32_t limitMs, size_t* handed = nullptr);
    // Receives for at most waitMs and keeps the line data; the number of bytes received (0: none),
    // or -1 when the connection closed or broke.
    long Pull(uint32_t waitMs);
    void NoteClosed();
    // A send found the connection broken (and closed it): takes in what had arrived, then notes the close.
    void NoteSendBroke();
    // The server's own words at the end of what its line sent, if it sent some ("" otherwise).
    std::string ServerWords() const;
    uint32_t MsSince(uint64_t us) const;
    // Line data after a request: how much later than the line explains it came.
    void NoteReplyBytes(size_t count);

    NetworkScheme scheme_;
    NetworkAllowance allowance_;
    TcpAddress address_;
    std::string name_;
    TcpConnection connection_;
    std::unique_ptr<Rfc2217Stream> telnet_;
    LineErrors earlierErrors_;  // reported on connections before this one
    Bytes pending_;             // line data received and not yet read
    Bytes recent_;              // the last line data received, for the server's words when it closes
    ReadTimeouts readTimeouts_ = {0, 0, 0};
    WriteTimeouts writeTimeouts_ = {0, 0};
    int32_t lineRate_ = 0;  // raw: the first rate given; RFC 2217: the last rate the server confirmed
    uint64_t sentAtUs_ = 0;
    Bytes lastRequest_;           // as the line carries it
    uint64_t firstTryUs_ = 0;     // when the first of the tries of that request went out
    size_t replyBytes_ = 0;       // line data received since
    bool awaitingReply_ = false;  // a request went out and no byte has come back since
    bool inFlight_ = false;       // a request went out (even in part) and the caller has not moved on
    bool open_ = false;
    bool lost_ = false;
    FrameObserver observer_;
    int reconnections_ = 0;
    std::string problem_;
};
