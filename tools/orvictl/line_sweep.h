// The inventory's short sweep of a line, shared by scan and save --all: one quick question per address.
#pragma once
#include <string>

#include "link_error.h"

// Each address is asked for its identity word. 30 ms for a reply to begin covers the answer time of
// transmitters of this kind with room to spare; a silent address costs that and one character, so all
// five rates are swept in about a minute.
enum { kSweepRegister = 8, kSweepAnswerMs = 30 };

// Replies that do not hold together (a bad CRC, a frame for someone else, a wrong length) where one
// transmitter's reply would: two transmitters answering at once at one address.
bool CollidingReplies(LinkError error);

// The warning for addresses the sweep heard and the normal read did not confirm: what was heard may be
// a slow transmitter's late reply to the address before, or noise.
std::string UnconfirmedSweepText(int addresses);
