// Modbus TCP (MBAP header, no CRC) for a gateway in front of an RTU line, as a frame codec.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "frame_codec.h"
#include "network_allowance.h"

enum : uint8_t {
    kMbapHeaderLength = 7,           // transaction, protocol, length (2 bytes each), unit
    kGatewayPathUnavailable = 0x0A,  // the gateway has no route to that unit
    kGatewayTargetNoResponse = 0x0B  // the unit did not answer the gateway
};

// The MBAP frame of an RTU request (address, function, data, CRC): the address becomes the unit
// identifier (unless unit is not 0) and the CRC is left off. Returns the frame's length (0 when the
// request is too short).
size_t MbapFromRtu(uint16_t transaction, const uint8_t* request, size_t length, uint8_t* out, size_t capacity,
                   uint8_t unit = 0);

// The RTU frame of a unit and its PDU, with the CRC the line would have carried; 0 when it does not fit.
size_t RtuFromMbap(uint8_t unit, const uint8_t* pdu, size_t pduLength, uint8_t* out, size_t capacity);

// The Portuguese text of a gateway's own exception for the transmitter at address (known to the
// gateway as unit, when that differs), "" for any other code. Both codes say nobody answered.
std::string GatewayExceptionText(uint8_t code, unsigned address, unsigned unit = 0);

// How a gateway treats the transmitter's private functions (0x70, 0x71), as found on the first one asked.
enum class PrivatePath { kUnknown, kPassed, kRefused, kDropped };

class MbapCodec : public FrameCodec {
public:
    // allowance: the network's share of a reply's wait, which the replies measured here refine.
    explicit MbapCodec(NetworkAllowance& allowance) : allowance_(allowance) {}

    // Sends the request, or, for a private function this gateway does not pass, nothing: Receive
    // then gives the refusal the gateway stands for.
    bool Send(SerialDevice& device, const uint8_t* request, size_t length) override;
    // Waits for the whole frame until one deadline from the send: the allowance, the request's and
    // the reply's line time at the gateway's rate (commSettings' rate) and the pause a reply may hold.
    // A gateway is only ever reached over a socket: the deadline and the measured delays run on the
    // sockets' clock (NetworkClockUs).
    size_t Receive(SerialDevice& device, uint8_t* reply, size_t capacity, uint8_t expectedLength) override;

    // The gateway knows the transmitter at address by another unit identifier; requests to any other
    // address keep the address as their unit.
    void MapUnit(uint8_t address, uint8_t unit) {
        mappedAddress_ = address;
        mappedUnit_ = unit;
    }
    uint8_t UnitOf(uint8_t address) const { return mappedUnit_ && address == mappedAddress_ ? mappedUnit_ : address; }

    // A gateway that answers for an absent transmitter (0x0A, 0x0B) has said "no reply": Receive
    // then returns 0, as on a silent line, and this keeps the code (0 after any other outcome).
    uint8_t LastGatewayException() const override { return lastGatewayException_; }
    PrivatePath PrivateFunctions() const { return privatePath_; }
    // The transmitter's private values (by address) that could not pass this gateway, in the order first asked.
    const std::vector<uint16_t>& RefusedPrivateValues() const { return refusedPrivate_; }

private:
    struct SentFrame {
        uint16_t transaction;
        uint64_t atUs;
        size_t rtuLength;  // the request as the gateway's line carries it
    };
    enum { kSentKept = 8 };

    size_t ReceiveFrame(SerialDevice& device, uint8_t* reply, size_t capacity, uint8_t expectedLength);
    uint64_t DeadlineUs(uint8_t expectedLength) const;
    // How much later than the line explains the reply of a frame (this one or an earlier one) came.
    void MeasureReply(uint16_t transaction, size_t pduLength);
    void NoteRefused();
    void LearnPrivatePath(size_t replyLength, const uint8_t* reply, bool connected);

    NetworkAllowance& allowance_;
    uint16_t transaction_ = 0;
    uint8_t request_[8] = {};
    size_t requestLength_ = 0;
    bool answeredHere_ = false;
    uint8_t mappedAddress_ = 0;
    uint8_t mappedUnit_ = 0;
    uint8_t sentUnit_ = 0;  // the unit of the last request
    uint8_t lastGatewayException_ = 0;
    uint8_t lastAnswered_ = 0;  // the address of the last public request answered (0: none)
    PrivatePath privatePath_ = PrivatePath::kUnknown;
    std::vector<uint16_t> refusedPrivate_;
    SentFrame sent_[kSentKept] = {};
};
