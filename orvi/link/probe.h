// One read request whose reply is awaited only a short while: the inventory's sweep over empty addresses.
#pragma once
#include <cstdint>
#include "link_error.h"

struct ProbeResult {
    LinkError result;   // as ReceiveReply checks the reply; kLinkTimeout when nothing complete came
    bool heard;         // some byte arrived, even when no good reply did (a collision, noise)
    uint32_t answerUs;  // from the end of the request on the line to the end of the reply read
};

// Reads register reg (one word) at the line's address (the configurator's line without one), one try, waiting for a
// reply to begin allowanceMs and one character time after the request has left, and for a reply that began its line
// time and allowanceMs in all; the frame, its checks and the port are the link's own. Through a frame
// codec (a gateway) the codec's wait holds instead, and its "nobody answered" is silence.
ProbeResult ProbeRead(int8_t reg, uint16_t* destination, uint32_t allowanceMs);
class Line;
ProbeResult ProbeRead(Line& line, int8_t reg, uint16_t* destination, uint32_t allowanceMs);
