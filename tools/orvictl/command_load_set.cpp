// load FILE and set KEY=VALUE...: requested values checked, then written in the page's order.
#include <cerrno>
#include <cstdio>

#include "commands.h"
#include "config_change.h"
#include "config_ini.h"
#include "exit_codes.h"
#include "file_text.h"
#include "platform.h"
#include "line_session.h"
#include "text_output.h"

namespace {
int ReportProblems(const std::vector<std::string>& problems) {
    for (const std::string& problem : problems) Complain(problem);
    Complain("nada foi escrito.");
    return kExitUsage;
}

// Every problem of the input's form is found before the port is opened, so a bad file touches
// nothing; whether a value is one the page offers is judged against the transmitter's own.
int WriteRequests(const GlobalOptions& options, const std::vector<RequestedValue>& requests, bool dryRun) {
    int code = OpenLine(ResolveLineTarget(options));
    if (code != kExitOk) return code;
    code = ApplyConfiguration(requests, dryRun);
    CloseLine();
    return code;
}

// The whole file, or false after a message naming why it could not be read.
bool ReadWholeFile(const std::string& path, std::string* bytes) {
    int error = IsFolder(path) ? EISDIR : 0;
    FILE* file = error ? nullptr : OpenFile(path, "rb");
    if (!file && !error) error = errno;
    if (file) {
        char buffer[4096];
        size_t got = 0;
        errno = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes->append(buffer, got);
        if (std::ferror(file)) error = errno ? errno : EIO;
        std::fclose(file);
    }
    if (error == 0) return true;
    Complain(Format("não foi possível ler o arquivo %s: %s", ArgumentText(path.c_str()).c_str(),
                    FileErrorText(error).c_str()));
    return false;
}
}  // namespace

int RunLoad(const GlobalOptions& options, const Arguments& arguments) {
    bool dryRun = false;
    std::string path;
    bool named = false;
    for (const std::string& argument : arguments) {
        if (argument == "--dry-run")
            dryRun = true;
        else if (argument.size() > 1 && argument[0] == '-')
            return UsageError("load", UnexpectedArgumentText(argument));
        else if (!named)
            path = argument, named = true;
        else
            return UsageError("load", "esperado só um arquivo");
    }
    if (!named) return UsageError("load", "falta o nome do arquivo");
    std::string bytes;
    if (!ReadWholeFile(path, &bytes)) return kExitFile;
    std::string text;
    std::string problem;
    if (!DecodeFileText(bytes, &text, &problem)) {
        Complain(Format("%s: %s", ArgumentText(path.c_str()).c_str(), problem.c_str()));
        Complain("nada foi escrito.");
        return kExitUsage;
    }
    std::vector<RequestedValue> requests;
    std::vector<std::string> problems;
    if (!ParseConfigIni(text, &requests, &problems)) {
        for (std::string& each : problems) each = ArgumentText(path.c_str()) + ", " + each;
        return ReportProblems(problems);
    }
    return WriteRequests(options, requests, dryRun);
}

int RunSet(const GlobalOptions& options, const Arguments& arguments) {
    bool dryRun = false;
    Arguments assignments;
    for (const std::string& argument : arguments) {
        if (argument == "--dry-run")
            dryRun = true;
        else if (argument.rfind("--", 0) == 0)
            return UsageError("set", UnexpectedArgumentText(argument));
        else
            assignments.push_back(ArgumentText(argument.c_str()));
    }
    std::vector<RequestedValue> requests;
    std::vector<std::string> problems;
    if (!ParseAssignments(assignments, &requests, &problems)) return ReportProblems(problems);
    return WriteRequests(options, requests, dryRun);
}
