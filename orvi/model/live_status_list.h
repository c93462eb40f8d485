// The Diagnostic page's status list: one line per active status bit and the line to select.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

enum { kStatusBitCount = 16, kStatusMessageCount = 8, kStatusMessageSlot = 45 };

// The texts of bits 0..7; the transmitter defines no text for bits 8..15.
extern const char StatusMessages[kStatusMessageCount][kStatusMessageSlot];

// The line of one status bit; bits without a defined text get a neutral line naming the bit.
std::string StatusBitText(int bit);

struct StatusListView {
    std::vector<std::string> entries;  // in bit order
    int selected;                      // -1 for an empty list
};

// The list for statusBits: the entry of the highest bit that is set now but was not in shownBits
// ends selected; without a newly set bit, the first entry.
StatusListView BuildStatusList(uint16_t statusBits, uint16_t shownBits);
