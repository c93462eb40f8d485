// The five baud rates of the Communication page: list order, search order and the transmitter's codes.
#pragma once
#include <cstdint>

constexpr int kNetworkRateCount = 5;
// Fastest first: the network list shows them in this order and the search tries them in it.
extern const int32_t kNetworkRates[kNetworkRateCount];

// The code register 45 takes for a rate (1200 -> 0 ... 19200 -> 4), or -1 for any other rate.
int BaudCode(int32_t baudRate);
bool IsNetworkRate(int32_t baudRate);
