// orvictl's commands: each takes the run's line session, the global options and its own arguments and returns an exit
// code.
#pragma once
#include <string>
#include <vector>

#include "cli_options.h"

class LineSession;

typedef std::vector<std::string> Arguments;

struct Command {
    const char* name;
    const char* summary;  // one line for the global help
    const char* help;     // the command's own --help
    // Works on session, the run's line (opened by the command where it needs one).
    int (*run)(LineSession& session, const GlobalOptions& options, const Arguments& arguments);
};

extern const Command kCommands[];
extern const int kCommandCount;

int RunScan(LineSession& session, const GlobalOptions& options, const Arguments& arguments);
int RunShow(LineSession& session, const GlobalOptions& options, const Arguments& arguments);
int RunSave(LineSession& session, const GlobalOptions& options, const Arguments& arguments);
int RunLoad(LineSession& session, const GlobalOptions& options, const Arguments& arguments);
int RunCommission(LineSession& session, const GlobalOptions& options, const Arguments& arguments);
int RunPorts(LineSession& session, const GlobalOptions& options, const Arguments& arguments);
int RunDiff(LineSession& session, const GlobalOptions& options, const Arguments& arguments);
int RunSet(LineSession& session, const GlobalOptions& options, const Arguments& arguments);
int RunMonitor(LineSession& session, const GlobalOptions& options, const Arguments& arguments);
int RunAddress(LineSession& session, const GlobalOptions& options, const Arguments& arguments);
int RunBaud(LineSession& session, const GlobalOptions& options, const Arguments& arguments);
int RunJournal(LineSession& session, const GlobalOptions& options, const Arguments& arguments);
int RunReport(LineSession& session, const GlobalOptions& options, const Arguments& arguments);
int RunCheck(LineSession& session, const GlobalOptions& options, const Arguments& arguments);
int RunNew(LineSession& session, const GlobalOptions& options, const Arguments& arguments);
int RunDoctor(LineSession& session, const GlobalOptions& options, const Arguments& arguments);
int RunPlant(LineSession& session, const GlobalOptions& options, const Arguments& arguments);

// The usage message of a command (to standard error) and the usage exit code.
int UsageError(const char* command, const std::string& problem);
