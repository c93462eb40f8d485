// A transmitter new from the factory taken to its place on a line: the steps commission and plant
// commission share.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "config_snapshot.h"
#include "line_session.h"
#include "requested_values.h"

// Where a transmitter new from the factory answers.
enum { kFactoryAddress = 1, kFactoryBaud = 9600 };

// A new transmitter as read at the factory address.
struct FactoryUnit {
    ConfigSnapshot held = {};
};

// Waits on the open line of session, at its rate, until a transmitter answers at the factory address,
// and reads its configuration. A transmitter whose serial number is skip (one that failed and is
// still on the line) is waited out, and said so once. kExitOk; kExitInterrupted on Ctrl-C; kExitPort,
// said, when the port stops taking requests and does not open again (an adapter unplugged).
int WaitForFactoryUnit(LineSession& session, uint32_t skip, FactoryUnit* unit);

// Whether requests may go onto unit: the page's checks against what it holds, since a file may leave
// some values to the transmitter. An exit code, with the reason in message.
int CheckUnitTakes(const FactoryUnit& unit, const std::vector<RequestedValue>& requests, std::string* message);

// The rate at which something answers at address on the open line of session, 0 when nothing does:
// every rate the line can take is asked (a transmitter at another rate keeps the address taken), then
// the line is back at the rate it had. Ctrl-C stops it (0).
int32_t RateAnsweringAt(LineSession& session, uint8_t address);

// The unit at the factory address of factory (its port and rate) moved to address and rate baud
// (confirmed by its serial number, as orvictl address confirms), then, when requests is given, loaded
// with them. result says how far it went ("endereço ok; 3 parâmetro(s) escritos"). The line is closed
// on return. An exit code.
int PlaceFactoryUnit(LineSession& session, const LineTarget& factory, uint8_t address, int32_t baud,
                     const std::vector<RequestedValue>* requests, std::string* result);
