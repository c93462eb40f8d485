// A compiled dialog template (DLGTEMPLATE or DLGTEMPLATEEX) read into plain fields.
#pragma once
#include <cstdint>
#include <string>
#include <vector>
#include "resource_cursor.h"

struct DialogControl {
    uint32_t style = 0;
    uint32_t exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;  // dialog units
    int id = -1;                       // -1 for a control without identifier
    std::string className;             // predefined classes by name: "Button", "Edit", "Static" ...
    ResourceName text;                 // a text, or an ordinal (an icon by number)
};

struct DialogTemplate {
    bool extended = false;
    uint32_t style = 0;
    uint32_t exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    ResourceName menu;
    ResourceName windowClass;
    std::string caption;
    int pointSize = 0;  // 0 without a font
    int charset = -1;   // the font's character set; -1 where the format carries none
    std::string fontName;
    std::vector<DialogControl> controls;
};

// Fills dialog from the template's bytes; false when the bytes end before the template does.
bool ReadDialogTemplate(const std::vector<uint8_t>& bytes, DialogTemplate& dialog);
