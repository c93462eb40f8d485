// The address and baud-rate change of a connected transmitter.
#include "communication_network_change.h"
#include "communication_rates.h"
#include "register_map.h"

NetworkChange ApplyNetworkChange(CommSettings& settings, CommunicationLine& line, uint8_t newAddress, int32_t newBaud) {
    NetworkChange change = {false, false};
    // The address first: the rate write then already goes to the new address, at the rate the
    // transmitter still has.
    if (newAddress != settings.deviceAddress) {
        line.Write(kRegDeviceAddress, static_cast<int16_t>(newAddress));
        settings.deviceAddress = newAddress;
        change.addressWritten = true;
    }
    if (IsNetworkRate(newBaud) && newBaud != settings.baudRate) {
        line.Write(kRegBaudCode, static_cast<int16_t>(BaudCode(newBaud)));
        settings.baudRate = newBaud;
        line.Reopen();
        change.baudWritten = true;
    }
    return change;
}
