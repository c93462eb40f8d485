// The device address typed in the Communication page's network group, and when that group is stale.
#pragma once
#include <cstdint>

constexpr int kLowestNetworkAddress = 1;
constexpr int kHighestNetworkAddress = 247;

// True with *address set when text is a whole number from 1 to 247 (blanks around it allowed);
// false for an empty field, 0, 248 and above, signs and any other text.
bool ParseNetworkAddress(const char* text, uint8_t* address);

// The Portuguese message shown when the field holds no usable address.
extern const char kInvalidNetworkAddressMessage[];

// Whether leaving the page must put the network fields back: the address field does not hold the
// current address (or no valid address at all), or the baud list does not show the current rate.
bool NetworkFieldsDiffer(const char* addressText, int32_t listedBaud, uint8_t deviceAddress, int32_t baudRate);
