// A configuration file's values on the pages as the user's edits: nothing is written until OK or
// Apply, which run the page's own checks and writes.
#include <windows.h>
// commctrl.h needs windows.h first
#include <commctrl.h>

#include <cstdio>

#include "config_snapshot.h"
#include "io_consistency_checks.h"
#include "io_page.h"
#include "register_map.h"
#include "transactions.h"

namespace {
// The sheet disables Apply once its first page is made: values that wait are shown after that.
const UINT kShowWaitingValues = WM_APP + 1;
bool valuesWaiting = false;
ConfigSnapshot waitingValues;
// The offset is the Diagnostic page's, which writes its edits at once: a file's offset waits for the apply.
bool offsetWaiting = false;
int16_t waitingOffset = 0;

void TakeEditableFields(ConfigSnapshot& s, const ConfigSnapshot& values) {
    s.inputType = values.inputType;
    s.unit = values.unit;
    s.lowerLimit = values.lowerLimit;
    s.upperLimit = values.upperLimit;
    s.alarmSetPoint = values.alarmSetPoint;
    s.alarmHysteresis = values.alarmHysteresis;
    s.alarmFunction = values.alarmFunction;
    s.outputType = values.outputType;
    s.alarmInitialBlock = values.alarmInitialBlock;
}

void ShowValues(HWND page, const ConfigSnapshot& values) {
    TakeEditableFields(configSnapshot, values);
    // The page's next choices start from what it shows: a new input type rescales the file's limits.
    TakeEditableFields(lastKnown, values);
    offsetWaiting = values.indicationOffset != readConfig.indicationOffset;
    waitingOffset = values.indicationOffset;
    FillIoPage(page);
    SendMessageA(GetParent(page), PSM_CHANGED, reinterpret_cast<WPARAM>(page), 0);
}
}  // namespace

void PutFileValuesOnPages(const ConfigSnapshot& values) {
    if (ioPageWindow != NULL && IsWindow(ioPageWindow)) {
        ShowValues(ioPageWindow, values);
        return;
    }
    waitingValues = values;
    valuesWaiting = true;
}

void ShowWaitingFileValues(HWND page, bool configurationRead) {
    if (valuesWaiting && configurationRead) {
        PostMessageA(page, kShowWaitingValues, 0, 0);
        return;
    }
    valuesWaiting = false;
}

bool HandleWaitingFileValues(HWND page, UINT message) {
    if (message != kShowWaitingValues) return false;
    if (valuesWaiting) ShowValues(page, waitingValues);
    valuesWaiting = false;
    return true;
}

bool WriteWaitingOffset(HWND page) {
    if (!offsetWaiting) return true;
    const LinkError result = WriteRegister(kRegIndicationOffset, waitingOffset);
    if (result != kLinkOk) {
        char message[kIoMessageSize];
        std::snprintf(message, sizeof message, "Erro na escrita do Offset de indicação (%s)", LinkErrorText(result));
        ioPageMessageBox(page, message, "Erro na escrita", MB_ICONWARNING | MB_OK);
        return false;
    }
    offsetWaiting = false;
    configSnapshot.indicationOffset = lastKnown.indicationOffset = waitingOffset;
    return true;
}
