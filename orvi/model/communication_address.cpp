// Validation of the network address field and the check made when the user leaves the page.
#include "communication_address.h"

const char kInvalidNetworkAddressMessage[] = "Endereço inválido!\n\nInforme um número de 1 a 247.";

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

bool ParseNetworkAddress(const char* text, uint8_t* address) {
    if (text == nullptr) return false;
    while (IsBlank(*text)) ++text;
    if (!IsDigit(*text)) return false;
    int value = 0;
    for (; IsDigit(*text); ++text) {
        value = value * 10 + (*text - '0');
        if (value > kHighestNetworkAddress) return false;  // also stops long digit runs from overflowing
    }
    while (IsBlank(*text)) ++text;
    if (*text != '\0' || value < kLowestNetworkAddress) return false;
    *address = static_cast<uint8_t>(value);
    return true;
}

bool NetworkFieldsDiffer(const char* addressText, int32_t listedBaud, uint8_t deviceAddress, int32_t baudRate) {
    uint8_t typed = 0;
    if (!ParseNetworkAddress(addressText, &typed)) return true;
    return typed != deviceAddress || listedBaud != baudRate;
}
