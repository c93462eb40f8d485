// The automatic search: every baud rate from the fastest, address 0, identity 1, then the address.
#pragma once
#include <cstdint>
#include "comm_settings.h"
#include "communication_line.h"

struct SearchOutcome {
    bool found;
    int32_t baudRate;     // the rate it answered at
    int16_t addressRead;  // register 44 as read
};

// On success settings hold the rate found and the low byte of the address read. Otherwise they are
// back to the address and rate from before the search and the port is open at that rate again.
// Settings are not saved here.
SearchOutcome RunAutomaticSearch(CommSettings& settings, CommunicationLine& line);
