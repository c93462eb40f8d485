// Parsing orvictl's global options and the numbers its commands take.
#include "cli_options.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "communication_rates.h"
#include "network_port.h"
#include "text_output.h"

bool ParseBaudRate(const std::string& text, int32_t* baud) {
    long value = 0;
    if (!ParseWholeNumber(text, 1, 1000000, &value) || !IsNetworkRate(static_cast<int32_t>(value))) return false;
    *baud = static_cast<int32_t>(value);
    return true;
}

bool ParseDeviceAddress(const std::string& text, int* address) {
    long value = 0;
    if (!ParseWholeNumber(text, 1, 247, &value)) return false;
    *address = static_cast<int>(value);
    return true;
}

bool ParseAddressList(const std::string& text, std::vector<int>* addresses) {
    addresses->clear();
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(',', start);
        if (comma == std::string::npos) comma = text.size();
        const std::string item = text.substr(start, comma - start);
        const size_t dash = item.find('-', 1);
        int first = 0, last = 0;
        if (dash == std::string::npos) {
            if (!ParseDeviceAddress(item, &first)) return false;
            last = first;
        } else if (!ParseDeviceAddress(item.substr(0, dash), &first) ||
                   !ParseDeviceAddress(item.substr(dash + 1), &last) || first > last) {
            return false;
        }
        for (int address = first; address <= last; ++address) {
            for (int seen : *addresses)
                if (seen == address) return false;
            addresses->push_back(address);
        }
        start = comma + 1;
    }
    return !addresses->empty();
}

bool ParseTagList(const std::string& text, size_t count, std::vector<std::string>* tags) {
    tags->clear();
    size_t start = 0;
    for (;;) {
        const size_t comma = std::min(text.find(',', start), text.size());
        const std::string item = text.substr(start, comma - start);
        const size_t first = item.find_first_not_of(" \t");
        tags->push_back(first == std::string::npos ? "" : item.substr(first, item.find_last_not_of(" \t") - first + 1));
        if (comma == text.size()) break;
        start = comma + 1;
    }
    return tags->size() == count;
}

bool WantsHelp(const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments)
        if (argument == "--help" || argument == "-h") return true;
    return false;
}

std::string UnexpectedArgumentText(const std::string& argument) {
    const bool option = argument.size() > 1 && argument[0] == '-';
    return (option ? "opção desconhecida: " : "argumento inesperado: ") + argument;
}

int ParseGlobalOptions(const std::vector<std::string>& arguments, GlobalOptions* options) {
    const int count = static_cast<int>(arguments.size());
    int i = 1;
    for (; i < count; ++i) {
        const std::string& option = arguments[i];
        if (option.rfind("--", 0) != 0 || option == "--help" || option == "--version") break;
        if (option == "--verbose") {
            options->verbose = true;
            continue;
        }
        if (option != "--port" && option != "--baud" && option != "--address" && option != "--timeout" &&
            option != "--unit") {
            Complain(Format("opção desconhecida: %s (veja orvictl --help)", option.c_str()));
            return -1;
        }
        if (i + 1 >= count) {
            Complain(Format("%s precisa de um valor", option.c_str()));
            return -1;
        }
        const std::string& value = arguments[++i];
        if (option == "--port") {
            if (value.empty()) {
                Complain("--port precisa do nome de uma porta");
                return -1;
            }
            options->port = value;
        } else if (option == "--baud") {
            if (!ParseBaudRate(value, &options->baud)) {
                Complain(Format("--baud %s: a taxa deve ser 1200, 2400, 4800, 9600 ou 19200", value.c_str()));
                return -1;
            }
        } else if (option == "--timeout") {
            if (!ParseNetworkTimeout(value, &options->timeoutMs)) {
                Complain(Format("--timeout %s: o tempo deve ser de 1 a 60000 ms", value.c_str()));
                return -1;
            }
        } else if (option == "--unit") {
            long unit = 0;
            if (!ParseWholeNumber(value, 1, 255, &unit)) {
                Complain(Format("--unit %s: a unidade deve ser de 1 a 255", value.c_str()));
                return -1;
            }
            options->unit = static_cast<int>(unit);
        } else if (!ParseDeviceAddress(value, &options->address)) {
            Complain(Format("--address %s: o endereço deve ser de 1 a 247", value.c_str()));
            return -1;
        }
    }
    return i;
}
