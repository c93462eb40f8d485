// Modbus TCP (MBAP header, no CRC) for a gateway in front of an RTU line, as a frame codec.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "frame_codec.h"

enum : uint8_t {
    kMbapHeaderLength = 7,           // transaction, protocol, length (2 bytes each), unit
    kGatewayPathUnavailable = 0x0A,  // the gateway has no route to that unit
    kGatewayTargetNoResponse = 0x0B  // the unit did not answer the gateway
};

// The MBAP frame of an RTU request (address, function, data, CRC): the address becomes the unit
// identifier and the CRC is left off. Returns the frame's length (0 when the request is too short).
size_t MbapFromRtu(uint16_t transaction, const uint8_t* request, size_t length, uint8_t* out, size_t capacity);

// The RTU frame of a unit and its PDU, with the CRC the line would have carried; 0 when it does not fit.
size_t RtuFromMbap(uint8_t unit, const uint8_t* pdu, size_t pduLength, uint8_t* out, size_t capacity);

// The Portuguese text of a gateway's own exception for the transmitter at address, "" for any other code.
std::string GatewayExceptionText(uint8_t code, unsigned address);

class MbapCodec : public FrameCodec {
public:
    bool Send(SerialDevice& device, const uint8_t* request, size_t length) override;
    size_t Receive(SerialDevice& device, uint8_t* reply, size_t capacity, uint8_t expectedLength) override;

    // A gateway that answers for an absent transmitter (0x0A, 0x0B) has said "no reply": Receive
    // then returns 0, as on a silent line, and this keeps the code (0 after any other outcome).
    uint8_t LastGatewayException() const { return lastGatewayException_; }
    // The transmitter's private values (function 0x70 or 0x71, by address) that the gateway
    // refused as an unknown function, in the order first refused.
    const std::vector<uint16_t>& RefusedPrivateValues() const { return refusedPrivate_; }

private:
    uint16_t transaction_ = 0;
    uint8_t request_[8] = {};
    size_t requestLength_ = 0;
    uint8_t lastGatewayException_ = 0;
    std::vector<uint16_t> refusedPrivate_;
};
