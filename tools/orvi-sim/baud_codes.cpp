// Mapping between line speeds and baud-rate codes.
#include "baud_codes.h"

namespace orvisim {

namespace {
const int kBauds[] = {1200, 2400, 4800, 9600, 19200};
}

int BaudFromCode(int code) {
    if (code < 0 || code > 4) return -1;
    return kBauds[code];
}

int CodeFromBaud(int baud) {
    for (int code = 0; code < 5; ++code) {
        if (kBauds[code] == baud) return code;
    }
    return -1;
}

}  // namespace orvisim
