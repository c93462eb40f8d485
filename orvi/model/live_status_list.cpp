// Building the status list of the Diagnostic page from the transmitter's status word.
#include "live_status_list.h"
#include <cstdio>

const char StatusMessages[kStatusMessageCount][kStatusMessageSlot] = {
    "Conversão de PV muito baixa",
    "Conversão menor que Zero após calibração",
    "Conversão de PV muito alta",
    "Excedido limite da linearização",
    "Resistência do cabo Pt100 muito alta",
    "Conversão de AutoZero fora de limites",
    "Conversão de AutoSpan fora de limites",
    "Conversão de Junta Fria fora de limites",
};

std::string StatusBitText(int bit) {
    if (bit >= 0 && bit < kStatusMessageCount) return StatusMessages[bit];
    char text[24];
    std::snprintf(text, sizeof text, "Bit de status %d", bit);
    return text;
}

StatusListView BuildStatusList(uint16_t statusBits, uint16_t shownBits) {
    StatusListView view;
    view.selected = -1;
    const unsigned newlySet = statusBits & ~shownBits & 0xFFFFu;
    for (int bit = 0; bit < kStatusBitCount; ++bit) {
        if ((statusBits >> bit & 1u) == 0) continue;
        if (newlySet >> bit & 1u) view.selected = static_cast<int>(view.entries.size());
        view.entries.push_back(StatusBitText(bit));
    }
    if (view.selected < 0 && !view.entries.empty()) view.selected = 0;
    return view;
}
