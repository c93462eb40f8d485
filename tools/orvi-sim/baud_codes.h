// The transmitter's five line speeds and their baud-rate codes (register 45).
#pragma once

namespace orvisim {

// 0 = 1200, 1 = 2400, 2 = 4800, 3 = 9600, 4 = 19200; -1 for anything else.
int BaudFromCode(int code);
int CodeFromBaud(int baud);

}  // namespace orvisim
