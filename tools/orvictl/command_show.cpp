// show: the whole configuration decoded, with calibration values and status bits; --json for scripts.
#include "comm_settings.h"
#include "commands.h"
#include "config_snapshot.h"
#include "exit_codes.h"
#include "line_session.h"
#include "network_port.h"
#include "platform.h"
#include "show_format.h"
#include "text_output.h"
#include "transactions.h"

namespace {
// The four private calibration values in their slot order; false when any of them does not answer.
bool ReadCalibration(CalibrationValues* values) {
    for (const CalibrationValueSlot& slot : kCalibrationSlots) {
        uint16_t word = 0;
        if (Interrupted() || ReadPrivate(slot.address, &word) != kLinkOk) return false;
        values->*slot.field = static_cast<int16_t>(word);
    }
    return true;
}
}  // namespace

int RunShow(const GlobalOptions& options, const Arguments& arguments) {
    bool json = false;
    for (const std::string& argument : arguments) {
        if (argument == "--json")
            json = true;
        else
            return UsageError("show", UnexpectedArgumentText(argument));
    }
    int code = OpenLine(ResolveLineTarget(options));
    if (code != kExitOk) return code;
    uint16_t words[kConfigBlockWords] = {};
    code = ReadConfiguration(words);
    if (Interrupted()) code = kExitInterrupted;
    if (code == kExitOk) {
        DecodeConfigBlock(words);
        TransmitterReport report{};
        report.config = configSnapshot;
        report.address = commSettings.deviceAddress;
        // A gateway's serial rate is its own setting, not the one given here for its timing.
        report.baud = ThroughGateway() ? 0 : commSettings.baudRate;
        report.port = LinePortName();
        report.calibrationRead = ReadCalibration(&report.calibration);
        report.statusRead = !Interrupted() && ReadStatusBits(&report.statusBits) == kLinkOk;
        if (Interrupted()) {
            code = kExitInterrupted;
        } else {
            WriteOut(json ? FormatReportJson(report) : FormatReportText(report));
            // A gateway that does not pass the private functions names what it kept back when the port closes.
            if ((!report.calibrationRead || !report.statusRead) && !PrivateValuesRefused())
                Complain("aviso: a calibração ou o estado não puderam ser lidos");
        }
    }
    CloseLine();
    if (code == kExitInterrupted) Complain("interrompido: a leitura parou e a porta foi fechada");
    return code;
}
