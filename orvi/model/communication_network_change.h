// What "&Modificar" writes into the connected transmitter, and how the host follows it.
#pragma once
#include <cstdint>
#include "comm_settings.h"
#include "communication_line.h"

struct NetworkChange {
    bool addressWritten;
    bool baudWritten;
};

// Writes the new address (register 44) at the old address, then the new rate's code (register 45)
// at the old rate; each only when it differs. Settings follow each write whatever its result, and
// the port is re-opened at a new rate. A rate outside the five is never written. Nothing is saved.
NetworkChange ApplyNetworkChange(CommSettings& settings, CommunicationLine& line, uint8_t newAddress, int32_t newBaud);
