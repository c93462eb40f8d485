// Filling the Input/Output page from the snapshot, and enabling its unit and alarm controls.
#pragma once
#include <windows.h>

// Fills the page's controls from the snapshot; does nothing without a live page window.
void FillIoPage(HWND page);

// The three lists, the unit buttons and the blocking box as the snapshot has them (no notification
// comes from these calls, so no handler runs).
void ShowIoChoices(HWND page);

// Disables the unit buttons and their label for a linear input, enables them otherwise.
void EnableUnitControls(HWND page, bool linear);

// Set point, initial blocking and hysteresis with their up-downs; labels and the list stay enabled.
void EnableAlarmControls(HWND page, bool enable);
