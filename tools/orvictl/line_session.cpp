// Opening orvictl's one serial line through the link's OpenPort, by the exact port name given.
#include "line_session.h"

#include <cstdio>
#include <memory>

#include "comm_settings.h"
#include "config_ini.h"
#include "exit_codes.h"
#include "link_error.h"
#include "named_port_device.h"
#include "network_port.h"
#include "platform.h"
#include "serial_port.h"
#include "tcp_address.h"
#include "text_output.h"

namespace {
std::unique_ptr<NamedPortDevice> device;

void UseToken() { std::snprintf(commSettings.portName, sizeof commSettings.portName, "%s", device->Token()); }
}  // namespace

LineTarget ResolveLineTarget(const GlobalOptions& options) {
    LoadCommSettings();
    LineTarget target;
    target.port = options.port.empty() ? DefaultPortName() : options.port;
    target.baud = options.baud ? options.baud : commSettings.baudRate;
    target.address = static_cast<uint8_t>(options.address ? options.address : commSettings.deviceAddress);
    target.timeoutMs = options.timeoutMs;
    target.unit = static_cast<uint8_t>(options.unit);
    return target;
}

int OpenLine(const LineTarget& target) {
    if (target.timeoutMs && !IsNetworkPortName(target.port)) {
        Complain("--timeout vale só para portas de rede (tcp://, rfc2217://, modbus-tcp://)");
        return kExitUsage;
    }
    if (target.unit && NetworkSchemeOf(target.port) != NetworkScheme::kModbusTcp) {
        Complain("--unit vale só para gateways Modbus TCP (modbus-tcp://)");
        return kExitUsage;
    }
    device.reset(
        new NamedPortDevice(DeviceForPort(target.port, target.timeoutMs, target.address, target.unit), target.port));
    UseSerialDevice(device.get());
    commSettings.baudRate = target.baud;
    commSettings.deviceAddress = target.address;
    UseToken();
    device->AllowOneOpen();
    // A server that closed at once (busy with another client) leaves a port that cannot serve.
    if (OpenPort() == 1 && !NetworkLineLost()) return kExitOk;
    const std::string network = NetworkPortProblem();
    if (Interrupted()) {
        Complain(network.empty() ? std::string("interrompido: a porta não foi aberta") : network);
        UseToken();
        return kExitInterrupted;
    }
    if (device->IsOpen()) {
        Complain(Format("a porta %s não aceitou a configuração da linha (%d bit/s, 8N1)%s%s", target.port.c_str(),
                        static_cast<int>(target.baud), network.empty() ? "" : ": ", network.c_str()));
    } else {
        Complain(Format("não foi possível abrir a porta %s: %s", target.port.c_str(),
                        network.empty() ? PortOpenFailureText().c_str() : network.c_str()));
        if (!IsNetworkPortName(target.port)) Complain(PresentPortsText());
    }
    UseToken();
    return kExitPort;
}

bool ReopenLine() {
    ClosePort();
    UseToken();
    device->AllowOneOpen();
    const bool opened = OpenPort() == 1;
    UseToken();  // a failed open leaves "None" behind, which no later open could use
    return opened;
}

void CloseLine() {
    if (!device) return;
    ClosePort();
    UseSerialDevice(nullptr);
    device.reset();
    ReleaseNetworkPort();
}

const std::string& LinePortName() {
    static const std::string none;
    return device ? device->FullName() : none;
}

std::string LineDescription() {
    // A gateway's serial rate is its own setting: nothing here knows it.
    if (ThroughGateway()) {
        const unsigned unit = GatewayUnitOf(commSettings.deviceAddress);
        return Format("endereço %d%s, %s", commSettings.deviceAddress,
                      unit ? Format(" (unidade %u)", unit).c_str() : "", LinePortName().c_str());
    }
    return DescribeLine(commSettings.deviceAddress, commSettings.baudRate, LinePortName());
}

void ComplainNoReply(const char* what, LinkError error) {
    const std::string network = NetworkFailureText(error, commSettings.deviceAddress);
    if (!network.empty()) {
        Complain(Format("%s: %s (%s)", what, network.c_str(), LineDescription().c_str()));
        return;
    }
    Complain(Format("%s: o transmissor não respondeu corretamente (%s; %s)", what,
                    FixedText(LinkErrorText(error)).c_str(), LineDescription().c_str()));
}

int ReadConfiguration(uint16_t* words) {
    const LinkError result = ReadConfigBlock(words);
    if (result == kLinkOk) return kExitOk;
    ComplainNoReply("leitura da configuração", result);
    return kExitNoReply;
}
