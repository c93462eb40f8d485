// OpenClipboard, EmptyClipboard, SetClipboardData with a movable global block, CloseClipboard.
#include "shell/clipboard_text.h"

#include <cstring>

namespace {

// The text with its terminating null in a movable block, as the clipboard takes it; NULL without memory.
HGLOBAL TextBlock(const std::wstring& text) {
    const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (block == NULL) return NULL;
    void* memory = GlobalLock(block);
    if (memory == nullptr) {
        GlobalFree(block);
        return NULL;
    }
    std::memcpy(memory, text.c_str(), bytes);
    GlobalUnlock(block);  // the clipboard must not get it locked
    return block;
}

}  // namespace

bool PutTextOnClipboard(HWND window, const std::wstring& text) {
    HGLOBAL block = TextBlock(text);
    if (block == NULL) return false;
    // With a window, EmptyClipboard makes it the owner; with none, the clipboard would have no owner.
    if (!OpenClipboard(window)) {
        GlobalFree(block);
        return false;
    }
    bool placed = false;
    if (EmptyClipboard()) {
        // Placed, the block belongs to the system, which frees it when the clipboard is next emptied.
        placed = SetClipboardData(CF_UNICODETEXT, block) != NULL;
    }
    CloseClipboard();
    if (!placed) GlobalFree(block);
    return placed;
}
