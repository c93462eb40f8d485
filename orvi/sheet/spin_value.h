// Showing a value in an up-down's buddy edit with the up-down's own position next to it.
#pragma once
#include <windows.h>
#include <cstdint>

// The edit shows value as it is; the up-down's position becomes value clamped to its range, so that
// a click steps from the shown value (or from the range's edge when the value lies outside).
void ShowSpinValue(HWND page, int editId, int spinId, int16_t value);
