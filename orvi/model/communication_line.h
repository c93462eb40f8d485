// What the Communication page's search and address/rate change need of the link, as one seam.
#pragma once
#include <cstdint>
#include "link_error.h"

class CommunicationLine {
public:
    virtual ~CommunicationLine() = default;
    // Closes the port and opens it again with the settings as they are now (the result is not needed:
    // a port that did not open makes the transactions that follow fail).
    virtual void Reopen() = 0;
    virtual LinkError ReadIdentity(uint16_t* value) = 0;  // register 8, reply from any address
    virtual LinkError ReadAddress(uint16_t* value) = 0;   // register 44, reply from any address
    // One holding register at the device address and rate in force, the reply from that address only.
    virtual LinkError Read(int8_t reg, uint16_t* value) = 0;
    // A write of register 44 or 45 confirmed by its echo: the change takes hold after the reply, so
    // only a read at the new setting can confirm it.
    virtual LinkError Write(int8_t reg, int16_t value) = 0;
    // What the look at the new setting made of an echoed Write: a program that records its writes
    // records it now (hasReadBack: the register as read wherever the transmitter answered).
    virtual void Confirm(int8_t reg, int16_t value, bool confirmed, bool hasReadBack, int16_t readBack) = 0;
    // True when the user asked to stop (Ctrl-C of a console program): nothing is written from then on.
    virtual bool Stopped() { return false; }
};

// The real port and transactions.
CommunicationLine& LinkCommunicationLine();
