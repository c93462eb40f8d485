// A configuration file judged on its own, and a whole configuration before it is written to a file.
#include "config_file_check.h"

#include <algorithm>

#include "config_plan.h"
#include "configuration_rules.h"
#include "exit_codes.h"
#include "file_text.h"
#include "text_convert.h"

namespace {
// The key whose line a rule's problem is said on: the value the rule is about.
const char* KeyOfRule(int rule) {
    switch (rule) {
    case kRuleLowerBelowSensor:
    case kRuleLimitsCrossed: return "limite_inferior";
    case kRuleUpperAboveSensor: return "limite_superior";
    case kRuleSetPointBelowLower:
    case kRuleSetPointAboveUpper: return "alarme_setpoint";
    default: return "alarme_histerese";
    }
}

int LineOf(const std::vector<RequestedValue>& requests, const char* name) {
    for (const RequestedValue& request : requests)
        if (std::string(request.key->name) == name) return request.line;
    return 0;
}

std::string InconsistencyText(const ConfigProblem& problem) {
    return "Inconsistência: " + FixedText(problem.message.c_str());
}
}  // namespace

std::vector<FileProblem> CheckConfigFileBytes(const std::string& bytes) {
    std::vector<FileProblem> problems;
    std::string text, reason;
    if (!DecodeFileText(bytes, &text, &reason)) {
        problems.push_back({0, reason});
        return problems;
    }
    std::vector<RequestedValue> requests;
    if (!ParseConfigIniLines(text, &requests, &problems)) return problems;
    // No transmitter holds anything yet: a value the page does not offer could only go onto one that has it.
    for (const RequestedValue& request : requests)
        if (!request.refusal.empty()) problems.push_back({request.line, request.refusal});
    const ConfigSnapshot given = GivenConfiguration(requests);
    for (const ConfigProblem& problem : CheckConfiguration(given, given))
        problems.push_back({LineOf(requests, KeyOfRule(problem.rule)), InconsistencyText(problem)});
    // In the file's order, as an editor goes through them.
    std::stable_sort(problems.begin(), problems.end(),
                     [](const FileProblem& a, const FileProblem& b) { return a.line < b.line; });
    return problems;
}

int CheckWholeConfiguration(const ConfigSnapshot& current, const ConfigSnapshot& target,
                            const std::vector<RequestedValue>& requests, std::vector<std::string>* messages) {
    std::string message;
    const int code = CheckChanges(current, target, requests, &message);
    if (code != kExitOk) messages->push_back(message);
    if (code == kExitUsage) return code;
    // The file holds every value: what it kept is judged as much as what changed.
    for (const ConfigProblem& problem : CheckConfiguration(target, target))
        if (InconsistencyText(problem) != message) messages->push_back(InconsistencyText(problem));
    return messages->empty() ? kExitOk : kExitCheck;
}

std::string FileProblemText(const std::string& path, const FileProblem& problem) {
    return problem.line > 0 ? Format("%s:%d: %s", path.c_str(), problem.line, problem.text.c_str())
                            : Format("%s: %s", path.c_str(), problem.text.c_str());
}
