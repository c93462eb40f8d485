// What a Diagnostic tick does with the indication offset the user typed or stepped.
#pragma once
#include <cstdint>

// Leading blanks, an optional minus sign, then decimal digits up to the first other character.
// False when there is no digit or the number lies outside -32768..32767: such a text is not a
// number, so that no wrapped value can reach the transmitter.
bool ParseOffsetText(const char* text, int16_t* value);

enum class OffsetTickAction {
    Skip,    // busy with an earlier write, or the text is not a number: nothing happens
    Settle,  // the text holds the transmitter's value: nothing to write
    Write,   // the value differs from the transmitter's: write it
};

struct OffsetTickDecision {
    OffsetTickAction action;
    int16_t value;  // the typed value for Settle and Write
};

OffsetTickDecision DecideOffsetTick(bool writeBusy, const char* editText, int16_t transmitterOffset);

// At activation, the edit follows the transmitter's value (which a read of another configuration
// may have replaced) unless it holds text the user typed and that has not reached the transmitter.
bool OffsetEditFollowsTransmitter(const char* editText, const char* settledText);
