// The automatic search: every baud rate from the fastest, address 0, identity 1, then the address.
#pragma once
#include <cstdint>
#include <string>
#include "comm_settings.h"
#include "communication_line.h"

struct SearchOutcome {
    bool found;
    int32_t baudRate;     // the rate it answered at
    uint8_t addressRead;  // the address it answers at: the low byte of register 44
    // Not found, but an Orvi answered its identity at this rate (0: none did) and then its address
    // read failed (addressError) or held an address no request can reach (addressValue).
    int32_t answeredBaud;
    LinkError addressError;
    uint16_t addressValue;
};

// Found means identity 1 and an address from 1 to 247 in the low byte of register 44; on success
// settings hold the rate found and that address. Otherwise they are
// back to the address and rate from before the search and the port is open at that rate again.
// Settings are not saved here.
SearchOutcome RunAutomaticSearch(CommSettings& settings, CommunicationLine& line);

// The message of a search that found nothing usable (Portuguese, CP1252): the old "Não foi possível
// comunicar com o Orvi!" when nothing answered, otherwise the rate it answered at and what failed.
std::string SearchFailureText(const SearchOutcome& outcome);
