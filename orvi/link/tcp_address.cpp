// Reading the network port names that orvictl accepts beside local serial ports.
#include "tcp_address.h"

namespace {
struct SchemeName {
    const char* prefix;
    NetworkScheme scheme;
};

const SchemeName kSchemes[] = {
    {"tcp://", NetworkScheme::kRawTcp},
    {"rfc2217://", NetworkScheme::kRfc2217},
    {"modbus-tcp://", NetworkScheme::kModbusTcp},
};

bool ParsePort(const std::string& digits, uint16_t* port) {
    if (digits.empty() || digits.size() > 5) return false;
    unsigned long value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<unsigned long>(c - '0');
    }
    if (value < 1 || value > 65535) return false;
    *port = static_cast<uint16_t>(value);
    return true;
}
}  // namespace

NetworkScheme NetworkSchemeOf(const std::string& name) {
    for (const SchemeName& entry : kSchemes)
        if (name.compare(0, std::string(entry.prefix).size(), entry.prefix) == 0) return entry.scheme;
    return NetworkScheme::kNone;
}

bool ParseTcpAddress(const std::string& name, TcpAddress* address, std::string* problem) {
    address->scheme = NetworkSchemeOf(name);
    if (address->scheme == NetworkScheme::kNone) {
        *problem = "não é um endereço de rede";
        return false;
    }
    std::string rest = name.substr(name.find("://") + 3);
    if (!rest.empty() && rest.back() == '/') rest.pop_back();
    std::string portText;
    const bool bracketed = !rest.empty() && rest[0] == '[';
    if (bracketed) {
        const size_t close = rest.find(']');
        if (close == std::string::npos || (close + 1 < rest.size() && rest[close + 1] != ':')) {
            *problem = "endereço IPv6 sem o ] que o fecha";
            return false;
        }
        address->host = rest.substr(1, close - 1);
        if (close + 1 < rest.size()) portText = rest.substr(close + 2);
        if (close + 1 < rest.size() && portText.empty()) portText = "-";
    } else {
        const size_t colon = rest.rfind(':');
        address->host = rest.substr(0, colon);
        if (colon != std::string::npos) portText = colon + 1 < rest.size() ? rest.substr(colon + 1) : "-";
    }
    if (address->host.empty() || address->host.find_first_of(bracketed ? "/ []" : "/: []") != std::string::npos) {
        *problem = "falta o nome ou o endereço IP do servidor";
        return false;
    }
    if (portText.empty()) {
        if (address->scheme != NetworkScheme::kModbusTcp) {
            *problem = "falta a porta TCP (HOST:PORTA)";
            return false;
        }
        address->port = kModbusTcpDefaultPort;
        return true;
    }
    if (!ParsePort(portText, &address->port)) {
        *problem = "a porta TCP deve ser um número de 1 a 65535";
        return false;
    }
    return true;
}
