// A compiled menu template (the plain MENU format) read into a tree of entries.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct MenuEntry {
    std::string text;  // Windows-1252, with its '&' and any tab text
    uint32_t id = 0;   // a command's identifier; popups carry none
    bool popup = false;
    // Flags besides popup and end (greyed, checked, break ...); 0 for a plain enabled entry.
    uint32_t flags = 0;
    std::vector<MenuEntry> items;
};

// Fills bar with the menu bar's entries; false for an extended menu or one cut short.
bool ReadMenuTemplate(const std::vector<uint8_t>& bytes, std::vector<MenuEntry>& bar);
