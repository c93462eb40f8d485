// The line doctor: names the probable cause of a line's trouble from what it has shown.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "line_evidence.h"

class Line;

enum class LineCause {
    kHealthy,
    kNoLine,
    kSwappedWires,
    kWrongRate,
    kOtherParity,
    kAdapterEcho,
    kRtsEarly,
    kRtsLate,
    kNoBias,
    kDuplicateAddress,
    kOtherMaster,
    kNoise,
    kSlowReply,
    kGatewayNoPath,
    kUsbLatency,
    kUnknown
};

struct LineVerdict {
    LineCause cause = LineCause::kUnknown;
    int32_t rateFound = 0;              // a wrong rate: where the transmitter answers
    std::vector<std::string> evidence;  // lines of what was seen (program text, CP1252)
    std::string advice;                 // what to do
};

// The cause's key in --json ("saudavel", "sem_linha", ...).
const char* CauseKey(LineCause cause);
// Short words for "Provável causa: ..." (for example "fios A e B invertidos").
const char* CauseWords(LineCause cause);
// The rules: evidence in, verdict out; pure.
LineVerdict JudgeEvidence(const LineEvidence& evidence, uint8_t address);
LineVerdict JudgeEvidence(const LineEvidence& evidence);
// After a failed transaction, from what the line has already shown; kUnknown when nothing tells.
LineVerdict ProbableCause(const Line& line);
// The doctor's look: the address at the current rate, then a short look at the other rates.
// cancelled may be empty.
LineVerdict ExamineLine(Line& line, uint8_t address, const std::function<bool()>& cancelled);
