// load FILE and set KEY=VALUE...: requested values checked, then written in the page's order.
#include <fstream>
#include <sstream>

#include "commands.h"
#include "config_ini.h"
#include "exit_codes.h"
#include "line_session.h"
#include "text_output.h"

namespace {
int ReportProblems(const std::vector<std::string>& problems) {
    for (const std::string& problem : problems) Complain(problem);
    Complain("nada foi escrito.");
    return kExitUsage;
}

// Every problem of the input is found before the port is opened, so a bad file touches nothing.
int WriteRequests(const GlobalOptions& options, const std::vector<RequestedValue>& requests, bool dryRun) {
    int code = OpenLine(ResolveLineTarget(options));
    if (code != kExitOk) return code;
    code = ApplyConfiguration(requests, dryRun);
    CloseLine();
    return code;
}
}  // namespace

int RunLoad(const GlobalOptions& options, const Arguments& arguments) {
    bool dryRun = false;
    std::string path;
    for (const std::string& argument : arguments) {
        if (argument == "--dry-run" && path.empty())
            dryRun = true;
        else if (argument.rfind("--", 0) == 0)
            return UsageError("load", "opção desconhecida: " + ArgumentText(argument.c_str()));
        else if (path.empty())
            path = argument;
        else
            return UsageError("load", "esperado só um arquivo");
    }
    if (path.empty()) return UsageError("load", "falta o nome do arquivo");
    std::ifstream file(path, std::ios::binary);
    std::stringstream content;
    if (!file || !(content << file.rdbuf())) {
        Complain(Format("não foi possível ler o arquivo %s", ArgumentText(path.c_str()).c_str()));
        return kExitFile;
    }
    std::vector<RequestedValue> requests;
    std::vector<std::string> problems;
    if (!ParseConfigIni(content.str(), &requests, &problems)) {
        for (std::string& problem : problems) problem = ArgumentText(path.c_str()) + ", " + problem;
        return ReportProblems(problems);
    }
    return WriteRequests(options, requests, dryRun);
}

int RunSet(const GlobalOptions& options, const Arguments& arguments) {
    bool dryRun = false;
    Arguments assignments;
    for (const std::string& argument : arguments) {
        if (argument == "--dry-run" && assignments.empty())
            dryRun = true;
        else if (argument.rfind("--", 0) == 0)
            return UsageError("set", "opção desconhecida: " + ArgumentText(argument.c_str()));
        else
            assignments.push_back(ArgumentText(argument.c_str()));
    }
    std::vector<RequestedValue> requests;
    std::vector<std::string> problems;
    if (!ParseAssignments(assignments, &requests, &problems)) return ReportProblems(problems);
    return WriteRequests(options, requests, dryRun);
}
