// Screen capture with GDI and the BMP files that tests/e2e/run turns into PNG.
#include "driver_screenshot.h"

#include <cstdio>
#include <cstdlib>

#include "driver_wait.h"

namespace {

ScreenImage CaptureRect(const RECT& rect) {
    ScreenImage image;
    image.width = rect.right - rect.left;
    image.height = rect.bottom - rect.top;
    if (image.width <= 0 || image.height <= 0) return image;
    image.pixels.assign(static_cast<size_t>(image.width) * image.height, 0);

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, image.width, image.height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    const auto* source = static_cast<const uint32_t*>(bits);
    for (size_t i = 0; i < image.pixels.size(); ++i) image.pixels[i] = source[i] & 0x00FFFFFFu;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return image;
}

void WriteBmp(const ScreenImage& image, const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return;
    const uint32_t rowBytes = (static_cast<uint32_t>(image.width) * 3u + 3u) & ~3u;
    const uint32_t dataBytes = rowBytes * static_cast<uint32_t>(image.height);
    BITMAPFILEHEADER fileHeader = {};
    fileHeader.bfType = 0x4D42;
    fileHeader.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    fileHeader.bfSize = fileHeader.bfOffBits + dataBytes;
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = image.width;
    header.biHeight = image.height;  // bottom-up rows
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    std::fwrite(&fileHeader, sizeof fileHeader, 1, file);
    std::fwrite(&header, sizeof header, 1, file);
    std::vector<unsigned char> row(rowBytes, 0);
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const uint32_t pixel = image.At(x, y);
            row[x * 3 + 0] = static_cast<unsigned char>(pixel);
            row[x * 3 + 1] = static_cast<unsigned char>(pixel >> 8);
            row[x * 3 + 2] = static_cast<unsigned char>(pixel >> 16);
        }
        std::fwrite(row.data(), 1, row.size(), file);
    }
    std::fclose(file);
}

}  // namespace

namespace {

// The pictures of an area until two in a row agree: whatever is on it has painted and holds still.
ScreenImage CaptureStill(const RECT& rect) {
    ScreenImage previous = CaptureRect(rect);
    ScreenImage current = previous;
    WaitFor(
        [&] {
            current = CaptureRect(rect);
            const bool still = current.pixels == previous.pixels;
            previous = current;
            return still;
        },
        2000);
    return current;
}

const char* ShotsFolder() {
    const char* folder = std::getenv("ORVI_E2E_SHOTS");
    return folder != nullptr && *folder != '\0' ? folder : nullptr;
}

}  // namespace

ScreenImage CaptureWindow(HWND window) {
    // Let the window paint, then take pictures until two in a row agree.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT rect = {};
    GetWindowRect(window, &rect);
    return CaptureStill(rect);
}

void SaveScreenshot(HWND window, const std::string& name) {
    const char* folder = ShotsFolder();
    if (folder == nullptr || window == nullptr) return;
    WriteBmp(CaptureWindow(window), std::string(folder) + "\\" + name + ".bmp");
}

void SaveScreenshotWithPopup(HWND window, HWND popup, const std::string& name) {
    const char* folder = ShotsFolder();
    if (folder == nullptr || window == nullptr || popup == nullptr) return;
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT below = {}, above = {}, both = {};
    GetWindowRect(window, &below);
    GetWindowRect(popup, &above);
    UnionRect(&both, &below, &above);
    WriteBmp(CaptureStill(both), std::string(folder) + "\\" + name + ".bmp");
}
