// orvictl's commands: each takes the global options and its own arguments and returns an exit code.
#pragma once
#include <string>
#include <vector>

#include "cli_options.h"

typedef std::vector<std::string> Arguments;

struct Command {
    const char* name;
    const char* summary;  // one line for the global help
    const char* help;     // the command's own --help
    int (*run)(const GlobalOptions& options, const Arguments& arguments);
};

extern const Command kCommands[];
extern const int kCommandCount;

int RunScan(const GlobalOptions& options, const Arguments& arguments);
int RunShow(const GlobalOptions& options, const Arguments& arguments);
int RunSave(const GlobalOptions& options, const Arguments& arguments);
int RunLoad(const GlobalOptions& options, const Arguments& arguments);
int RunCommission(const GlobalOptions& options, const Arguments& arguments);
int RunPorts(const GlobalOptions& options, const Arguments& arguments);
int RunDiff(const GlobalOptions& options, const Arguments& arguments);
int RunSet(const GlobalOptions& options, const Arguments& arguments);
int RunMonitor(const GlobalOptions& options, const Arguments& arguments);
int RunAddress(const GlobalOptions& options, const Arguments& arguments);
int RunBaud(const GlobalOptions& options, const Arguments& arguments);
int RunJournal(const GlobalOptions& options, const Arguments& arguments);
int RunReport(const GlobalOptions& options, const Arguments& arguments);

// The usage message of a command (to standard error) and the usage exit code.
int UsageError(const char* command, const std::string& problem);
