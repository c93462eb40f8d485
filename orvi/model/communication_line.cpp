// The Communication page's line seam over the real port and transactions.
#include "communication_line.h"
#include "serial_port.h"
#include "transactions.h"

namespace {

class PortLine : public CommunicationLine {
public:
    void Reopen() override {
        ClosePort();
        OpenPort();
    }
    LinkError ReadIdentity(uint16_t* value) override { return SearchReadIdentity(value); }
    LinkError ReadAddress(uint16_t* value) override { return SearchReadAddress(value); }
    LinkError Read(int8_t reg, uint16_t* value) override { return ReadHolding(reg, value); }
    LinkError Write(int8_t reg, int16_t value) override { return WriteRegisterByEcho(reg, value); }
    void Confirm(int8_t reg, int16_t value, bool confirmed, bool hasReadBack, int16_t readBack) override {
        ReportEchoedWrite(reg, value, confirmed, hasReadBack, readBack);
    }
};

}  // namespace

CommunicationLine& LinkCommunicationLine() {
    static PortLine line;
    return line;
}
