// doctor: names the probable cause of a line's trouble, with what was seen and what to do.
#include <nlohmann/json.hpp>

#include "commands.h"
#include "exit_codes.h"
#include "factory_unit.h"
#include "json_layout.h"
#include "line_doctor.h"
#include "line_session.h"
#include "platform.h"
#include "text_output.h"

namespace {
std::string VerdictText(const LineVerdict& verdict) {
    // The verdict's words are the link's (CP1252); this file's own literals are UTF-8.
    std::string text = "Provável causa: " + FixedText(CauseWords(verdict.cause));
    if (verdict.cause == LineCause::kWrongRate && verdict.rateFound)
        text += " (o transmissor responde a " + std::to_string(verdict.rateFound) + " bit/s)";
    text += "\n\nO que se viu:\n";
    for (const std::string& line : verdict.evidence) text += "  " + FixedText(line) + "\n";
    text += "\nO que fazer:\n  " + FixedText(verdict.advice) + "\n";
    return text;
}

std::string VerdictJson(const LineVerdict& verdict) {
    nlohmann::ordered_json object = {{"causa", CauseKey(verdict.cause)}};
    if (verdict.cause == LineCause::kWrongRate && verdict.rateFound) object["taxa"] = verdict.rateFound;
    nlohmann::ordered_json lines = nlohmann::ordered_json::array();
    for (const std::string& line : verdict.evidence) lines.push_back(FixedText(line));
    object["evidencia"] = lines;
    object["conselho"] = FixedText(verdict.advice);
    return JsonMembersOnLines(object);
}
}  // namespace

int RunDoctor(LineSession& session, const GlobalOptions& options, const Arguments& arguments) {
    bool json = false;
    int address = kFactoryAddress;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--json") {
            json = true;
        } else if (argument == "--address" && i + 1 < arguments.size()) {
            if (!ParseDeviceAddress(arguments[++i], &address))
                return UsageError("doctor", "endereço inválido: " + arguments[i] + " (1 a 247)");
        } else {
            return UsageError("doctor", UnexpectedArgumentText(argument));
        }
    }
    LineTarget target = ResolveLineTarget(options);
    target.address = static_cast<uint8_t>(address);
    const int code = session.Open(target);
    if (code != kExitOk) return code;
    session.line.evidence.networkLine = session.Network().IsNetwork();
    const LineVerdict verdict = ExamineLine(session.line, static_cast<uint8_t>(address), [] { return Interrupted(); });
    session.Close();
    if (Interrupted()) {
        Complain("interrompido: o exame parou e a porta foi fechada");
        return kExitInterrupted;
    }
    WriteOut(json ? VerdictJson(verdict) : VerdictText(verdict));
    if (verdict.cause == LineCause::kHealthy) return kExitOk;
    return verdict.cause == LineCause::kUnknown ? kExitNoReply : kExitCauseNamed;
}
