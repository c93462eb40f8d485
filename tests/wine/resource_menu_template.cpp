// Layout of the plain menu template, as LoadMenu reads it.
#include "resource_menu_template.h"
#include <windows.h>
#include "resource_cursor.h"

namespace {

// Per entry a flags word, an id word unless it opens a popup, and the text.
void ReadLevel(ResourceCursor& in, std::vector<MenuEntry>& level) {
    while (!in.Broken()) {
        uint16_t flags = in.Word();
        MenuEntry entry;
        entry.popup = (flags & MF_POPUP) != 0;
        entry.flags = flags & ~(MF_POPUP | MF_END);
        if (!entry.popup) entry.id = in.Word();
        entry.text = in.Text();
        if (entry.popup) ReadLevel(in, entry.items);
        level.push_back(entry);
        if (flags & MF_END) return;
    }
}

}  // namespace

bool ReadMenuTemplate(const std::vector<uint8_t>& bytes, std::vector<MenuEntry>& bar) {
    bar.clear();
    ResourceCursor in(bytes);
    // The resource compiler writes the plain format (version 0); an extended menu is reported as
    // unreadable rather than misread.
    if (in.Word() != 0) return false;
    in.Skip(in.Word());
    ReadLevel(in, bar);
    return !in.Broken() && !bytes.empty();
}
