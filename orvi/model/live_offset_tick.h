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
    Write,   // the user's value differs from the transmitter's: write it
    Follow,  // the text is the one the page set, and the transmitter's value has changed since (another
             // writer, such as the apply of a file's offset): the edit shows the transmitter's value
};

struct OffsetTickDecision {
    OffsetTickAction action;
    int16_t value;  // the text's value for Settle and Write
    bool typed;     // the text is the user's, not the one the page set: it replaces a file's offset that waits
};

// settledText is the text whose value the transmitter held when the page last set or settled it.
OffsetTickDecision DecideOffsetTick(bool writeBusy, const char* editText, const char* settledText,
                                    int16_t transmitterOffset);

// At activation, the edit follows the transmitter's value (which a read of another configuration
// may have replaced) unless it holds text the user typed and that has not reached the transmitter.
bool OffsetEditFollowsTransmitter(const char* editText, const char* settledText);
