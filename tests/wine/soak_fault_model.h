// What orvi-sim does with each request while a fault is armed, and so which LinkError the link must give.
#pragma once
#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "link_error.h"

// The simulated transmitter's side of one soak transaction: the armed fault and its count-down, the
// registers whose reads differ after a "mismatch" write, and the values it stores.
class SoakFaultModel {
public:
    std::string mode = "none";
    int remaining = -1;                // < 0: until cleared
    std::set<int> readsDiffer;         // registers that read back as value + 1
    std::map<int, int16_t> registers;  // values the soak wrote and the device stored
    std::map<int, int16_t> privates;
    unsigned lateBytes = 0;  // bytes of late replies still on their way

    void Arm(const std::string& newMode, int count) {
        mode = newMode;
        remaining = count;
    }

    // The result of one try of a request with reply length L; search tries accept any address.
    LinkError Try(uint8_t function, int address, int16_t value, unsigned replyLength, bool search) {
        const std::string fault = Consume(function);
        if (function == 6 || function == 0x71) Store(function, address, value, fault);
        if (fault == "silent" || fault == "exception" || fault == "short") return kLinkTimeout;
        if (fault == "late") {
            lateBytes += replyLength;
            return kLinkTimeout;
        }
        if (fault == "badcrc") return kLinkBadCrc;
        if (fault == "wrongaddr") return search ? kLinkOk : kLinkWrongAddress;
        if (fault == "badecho") return kLinkValueMismatch;
        return kLinkOk;  // none, echo, stray, mismatch (the write itself is echoed correctly)
    }

private:
    bool Applies(uint8_t function) const {
        if (mode == "none" || remaining == 0) return false;
        if (mode == "mismatch") return function == 6;
        if (mode == "badecho") return function == 6 || function == 0x71;
        return true;
    }

    std::string Consume(uint8_t function) {
        if (!Applies(function)) return "none";
        const std::string fault = mode;
        if (remaining > 0 && --remaining == 0) mode = "none";
        return fault;
    }

    // A write is carried out unless the request was lost, refused or answered with a bad echo.
    void Store(uint8_t function, int address, int16_t value, const std::string& fault) {
        if (fault == "silent" || fault == "exception" || fault == "badecho") return;
        if (function == 0x71) {
            privates[address] = value;
            return;
        }
        registers[address] = value;
        if (fault == "mismatch")
            readsDiffer.insert(address);
        else
            readsDiffer.erase(address);
    }
};
