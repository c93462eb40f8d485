// Showing a value in an up-down's buddy edit with the up-down's own position next to it.
#pragma once
#include <windows.h>
#include <cstdint>

// The edit shows value as it is; the up-down's position becomes value clamped to its range, so that
// a click steps from the shown value (or from the range's edge when the value lies outside).
void ShowSpinValue(HWND page, int editId, int spinId, int16_t value);
// True while ShowSpinValue moves the position: the edit then briefly holds the clamped position,
// which is no value of the user's or the device's, so its handler must not take it.
bool SpinPositionBeingSet();
