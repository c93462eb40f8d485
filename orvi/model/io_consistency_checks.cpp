// The page's five consistency checks, as the first problem of the configuration rules.
#include "io_consistency_checks.h"

#include <cstdio>

#include "configuration_rules.h"

int FindConsistencyFault(const ConfigSnapshot& s, char* message, size_t size) {
    for (const ConfigProblem& problem : CheckConfiguration(s, s)) {
        if (problem.rule > kRuleSetPointAboveUpper) continue;
        std::snprintf(message, size, "%s", problem.message.c_str());
        return problem.rule;
    }
    return 0;
}
