// The indication offset's tick decision and the reading of the offset edit's text.
#include "live_offset_tick.h"
#include <cstring>

bool ParseOffsetText(const char* text, int16_t* value) {
    while (*text == ' ') ++text;
    const bool negative = *text == '-';
    if (negative) ++text;
    if (*text < '0' || *text > '9') return false;
    int32_t magnitude = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        magnitude = magnitude * 10 + (*text - '0');
        if (magnitude > INT16_MAX + 1) return false;
    }
    const int32_t number = negative ? -magnitude : magnitude;
    if (number > INT16_MAX) return false;
    *value = static_cast<int16_t>(number);
    return true;
}

OffsetTickDecision DecideOffsetTick(bool writeBusy, const char* editText, const char* settledText,
                                    int16_t transmitterOffset) {
    OffsetTickDecision decision = {OffsetTickAction::Skip, 0, !OffsetEditFollowsTransmitter(editText, settledText)};
    if (writeBusy || !ParseOffsetText(editText, &decision.value)) return decision;
    if (decision.value == transmitterOffset)
        decision.action = OffsetTickAction::Settle;
    else
        decision.action = decision.typed ? OffsetTickAction::Write : OffsetTickAction::Follow;
    return decision;
}

bool OffsetEditFollowsTransmitter(const char* editText, const char* settledText) {
    return std::strcmp(editText, settledText) == 0;
}
