// orvictl's network ports: the device a port name gets, the time allowed the network, and what
// to tell the user when the network or a gateway is why a transmitter did not answer.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "frame_observer.h"
#include "link_error.h"
#include "mbap_codec.h"
#include "network_wait.h"
#include "serial_device.h"
#include "tcp_serial_device.h"

bool IsNetworkPortName(const std::string& port);

// --timeout MS: the time a reply may take beyond the line's own, 1 to 60000 ms.
bool ParseNetworkTimeout(const std::string& text, uint32_t* ms);

class Line;

// The network side of one line session: the device a port name gets, the time allowed the network,
// and what to tell the user when the network or a gateway is why a transmitter did not answer.
class NetworkPort {
public:
    NetworkPort() = default;
    NetworkPort(const NetworkPort&) = delete;
    NetworkPort& operator=(const NetworkPort&) = delete;

    // --verbose: what the network showed is told at the end too, and dump sees what each connection
    // carries; interrupted (Ctrl-C) ends a connection's wait.
    void Configure(bool verbose, FrameObserver dump, CancelCheck interrupted);
    // The device for a port name on line: a serial device of its own for a local port; for a network
    // name a network device (with the MBAP frame codec for a gateway, set on line), kept until
    // Release. timeoutMs 0 lets the allowance follow the network; unit (not 0) is the gateway's unit
    // identifier for the transmitter at address.
    SerialDevice& DeviceFor(Line& line, const std::string& port, uint32_t timeoutMs, uint8_t address = 0,
                            uint8_t unit = 0);
    // Ends the network connection, if any, and tells what the user has not been told yet: a lost
    // connection, the private values a gateway refused, and with --verbose the line errors an RFC 2217
    // server reported.
    void Release(Line& line);
    // True once a connection that had served was lost for good during this session (exit code 4).
    bool ConnectionDropped() const { return connectionDropped_; }
    // Why a network port did not open or refused the line settings ("" for a local port).
    std::string PortProblem();
    // Why a transaction failed when the network or the gateway is the reason ("" otherwise); the
    // loss of the connection counts as told once this has returned it.
    std::string FailureText(LinkError error, unsigned address);
    // True once a gateway has refused or dropped one of the transmitter's private values (functions
    // 0x70, 0x71); the rest of them are then not asked of it.
    bool PrivateValuesRefused() const;
    // True while the open line is a Modbus TCP gateway: its serial rate is its own, unknown here.
    bool ThroughGateway() const { return gatewayCodec_ != nullptr; }
    // The unit identifier the gateway knows the transmitter at address by (--unit), 0 when it is the address.
    uint8_t GatewayUnitOf(uint8_t address) const;
    // True once the open network connection has broken: every further transaction would fail at once.
    bool LineLost() const;
    // What a row of monitor says of a sample without a reply when the network is why: "conexão
    // perdida", or the gateway's answer ("" otherwise).
    std::string SampleText(LinkError error, unsigned address) const;
    // True when the open line's rate is fixed by its server (raw TCP), so the transmitter's rate must
    // not be changed through it: the line could not follow.
    bool LineRateIsFixed() const;
    // While held, a reply's wait is bounded by the caller's allowance (see WholeWaitScope).
    void HoldAllowance(uint32_t allowanceMs);
    void LetGoAllowance();
    bool IsNetwork() const { return networkDevice_ != nullptr; }

private:
    std::unique_ptr<SerialDevice> localDevice_;
    std::unique_ptr<TcpSerialDevice> networkDevice_;
    std::unique_ptr<MbapCodec> gatewayCodec_;
    bool lossTold_ = false;
    bool verbose_ = false;
    bool connectionDropped_ = false;
    FrameObserver dump_;
    CancelCheck interrupted_ = nullptr;
};

// While set, a reply's wait is bounded by the caller's allowance (a sweep's --timeout): a gateway's
// frame gets allowanceMs as the network's share, a device server's reads add nothing to the caller's
// own time-outs, which hold it already. The measured allowance comes back when it ends.
class WholeWaitScope {
public:
    WholeWaitScope(NetworkPort& network, bool active, uint32_t allowanceMs);
    ~WholeWaitScope();
    WholeWaitScope(const WholeWaitScope&) = delete;
    WholeWaitScope& operator=(const WholeWaitScope&) = delete;

private:
    NetworkPort& network_;
    bool active_;
};

// The rates a scan may try on port: a server in raw mode has one line rate, the one given with
// --baud (or the default), and refuses a list of several. An exit code, with a message when not 0.
int FitScanRates(const std::string& port, int32_t lineRate, bool ratesGiven, std::vector<int32_t>* rates);
// True when the open line's rate is fixed by its server (raw TCP), so the transmitter's rate must
// not be changed through it: the line could not follow.
