// Layout of the two dialog template formats, as the dialog manager reads them.
#include "resource_dialog_template.h"
#include <windows.h>

namespace {

// The predefined window classes that templates name by number.
std::string ClassName(const ResourceName& name) {
    if (!name.isOrdinal) return name.text;
    switch (name.ordinal) {
    case 0x80: return "Button";
    case 0x81: return "Edit";
    case 0x82: return "Static";
    case 0x83: return "ListBox";
    case 0x84: return "ScrollBar";
    case 0x85: return "ComboBox";
    default: return "#" + std::to_string(name.ordinal);
    }
}

void ReadHeader(ResourceCursor& in, DialogTemplate& dialog) {
    if (in.Word() == 1 && in.Word() == 0xFFFF) {
        dialog.extended = true;
        in.Dword();  // help id
        dialog.exStyle = in.Dword();
        dialog.style = in.Dword();
    } else {
        in.MoveTo(0);
        dialog.style = in.Dword();
        dialog.exStyle = in.Dword();
    }
}

void ReadControl(ResourceCursor& in, bool extended, DialogControl& control) {
    in.AlignDword();
    if (extended) {
        in.Dword();  // help id
        control.exStyle = in.Dword();
        control.style = in.Dword();
    } else {
        control.style = in.Dword();
        control.exStyle = in.Dword();
    }
    control.x = in.Short();
    control.y = in.Short();
    control.cx = in.Short();
    control.cy = in.Short();
    if (extended) {
        uint32_t id = in.Dword();
        control.id = id == 0xFFFFFFFFu ? -1 : static_cast<int>(id);
    } else {
        uint16_t id = in.Word();
        control.id = id == 0xFFFF ? -1 : id;
    }
    control.className = ClassName(in.NameOrOrdinal());
    control.text = in.NameOrOrdinal();
    in.Skip(in.Word());  // creation data
}

}  // namespace

bool ReadDialogTemplate(const std::vector<uint8_t>& bytes, DialogTemplate& dialog) {
    dialog = DialogTemplate();
    ResourceCursor in(bytes);
    ReadHeader(in, dialog);
    size_t count = in.Word();
    dialog.x = in.Short();
    dialog.y = in.Short();
    dialog.cx = in.Short();
    dialog.cy = in.Short();
    dialog.menu = in.NameOrOrdinal();
    dialog.windowClass = in.NameOrOrdinal();
    dialog.caption = in.Text();
    if (dialog.style & DS_SETFONT) {
        dialog.pointSize = in.Word();
        if (dialog.extended) {
            in.Word();  // weight
            in.Byte();  // italic
            dialog.charset = in.Byte();
        }
        dialog.fontName = in.Text();
    }
    dialog.controls.resize(count);
    for (DialogControl& control : dialog.controls) ReadControl(in, dialog.extended, control);
    return !in.Broken() && !bytes.empty();
}
