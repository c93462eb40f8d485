// The transmitter's own address or rate changed on a session's line, and confirmed at the new setting.
#pragma once
#include <cstdint>

#include "line_session.h"

// Opens session at target, changes the transmitter's address to newAddress and its rate to newBaud
// (0: unchanged), confirms the change where the transmitter answers with the serial number it had,
// says so, and closes the line; an exit code.
int ChangeNetwork(LineSession& session, const LineTarget& target, uint8_t newAddress, int32_t newBaud);
