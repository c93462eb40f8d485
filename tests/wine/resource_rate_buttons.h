// The five host rate buttons, the same in the host communication dialog and on the Communication page.
#pragma once
#include <iterator>
#include <vector>
#include "resource_dialog_checks.h"

// Those controls followed by the rate buttons, for ExpectControlsInAnyOrder.
inline std::vector<ExpectedControl> WithRateButtons(std::vector<ExpectedControl> controls) {
    // One group of five: only the first button starts it.
    const ExpectedControl rates[] = {
        {1002, ControlKind::RadioButton, "&1200", WS_GROUP},     {1003, ControlKind::RadioButton, "&2400", 0, WS_GROUP},
        {1004, ControlKind::RadioButton, "&4800", 0, WS_GROUP},  {1005, ControlKind::RadioButton, "&9600", 0, WS_GROUP},
        {1006, ControlKind::RadioButton, "192&00", 0, WS_GROUP},
    };
    controls.insert(controls.end(), std::begin(rates), std::end(rates));
    return controls;
}
