// A CommunicationLine double for the page decisions: it answers by rate and records what was asked.
#pragma once
#include <map>
#include <string>
#include <vector>
#include "comm_settings.h"
#include "communication_line.h"
#include "communication_rates.h"

struct RateAnswers {
    LinkError identityResult = kLinkTimeout;
    uint16_t identity = 0;
    LinkError addressResult = kLinkTimeout;
    uint16_t address = 0;
};

// A transmitter on the line for the addressed reads and writes: it answers at its address and rate,
// and a new address or rate takes hold after its echo.
struct Station {
    uint8_t address;
    int32_t baud;
    bool echoes = true;         // false: a write's echo is lost (whether or not the write takes hold)
    bool takesWrites = true;    // false: it echoes a write but keeps its address and rate
    bool takesRate = true;      // false: it keeps its rate (a write of register 45 changes nothing)
    bool goesSilent = false;    // true: after its first write it answers nowhere (taken to a setting nobody asked)
    LinkError fault = kLinkOk;  // a garbled answer to every read (something is there)
};

class RecordingLine : public CommunicationLine {
public:
    explicit RecordingLine(const CommSettings& settings) : settings_(settings) {}

    std::map<int32_t, RateAnswers> answers;  // search reads: a rate not listed stays silent
    std::vector<Station> stations;           // addressed reads and writes: nobody else answers
    std::vector<std::string> calls;          // each call with the address and rate it went out at
    int stopBeforeCall = -1;                 // Stopped() turns true once this many calls were made

    void Reopen() override { calls.push_back("open " + Where()); }
    LinkError ReadIdentity(uint16_t* value) override {
        calls.push_back("identity " + Where());
        const RateAnswers a = answers[settings_.baudRate];
        if (a.identityResult == kLinkOk) *value = a.identity;
        return a.identityResult;
    }
    LinkError ReadAddress(uint16_t* value) override {
        calls.push_back("address " + Where());
        const RateAnswers a = answers[settings_.baudRate];
        if (a.addressResult == kLinkOk) *value = a.address;
        return a.addressResult;
    }
    LinkError Read(int8_t reg, uint16_t* value) override {
        calls.push_back("read " + std::to_string(reg) + " " + Where());
        Station* station = Addressed();
        if (station == nullptr) return kLinkTimeout;
        if (station->fault != kLinkOk) return station->fault;
        *value = reg == 44 ? station->address : reg == 45 ? static_cast<uint16_t>(BaudCode(station->baud)) : 1;
        return kLinkOk;
    }
    LinkError Write(int8_t reg, int16_t value) override {
        calls.push_back("write " + std::to_string(reg) + "=" + std::to_string(value) + " " + Where());
        Station* station = Addressed();
        if (station == nullptr) return kLinkTimeout;
        const bool echoes = station->echoes;
        if (station->goesSilent) station->baud = 0;
        if (station->takesWrites && reg == 44) station->address = static_cast<uint8_t>(value);
        if (station->takesWrites && station->takesRate && reg == 45)
            for (int32_t rate : kNetworkRates)
                if (BaudCode(rate) == value) station->baud = rate;
        return echoes ? kLinkOk : kLinkTimeout;
    }
    void Confirm(int8_t reg, int16_t value, bool confirmed, bool hasReadBack, int16_t readBack) override {
        confirmations.push_back(std::to_string(reg) + "=" + std::to_string(value) +
                                (confirmed ? " confirmed" : " not confirmed") +
                                (hasReadBack ? " read " + std::to_string(readBack) : ""));
    }
    std::vector<std::string> confirmations;  // what each echoed write was found to have done
    bool Stopped() override { return stopBeforeCall >= 0 && static_cast<int>(calls.size()) >= stopBeforeCall; }

private:
    Station* Addressed() {
        for (Station& s : stations)
            if (s.address == settings_.deviceAddress && s.baud == settings_.baudRate) return &s;
        return nullptr;
    }
    std::string Where() const {
        return "@" + std::to_string(settings_.deviceAddress) + "/" + std::to_string(settings_.baudRate);
    }
    const CommSettings& settings_;
};
