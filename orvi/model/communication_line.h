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
    virtual LinkError Write(int8_t reg, int16_t value) = 0;
};

// The real port and transactions.
CommunicationLine& LinkCommunicationLine();
