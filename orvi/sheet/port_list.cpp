// Filling a port list from the ports present.
#include "port_list.h"

#include "port_names.h"
#include "present_ports.h"
#include "ui_text.h"

void FillPortList(HWND dialog, int listId) {
    // The lists are sorted by number, not by text: the templates' combo boxes have no CBS_SORT.
    for (const std::string& name : PortListNames(PresentPortNames())) AddComboEntry(dialog, listId, name.c_str());
}
