// Pictures of windows on the screen: for the screenshot folder and for checks of what is drawn.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct ScreenImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, rows top to bottom

    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// The screen's pixels under a window, taken once the window has painted and the picture holds still.
ScreenImage CaptureWindow(HWND window);

// Saves the window's picture as NAME.bmp in the screenshot folder (ORVI_E2E_SHOTS); no folder, no file.
void SaveScreenshot(HWND window, const std::string& name);
// The same for a window and a popup open over it (a menu), in one picture of the area both cover.
void SaveScreenshotWithPopup(HWND window, HWND popup, const std::string& name);
