// A CommunicationLine double for the page decisions: it answers by rate and records what was asked.
#pragma once
#include <map>
#include <string>
#include <vector>
#include "comm_settings.h"
#include "communication_line.h"

struct RateAnswers {
    LinkError identityResult = kLinkTimeout;
    uint16_t identity = 0;
    LinkError addressResult = kLinkTimeout;
    uint16_t address = 0;
};

class RecordingLine : public CommunicationLine {
public:
    explicit RecordingLine(const CommSettings& settings) : settings_(settings) {}

    std::map<int32_t, RateAnswers> answers;  // a rate not listed stays silent
    std::vector<std::string> calls;          // each call with the address and rate it went out at

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
    LinkError Write(int8_t reg, int16_t value) override {
        calls.push_back("write " + std::to_string(reg) + "=" + std::to_string(value) + " " + Where());
        return kLinkOk;
    }

private:
    std::string Where() const {
        return "@" + std::to_string(settings_.deviceAddress) + "/" + std::to_string(settings_.baudRate);
    }
    const CommSettings& settings_;
};
