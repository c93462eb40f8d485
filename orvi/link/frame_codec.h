// How request frames travel when the line is not a plain RTU line: the frame-level seam.
#pragma once
#include <cstddef>
#include <cstdint>

#include "serial_device.h"

// The link builds every request as an RTU frame and checks every reply as one. A codec carries
// such a request in another framing and turns the reply back into an RTU frame (address,
// function, data, CRC), so the reply checks and the transactions stay the same for every line.
// Without a codec the frames go on the line as they are, with the RTU line rules (RTS, line
// time, echo).
class FrameCodec {
public:
    virtual ~FrameCodec() = default;
    // Sends the RTU request of length bytes (CRC included); true when it went out whole.
    virtual bool Send(SerialDevice& device, const uint8_t* request, size_t length) = 0;
    // Receives the reply to the last request as an RTU frame into reply (room for capacity
    // bytes); returns its length, or 0 when no reply came within the device's time-outs.
    // expectedLength is the length of a good reply, for codecs that cannot tell a frame's end.
    virtual size_t Receive(SerialDevice& device, uint8_t* reply, size_t capacity, uint8_t expectedLength) = 0;
    // A gateway's own word that nobody answered it (0x0A, 0x0B) behind the last empty Receive; 0 otherwise.
    virtual uint8_t LastGatewayException() const { return 0; }
};

// The configurator line's codec (a line's Codec); nullptr: RTU frames on the line.
void UseFrameCodec(FrameCodec* codec);
