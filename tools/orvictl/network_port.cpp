// Choosing and keeping orvictl's network device, and the messages about network lines.
#include "network_port.h"

#include <memory>

#include "cli_options.h"
#include "exit_codes.h"
#include "line.h"
#include "tcp_address.h"
#include "text_output.h"

namespace {
// What the refused private values are to the user: the calibration (21 to 24, read as a group),
// the status (4), or a value by its address.
std::string RefusedValuesText(const std::vector<uint16_t>& addresses) {
    std::vector<std::string> names;
    bool calibration = false;
    for (uint16_t address : addresses) {
        if (address >= 21 && address <= 24) {
            if (!calibration) names.push_back("a calibração (valores privados 21 a 24)");
            calibration = true;
        } else if (address == 4) {
            names.push_back("o estado (valor privado 4)");
        } else {
            names.push_back("o valor privado " + std::to_string(address));
        }
    }
    std::string text;
    for (size_t i = 0; i < names.size(); ++i) text += (i == 0 ? "" : i + 1 == names.size() ? " e " : ", ") + names[i];
    return text;
}
}  // namespace

bool IsNetworkPortName(const std::string& port) { return NetworkSchemeOf(port) != NetworkScheme::kNone; }

bool ParseNetworkTimeout(const std::string& text, uint32_t* ms) {
    long value = 0;
    if (!ParseWholeNumber(text, 1, 60000, &value)) return false;
    *ms = static_cast<uint32_t>(value);
    return true;
}

void NetworkPort::Configure(bool verbose, FrameObserver dump, CancelCheck interrupted) {
    verbose_ = verbose;
    dump_ = std::move(dump);
    interrupted_ = interrupted;
}

SerialDevice& NetworkPort::DeviceFor(Line& line, const std::string& port, uint32_t timeoutMs, uint8_t address,
                                     uint8_t unit) {
    Release(line);
    const NetworkScheme scheme = NetworkSchemeOf(port);
    if (scheme == NetworkScheme::kNone) {
        localDevice_ = NewSerialDevice();
        return *localDevice_;
    }
    networkDevice_.reset(new TcpSerialDevice(scheme, timeoutMs));
    if (verbose_) networkDevice_->SetObserver(dump_);
    networkDevice_->SetCancelCheck(interrupted_);
    if (scheme == NetworkScheme::kModbusTcp) {
        gatewayCodec_.reset(new MbapCodec(networkDevice_->Allowance()));
        gatewayCodec_->MapUnit(address, unit);
        line.UseCodec(gatewayCodec_.get());
    }
    return *networkDevice_;
}

void NetworkPort::Release(Line& line) {
    if (networkDevice_ && networkDevice_->ConnectionLost()) {
        connectionDropped_ = true;
        if (!lossTold_) Complain(FixedText(networkDevice_->Problem()));
    }
    if (networkDevice_ && networkDevice_->SetsLineRate() && verbose_) {
        const LineErrors errors = networkDevice_->ServerLineErrors();
        Complain(Format("erros na linha do servidor (RFC 2217): paridade %u, enquadramento %u, sobreposição %u%s",
                        errors.parity, errors.framing, errors.overrun,
                        errors.parity || errors.framing || errors.overrun ? " (taxa errada ou linha com ruído?)" : ""));
    }
    if (PrivateValuesRefused())
        Complain(std::string("aviso: o gateway ") +
                 (gatewayCodec_->PrivateFunctions() == PrivatePath::kDropped ? "não responde às" : "recusou as") +
                 " funções próprias do transmissor (0x70 e 0x71); sem leitura: " +
                 RefusedValuesText(gatewayCodec_->RefusedPrivateValues()) + "; o resto foi lido normalmente");
    line.UseCodec(nullptr);
    gatewayCodec_.reset();
    networkDevice_.reset();
    localDevice_.reset();
    lossTold_ = false;
}

std::string NetworkPort::PortProblem() {
    if (!networkDevice_) return std::string();
    lossTold_ = true;
    return FixedText(networkDevice_->Problem());
}

bool NetworkPort::PrivateValuesRefused() const {
    return gatewayCodec_ && !gatewayCodec_->RefusedPrivateValues().empty();
}

uint8_t NetworkPort::GatewayUnitOf(uint8_t address) const {
    const uint8_t unit = gatewayCodec_ ? gatewayCodec_->UnitOf(address) : address;
    return unit == address ? 0 : unit;
}

bool NetworkPort::LineLost() const { return networkDevice_ && networkDevice_->ConnectionLost(); }

std::string NetworkPort::FailureText(LinkError error, unsigned address) {
    if (LineLost()) {
        lossTold_ = true;
        return FixedText(networkDevice_->Problem());
    }
    if (error == kLinkTimeout && gatewayCodec_ && gatewayCodec_->LastGatewayException())
        return FixedText(GatewayExceptionText(gatewayCodec_->LastGatewayException(), address,
                                              gatewayCodec_->UnitOf(static_cast<uint8_t>(address))));
    return std::string();
}

std::string NetworkPort::SampleText(LinkError error, unsigned address) const {
    if (LineLost()) return "conexão perdida";
    if (error == kLinkTimeout && gatewayCodec_ && gatewayCodec_->LastGatewayException())
        return FixedText(GatewayExceptionText(gatewayCodec_->LastGatewayException(), address));
    return std::string();
}

void NetworkPort::HoldAllowance(uint32_t allowanceMs) {
    if (networkDevice_) networkDevice_->Allowance().Hold(gatewayCodec_ ? allowanceMs : 0);
}

void NetworkPort::LetGoAllowance() {
    if (networkDevice_) networkDevice_->Allowance().LetGo();
}

bool NetworkPort::LineRateIsFixed() const { return networkDevice_ && !networkDevice_->SetsLineRate(); }

WholeWaitScope::WholeWaitScope(NetworkPort& network, bool active, uint32_t allowanceMs)
    : network_(network), active_(active && network.IsNetwork()) {
    if (active_) network_.HoldAllowance(allowanceMs);
}

WholeWaitScope::~WholeWaitScope() {
    if (active_) network_.LetGoAllowance();
}

int FitScanRates(const std::string& port, int32_t lineRate, bool ratesGiven, std::vector<int32_t>* rates) {
    const NetworkScheme scheme = NetworkSchemeOf(port);
    if (scheme != NetworkScheme::kRawTcp && scheme != NetworkScheme::kModbusTcp) return kExitOk;
    if (!ratesGiven) {
        rates->assign(1, lineRate);
        return kExitOk;
    }
    if (rates->size() > 1) {
        Complain(Format(
            "scan: %s é %s: a taxa da linha é a dele e não pode ser mudada daqui; dê uma só taxa "
            "(--rates %d)%s",
            port.c_str(), scheme == NetworkScheme::kRawTcp ? "um servidor serial em modo raw" : "um gateway Modbus TCP",
            static_cast<int>(lineRate),
            scheme == NetworkScheme::kRawTcp ? " ou use rfc2217:// para procurar em várias" : ""));
        return kExitUsage;
    }
    return kExitOk;
}
