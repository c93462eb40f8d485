// The rate buttons' baud rates, in button order.
#include "rate_buttons.h"

namespace {
const int32_t kRates[] = {1200, 2400, 4800, 9600, 19200};
}

int RateButtonForBaud(int32_t baudRate) {
    for (int i = 0; i < 5; ++i)
        if (kRates[i] == baudRate) return kFirstRateButton + i;
    return 0;
}

int32_t BaudForRateButton(int buttonId) {
    if (buttonId < kFirstRateButton || buttonId > kLastRateButton) return 0;
    return kRates[buttonId - kFirstRateButton];
}
