// ports: the serial ports of this machine, and the same list in the message of a port that does not open.
#include "commands.h"
#include "exit_codes.h"
#include "line_session.h"
#include "platform.h"
#include "text_output.h"

std::string PresentPortsText() {
    const std::vector<SerialPortListing> ports = ListSerialPorts();
    if (ports.empty()) return "nenhuma porta serial encontrada nesta máquina";
    std::string text = "portas presentes:";
    for (size_t i = 0; i < ports.size(); ++i) text += (i ? ", " : " ") + ports[i].name;
    return text;
}

int RunPorts(LineSession&, const GlobalOptions&, const Arguments& arguments) {
    if (!arguments.empty()) return UsageError("ports", UnexpectedArgumentText(arguments[0]));
    const std::vector<SerialPortListing> ports = ListSerialPorts();
    if (ports.empty()) {
        Complain("nenhuma porta serial encontrada nesta máquina");
        return kExitPort;
    }
    for (const SerialPortListing& port : ports)
        WriteOut(port.description.empty() ? port.name + "\n"
                                          : Format("%-16s %s\n", port.name.c_str(), port.description.c_str()));
    return kExitOk;
}
