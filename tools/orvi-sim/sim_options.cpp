// Parsing and help text of orvi-sim's command line.
#include "sim_options.h"

#include <cstdlib>

#include "baud_codes.h"
#include "control_commands.h"

namespace orvisim {

namespace {

bool ParseInt(const std::string& text, int low, int high, int* value) {
    if (text.empty()) return false;
    char* end = nullptr;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || parsed < low || parsed > high) return false;
    *value = static_cast<int>(parsed);
    return true;
}

bool ParseBaud(const std::string& text, int* baud) {
    return ParseInt(text, 1, 1000000, baud) && CodeFromBaud(*baud) >= 0;
}

}  // namespace

bool ParseSimOptions(int argc, const char* const* argv, SimOptions* options, std::string* error) {
    DeviceSpec first{1, 9600};
    std::vector<DeviceSpec> more;
    bool controlGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--help" || option == "-h") {
            options->help = true;
            return true;
        }
        if (option == "--quiet") {
            options->quiet = true;
            continue;
        }
        if (i + 1 >= argc) {
            *error = option.rfind("--", 0) == 0 ? option + " needs a value" : "unexpected argument " + option;
            return false;
        }
        const std::string value = argv[++i];
        if (option == "--link") {
            options->link = value;
        } else if (option == "--address") {
            if (!ParseInt(value, 1, 247, &first.address)) {
                *error = "--address must be 1 to 247";
                return false;
            }
        } else if (option == "--baud") {
            if (!ParseBaud(value, &first.baud)) {
                *error = "--baud must be 1200, 2400, 4800, 9600 or 19200";
                return false;
            }
        } else if (option == "--device") {
            const std::size_t colon = value.find(':');
            DeviceSpec device{0, 0};
            if (colon == std::string::npos || !ParseInt(value.substr(0, colon), 1, 247, &device.address) ||
                !ParseBaud(value.substr(colon + 1), &device.baud)) {
                *error = "--device wants ADDRESS:BAUD, address 1 to 247, baud 1200 to 19200";
                return false;
            }
            more.push_back(device);
        } else if (option == "--control") {
            if (!ParseInt(value, 0, 65535, &options->controlPort)) {
                *error = "--control must be a TCP port number (0 = any free port)";
                return false;
            }
            controlGiven = true;
        } else if (option == "--control-file") {
            options->controlFile = value;
        } else {
            *error = "unknown option " + option;
            return false;
        }
    }
    if (options->link.empty()) {
        *error = "--link PATH is required";
        return false;
    }
    if (!options->controlFile.empty() && !controlGiven) options->controlPort = 0;
    options->devices.clear();
    options->devices.push_back(first);
    for (const DeviceSpec& device : more) {
        for (const DeviceSpec& known : options->devices) {
            if (known.address == device.address) {
                *error = "two transmitters at address " + std::to_string(device.address);
                return false;
            }
        }
        options->devices.push_back(device);
    }
    return true;
}

std::string SimHelpText() {
    std::string text =
        "orvi-sim: a simulated Orvi temperature transmitter (Modbus RTU slave) on a pseudo-terminal.\n"
        "\n"
        "Lets the configurator be learned, demonstrated and tested without hardware. The simulator opens a\n"
        "pseudo-terminal, publishes its slave side at PATH and answers there like one or more transmitters on\n"
        "an RS-485 bus: functions 3 and 6 and the private functions 0x70 and 0x71, 68 holding registers and\n"
        "the private values 4 and 21-24. A transmitter answers only while the host's line speed equals its own\n"
        "baud rate; it hears a request's end only after the request's line time from its first byte, and its\n"
        "reply takes its own (10 bits a byte). The process value sweeps between the scale limits (registers 26\n"
        "and 27) every 20 s and the alarm output follows it.\n"
        "\n"
        "Usage: orvi-sim --link PATH [--address N] [--baud B] [--device N:B]... [--control PORT]\n"
        "                [--control-file FILE] [--quiet]\n"
        "\n"
        "  --link PATH          publish the line as a symbolic link at PATH (an old link there is replaced;\n"
        "                       the link is removed when orvi-sim ends on SIGTERM or SIGINT)\n"
        "  --address N          address of the first transmitter, 1 to 247 (default 1)\n"
        "  --baud B             its speed: 1200, 2400, 4800, 9600 or 19200 (default 9600)\n"
        "  --device N:B         one more transmitter on the same line, address N at B bit/s (repeatable)\n"
        "  --control PORT       text control channel on TCP 127.0.0.1:PORT (0 = any free port)\n"
        "  --control-file FILE  write the control port to FILE once listening (implies --control 0)\n"
        "  --quiet              do not print the start-up line\n"
        "  --help               this text\n"
        "\n"
        "Control commands (one line each, answered by one line \"OK ...\" or \"ERR reason\"):\n";
    text += ControlCommandSummary();
    text +=
        "\n"
        "Example: the configurator under Wine on COM1 of a private prefix\n"
        "  orvi-sim --link /tmp/orvi-com1 --control 7070 &\n"
        "  export WINEPREFIX=$PWD/wineprefix\n"
        "  wine reg add 'HKLM\\Software\\Wine\\Ports' /v COM1 /t REG_SZ /d /tmp/orvi-com1 /f\n"
        "  wineserver -k     # Wine reads the port mapping again\n"
        "  wine Orvi.exe\n"
        "  printf 'fault 1 silent 3\\n' | nc -q1 127.0.0.1 7070     # make transmitter 1 miss 3 replies\n";
    return text;
}

}  // namespace orvisim
