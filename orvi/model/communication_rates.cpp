// The five baud rates and the codes the transmitter stores for them.
#include "communication_rates.h"

const int32_t kNetworkRates[kNetworkRateCount] = {19200, 9600, 4800, 2400, 1200};

int BaudCode(int32_t baudRate) {
    switch (baudRate) {
    case 1200: return 0;
    case 2400: return 1;
    case 4800: return 2;
    case 9600: return 3;
    case 19200: return 4;
    default: return -1;
    }
}

bool IsNetworkRate(int32_t baudRate) { return BaudCode(baudRate) >= 0; }
