// The one-to-one mapping between the rate radio buttons 1002..1006 and the five baud rates.
#pragma once
#include <cstdint>

constexpr int kFirstRateButton = 1002;
constexpr int kLastRateButton = 1006;

// The button of a baud rate, or 0 when the rate is not one of the five (then none is checked).
int RateButtonForBaud(int32_t baudRate);

// The baud rate of a rate button, or 0 for any other identifier.
int32_t BaudForRateButton(int buttonId);

// The rate of the first checked button from 1002 to 1006; 19200 when none is checked.
// isChecked(id) tells whether a button is checked.
template <typename IsChecked>
int32_t BaudOfCheckedButton(IsChecked isChecked) {
    for (int id = kFirstRateButton; id <= kLastRateButton; ++id)
        if (isChecked(id)) return BaudForRateButton(id);
    return 19200;
}
