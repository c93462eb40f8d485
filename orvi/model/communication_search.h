// The automatic search: every baud rate from the fastest, address 0, identity 1, then the address.
#pragma once
#include <cstdint>
#include "comm_settings.h"
#include "communication_line.h"

struct SearchOutcome {
    bool found;
    int32_t baudRate;     // the rate it answered at
    uint8_t addressRead;  // the address it answers at: the low byte of register 44
};

// Found means identity 1 and an address from 1 to 247 in the low byte of register 44; on success
// settings hold the rate found and that address. Otherwise they are
// back to the address and rate from before the search and the port is open at that rate again.
// Settings are not saved here.
SearchOutcome RunAutomaticSearch(CommSettings& settings, CommunicationLine& line);
