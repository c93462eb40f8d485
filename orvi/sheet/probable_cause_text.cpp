// The line doctor's verdict on what the configurator's line has already shown: no new request is sent.
#include "probable_cause_text.h"

#include "link/line.h"
#include "link/line_doctor.h"

std::string WithProbableCause(const std::string& message) {
    const LineVerdict verdict = ProbableCause(ConfiguratorLine());
    if (verdict.cause == LineCause::kUnknown || verdict.cause == LineCause::kHealthy) return message;
    return message + "\n\nProvável causa: " + CauseWords(verdict.cause);
}
