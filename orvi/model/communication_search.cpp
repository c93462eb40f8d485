// The automatic search over the five baud rates.
#include "communication_search.h"
#include "communication_address.h"
#include "communication_rates.h"

SearchOutcome RunAutomaticSearch(CommSettings& settings, CommunicationLine& line) {
    const uint8_t savedAddress = settings.deviceAddress;
    const int32_t savedBaud = settings.baudRate;
    // Address 0 with replies from any address: the transmitter answers with its own.
    settings.deviceAddress = 0;
    for (int32_t rate : kNetworkRates) {
        settings.baudRate = rate;
        line.Reopen();
        uint16_t identity = 0;
        if (line.ReadIdentity(&identity) != kLinkOk || identity != 1) continue;
        // Without its address the transmitter cannot be reached afterwards, so it is not "found".
        uint16_t address = 0;
        if (line.ReadAddress(&address) != kLinkOk) continue;
        // The transmitter answers at the low byte; 0 (broadcast) and 248 up cannot reach it on a bus.
        const uint8_t answersAt = static_cast<uint8_t>(address & 0xFFu);
        if (answersAt < kLowestNetworkAddress || answersAt > kHighestNetworkAddress) continue;
        settings.deviceAddress = answersAt;
        return SearchOutcome{true, rate, answersAt};
    }
    // Host and page controls must agree again: back to what the page still shows.
    settings.deviceAddress = savedAddress;
    settings.baudRate = savedBaud;
    line.Reopen();
    return SearchOutcome{false, savedBaud, 0};
}
