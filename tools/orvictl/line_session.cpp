// Opening orvictl's one serial line through the link's OpenPort, by the exact port name given.
#include "line_session.h"

#include <cstdio>
#include <memory>

#include "comm_settings.h"
#include "config_ini.h"
#include "exit_codes.h"
#include "frame_dump.h"
#include "link_error.h"
#include "named_port_device.h"
#include "network_port.h"
#include "platform.h"
#include "transactions.h"
#include "write_journal.h"
#include "serial_port.h"
#include "tcp_address.h"
#include "text_output.h"

LineTarget ResolveLineTarget(const GlobalOptions& options) {
    CommSettings saved = {};
    LoadCommSettings(saved, SystemSettingsStore());
    LineTarget target;
    target.port = options.port.empty() ? DefaultPortName(saved.portName) : options.port;
    target.baud = options.baud ? options.baud : saved.baudRate;
    target.address = static_cast<uint8_t>(options.address ? options.address : saved.deviceAddress);
    target.timeoutMs = options.timeoutMs;
    target.unit = static_cast<uint8_t>(options.unit);
    return target;
}

LineSession::LineSession() {
    JournalWritesOf(line, &transmitter_, &trims_, [this] { return PortName(); });
    SetVerbose(false);
}

LineSession::~LineSession() { Close(); }

void LineSession::SetVerbose(bool verbose) {
    line.frameObserver = verbose ? FrameObserver(DumpFrame) : FrameObserver();
    network_.Configure(verbose, verbose ? FrameObserver(DumpNetwork) : FrameObserver(), Interrupted);
}

void LineSession::UseToken() {
    std::snprintf(line.settings.portName, sizeof line.settings.portName, "%s", device_->Token());
}

int LineSession::Open(const LineTarget& target) {
    if (target.timeoutMs && !IsNetworkPortName(target.port)) {
        Complain("--timeout vale só para portas de rede (tcp://, rfc2217://, modbus-tcp://)");
        return kExitUsage;
    }
    if (target.unit && NetworkSchemeOf(target.port) != NetworkScheme::kModbusTcp) {
        Complain("--unit vale só para gateways Modbus TCP (modbus-tcp://)");
        return kExitUsage;
    }
    Close();
    device_.reset(new NamedPortDevice(
        network_.DeviceFor(line, target.port, target.timeoutMs, target.address, target.unit), target.port));
    line.UseDevice(device_.get());
    line.settings.baudRate = target.baud;
    line.settings.deviceAddress = target.address;
    UseToken();
    device_->AllowOneOpen();
    // A server that closed at once (busy with another client) leaves a port that cannot serve.
    if (OpenPort(line) == 1 && !network_.LineLost()) return kExitOk;
    const std::string network = network_.PortProblem();
    if (Interrupted()) {
        Complain(network.empty() ? std::string("interrompido: a porta não foi aberta") : network);
        UseToken();
        return kExitInterrupted;
    }
    if (device_->IsOpen()) {
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

bool LineSession::Reopen() {
    ClosePort(line);
    UseToken();
    device_->AllowOneOpen();
    const bool opened = OpenPort(line) == 1;
    UseToken();  // a failed open leaves "None" behind, which no later open could use
    return opened;
}

void LineSession::Close() {
    if (!device_) return;
    ClosePort(line);
    line.UseDevice(nullptr);
    device_.reset();
    network_.Release(line);
    // Whatever answers on the next opening may be another transmitter.
    transmitter_ = ConfigSnapshot{};
    trims_ = HeldTrims{};
}

ConfigSnapshot LineSession::TakeRead(const uint16_t* words) {
    transmitter_ = DecodeConfiguration(words);
    trims_ = HeldTrims{};
    return transmitter_;
}

void LineSession::NameTransmitter(uint32_t serial) {
    transmitter_ = ConfigSnapshot{};
    transmitter_.serialNumber = serial;
    trims_ = HeldTrims{};
}

void LineSession::TakeTrims(const CalibrationValues& trims) {
    trims_.values = trims;
    for (bool& known : trims_.known) known = true;
}

bool LineSession::IsOpen() { return device_ && device_->IsOpen(); }

const std::string& LineSession::PortName() const {
    static const std::string none;
    return device_ ? device_->FullName() : none;
}

std::string LineSession::Description() const {
    const CommSettings& settings = line.settings;
    // A gateway's serial rate is its own setting: nothing here knows it.
    if (network_.ThroughGateway()) {
        const unsigned unit = network_.GatewayUnitOf(settings.deviceAddress);
        return Format("endereço %d%s, %s", settings.deviceAddress, unit ? Format(" (unidade %u)", unit).c_str() : "",
                      PortName().c_str());
    }
    return DescribeLine(settings.deviceAddress, settings.baudRate, PortName());
}

void LineSession::ComplainNoReply(const char* what, LinkError error) {
    const std::string network = network_.FailureText(error, line.settings.deviceAddress);
    if (!network.empty()) {
        Complain(Format("%s: %s (%s)", what, network.c_str(), Description().c_str()));
        return;
    }
    Complain(Format("%s: o transmissor não respondeu corretamente (%s; %s)", what,
                    FixedText(LinkErrorText(error)).c_str(), Description().c_str()));
}

int LineSession::ReadConfiguration(uint16_t* words) {
    const LinkError result = ReadConfigBlock(line, words);
    if (result == kLinkOk) return kExitOk;
    ComplainNoReply("leitura da configuração", result);
    return kExitNoReply;
}
