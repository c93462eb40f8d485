// Choosing and keeping orvictl's network device, and the messages about network lines.
#include "network_port.h"

#include <memory>

#include "cli_options.h"
#include "exit_codes.h"
#include "frame_codec.h"
#include "mbap_codec.h"
#include "tcp_address.h"
#include "tcp_serial_device.h"
#include "text_output.h"

namespace {
std::unique_ptr<TcpSerialDevice> networkDevice;
std::unique_ptr<MbapCodec> gatewayCodec;
bool lossTold = false;
bool verboseRun = false;
bool connectionDropped = false;

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

SerialDevice& DeviceForPort(const std::string& port, uint32_t timeoutMs, uint8_t address, uint8_t unit) {
    ReleaseNetworkPort();
    const NetworkScheme scheme = NetworkSchemeOf(port);
    if (scheme == NetworkScheme::kNone) return SystemSerialDevice();
    networkDevice.reset(new TcpSerialDevice(scheme, timeoutMs));
    if (scheme == NetworkScheme::kModbusTcp) {
        gatewayCodec.reset(new MbapCodec(networkDevice->Allowance()));
        gatewayCodec->MapUnit(address, unit);
        UseFrameCodec(gatewayCodec.get());
    }
    return *networkDevice;
}

void ReleaseNetworkPort() {
    if (networkDevice && networkDevice->ConnectionLost()) {
        connectionDropped = true;
        if (!lossTold) Complain(FixedText(networkDevice->Problem()));
    }
    if (networkDevice && networkDevice->SetsLineRate() && verboseRun) {
        const LineErrors errors = networkDevice->ServerLineErrors();
        Complain(Format("erros na linha do servidor (RFC 2217): paridade %u, enquadramento %u, sobreposição %u%s",
                        errors.parity, errors.framing, errors.overrun,
                        errors.parity || errors.framing || errors.overrun ? " (taxa errada ou linha com ruído?)" : ""));
    }
    if (PrivateValuesRefused())
        Complain(std::string("aviso: o gateway ") +
                 (gatewayCodec->PrivateFunctions() == PrivatePath::kDropped ? "não responde às" : "recusou as") +
                 " funções próprias do transmissor (0x70 e 0x71); sem leitura: " +
                 RefusedValuesText(gatewayCodec->RefusedPrivateValues()) + "; o resto foi lido normalmente");
    UseFrameCodec(nullptr);
    gatewayCodec.reset();
    networkDevice.reset();
    lossTold = false;
}

void SetNetworkVerbose(bool verbose) { verboseRun = verbose; }

bool NetworkConnectionDropped() { return connectionDropped; }

std::string NetworkPortProblem() {
    if (!networkDevice) return std::string();
    lossTold = true;
    return FixedText(networkDevice->Problem());
}

bool PrivateValuesRefused() { return gatewayCodec && !gatewayCodec->RefusedPrivateValues().empty(); }

bool ThroughGateway() { return gatewayCodec != nullptr; }

uint8_t GatewayUnitOf(uint8_t address) {
    const uint8_t unit = gatewayCodec ? gatewayCodec->UnitOf(address) : address;
    return unit == address ? 0 : unit;
}

bool NetworkLineLost() { return networkDevice && networkDevice->ConnectionLost(); }

std::string NetworkFailureText(LinkError error, unsigned address) {
    if (NetworkLineLost()) {
        lossTold = true;
        return FixedText(networkDevice->Problem());
    }
    if (error == kLinkTimeout && gatewayCodec && gatewayCodec->LastGatewayException())
        return FixedText(GatewayExceptionText(gatewayCodec->LastGatewayException(), address,
                                              gatewayCodec->UnitOf(static_cast<uint8_t>(address))));
    return std::string();
}

std::string NetworkSampleText(LinkError error, unsigned address) {
    if (NetworkLineLost()) return "conexão perdida";
    if (error == kLinkTimeout && gatewayCodec && gatewayCodec->LastGatewayException())
        return FixedText(GatewayExceptionText(gatewayCodec->LastGatewayException(), address));
    return std::string();
}

WholeWaitScope::WholeWaitScope(bool active, uint32_t allowanceMs) : active_(active && networkDevice) {
    if (active_) networkDevice->Allowance().Hold(gatewayCodec ? allowanceMs : 0);
}

WholeWaitScope::~WholeWaitScope() {
    if (active_ && networkDevice) networkDevice->Allowance().LetGo();
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

bool LineRateIsFixed() { return networkDevice && !networkDevice->SetsLineRate(); }
