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
bool ReadCalibration(LineSession& session, CalibrationValues* values) {
    for (const CalibrationValueSlot& slot : kCalibrationSlots) {
        uint16_t word = 0;
        if (Interrupted() || ReadPrivate(session.line, slot.address, &word) != kLinkOk) return false;
        values->*slot.field = static_cast<int16_t>(word);
    }
    return true;
}
}  // namespace

int RunShow(LineSession& session, const GlobalOptions& options, const Arguments& arguments) {
    bool json = false;
    for (const std::string& argument : arguments) {
        if (argument == "--json")
            json = true;
        else
            return UsageError("show", UnexpectedArgumentText(argument));
    }
    int code = session.Open(ResolveLineTarget(options));
    if (code != kExitOk) return code;
    uint16_t words[kConfigBlockWords] = {};
    code = session.ReadConfiguration(words);
    if (Interrupted()) code = kExitInterrupted;
    if (code == kExitOk) {
        TransmitterReport report{};
        report.config = session.TakeRead(words);
        report.address = session.Settings().deviceAddress;
        // A gateway's serial rate is its own setting, not the one given here for its timing.
        report.baud = session.Network().ThroughGateway() ? 0 : session.Settings().baudRate;
        report.port = session.PortName();
        report.calibrationRead = ReadCalibration(session, &report.calibration);
        report.statusRead = !Interrupted() && ReadStatusBits(session.line, &report.statusBits) == kLinkOk;
        if (Interrupted()) {
            code = kExitInterrupted;
        } else {
            WriteOut(json ? FormatReportJson(report) : FormatReportText(report));
            // A gateway that does not pass the private functions names what it kept back when the port closes.
            if ((!report.calibrationRead || !report.statusRead) && !session.Network().PrivateValuesRefused())
                Complain("aviso: a calibração ou o estado não puderam ser lidos");
        }
    }
    session.Close();
    if (code == kExitInterrupted) Complain("interrompido: a leitura parou e a porta foi fechada");
    return code;
}
