// Showing a value in an up-down's buddy edit with the up-down's own position next to it.
#include "spin_value.h"
#include <commctrl.h>

namespace {
bool positionBeingSet = false;
}

bool SpinPositionBeingSet() { return positionBeingSet; }

void ShowSpinValue(HWND page, int editId, int spinId, int16_t value) {
    int low = 0;
    int high = 0;
    SendDlgItemMessageA(page, spinId, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
    if (low > high) {
        const int swapped = low;
        low = high;
        high = swapped;
    }
    int position = value;
    if (position < low) position = low;
    if (position > high) position = high;
    // The position first: with an auto-buddy integer the up-down writes it into the edit, which the
    // value itself then replaces.
    positionBeingSet = true;
    SendDlgItemMessageA(page, spinId, UDM_SETPOS32, 0, static_cast<LPARAM>(position));
    positionBeingSet = false;
    SetDlgItemInt(page, editId, static_cast<UINT>(static_cast<int>(value)), TRUE);
}
