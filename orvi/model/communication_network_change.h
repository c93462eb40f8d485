// A change of the connected transmitter's address and rate: what is written, how it is confirmed,
// and where the host talks to the transmitter afterwards. The Communication page's "&Modificar" and
// orvictl's address and baud run this one sequence.
#pragma once
#include <cstdint>
#include <string>
#include "comm_settings.h"
#include "communication_line.h"

enum class NetworkChangeResult {
    kNothingToChange,   // the new address and rate are the current ones: nothing sent
    kNoReply,           // the transmitter did not answer at the current setting: nothing written
    kAddressInUse,      // something answered at the new address: nothing written
    kStopped,           // the line asked to stop before the first write: nothing written
    kConfirmed,         // written, and read at the new address and rate
    kOnlyAddressTaken,  // address and rate asked: it answers at the new address, still at the old rate
    kNotTaken,          // not confirmed; it still answers at the old address and rate
    kNotFound,          // it answers neither at the new setting nor at the old one
};

struct NetworkChange {
    NetworkChangeResult result;
    uint8_t oldAddress;
    int32_t oldBaud;
    uint8_t newAddress;  // what was asked (the old value where nothing was asked)
    int32_t newBaud;
    bool addressWritten;  // a write of register 44 went out (whatever its echo)
    bool baudWritten;     // a write of register 45 went out
    LinkError error;      // why the read before the change, or the confirming read, failed
};

// Runs the change on the transmitter the settings reach:
// 1. nothing to change: nothing sent;
// 2. a read at the current setting (the transmitter must be there), and, for a new address, a read
//    of the new address at the current rate: any answer there refuses the move (two transmitters
//    at one address could no longer be told apart);
// 3. the address written at the old address, then the rate's code written at the new address and
//    old rate, each a write confirmed by its echo; no rate write after an address write without echo;
// 4. a read of register 44 at the new address and rate; when that fails, the settings the
//    transmitter may have taken are tried (new address at the old rate, then the old setting).
// On return settings (and the open port) hold where the transmitter answered, or the old setting
// when it answered nowhere. A rate outside the five is never written. Nothing is saved here.
NetworkChange ApplyNetworkChange(CommSettings& settings, CommunicationLine& line, uint8_t newAddress, int32_t newBaud);

// The Communication page's message for a change (Portuguese, CP1252): where the transmitter answers
// or may answer and, when it was not confirmed, what to do. Empty for kNothingToChange.
std::string NetworkChangeText(const NetworkChange& change);

// What a change leaves of what was read from the transmitter, and of a file opened for it.
enum class NetworkChangeAftermath {
    kKeep,        // nothing written and the host where it was: the same transmitter answers there
    kReadFailed,  // nothing answered at the current setting: whatever answers later may be another
    kLineMoved,   // something was written or the host moved: the same drops as any change of the line
};
NetworkChangeAftermath AftermathOf(NetworkChangeResult result);
