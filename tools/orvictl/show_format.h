// The whole configuration as text for people or as JSON for scripts.
#pragma once
#include <cstdint>
#include <string>

#include "config_snapshot.h"
#include "live_calibration.h"

struct TransmitterReport {
    ConfigSnapshot config;
    uint8_t address;
    int32_t baud;  // 0: not known here (a gateway's own line)
    std::string port;
    bool calibrationRead;  // the four private values answered
    CalibrationValues calibration;
    bool statusRead;
    uint16_t statusBits;
};

std::string FormatReportText(const TransmitterReport& report);
std::string FormatReportJson(const TransmitterReport& report);
