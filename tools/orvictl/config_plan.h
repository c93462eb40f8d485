// From requested values to written registers: the page's rules, its checks, its write order, each write read back.
#pragma once
#include <functional>
#include <cstdint>
#include <string>
#include <vector>

#include "config_snapshot.h"
#include "file_extras.h"
#include "firmware_differences.h"
#include "link_error.h"
#include "parameter_keys.h"
#include "requested_values.h"
#include "transactions.h"

// The page's checks on what changes from current to target; a value that stays as the transmitter
// has it is never refused. 0 or an exit code with the message in message.
int CheckChanges(const ConfigSnapshot& current, const ConfigSnapshot& target,
                 const std::vector<RequestedValue>& requests, std::string* message);

// Whether a file made for the firmware and register map file names may go onto a transmitter of
// firmware target. A firmware that differs gives a warning naming both; a row of table for the two
// firmware versions refuses it (kExitCheck, the reason in refusal). A map this program does not know
// never gets here: the file's reader refuses it. A file that does not say what it was made for (older files) passes
// without a word.
int CheckFileFirmware(const FileExtras& file, int16_t target, const FirmwareDifferenceTable& table,
                      std::string* warning, std::string* refusal);

struct PlannedWrite {
    const ParameterKey* key;
    int16_t oldWord;
    int16_t value;
    const char* failureFormat;  // one %s for the link error text
};

// The page's write sequence for target, keeping only the registers whose word differs from the
// block just read; the indication offset, which the Diagnostic page writes, comes last.
std::vector<PlannedWrite> PlanWrites(const ConfigSnapshot& target, const uint16_t* words);

// Whether the values RequestsNotWritten leaves out stop the change: only when alarme_funcao was not
// given, since then the user most likely meant to set an alarm. A file that gives alarme_funcao = 0
// says there is none, and the alarm values it also records lie dormant: they are named, not refused.
bool NeedsAlarmFunction(const std::vector<RequestedValue>& requests,
                        const std::vector<const ParameterKey*>& notWritten);

// What loading requests onto the transmitter whose block was just read (words, decoded as current)
// would do, decided without a write: the page's checks, then the plan. code is 0 or the check's exit
// code, with its message.
struct ConfigComparison {
    int code = 0;
    std::string message;
    ConfigSnapshot current = {}, target = {};
    std::vector<PlannedWrite> plan;
    std::vector<const ParameterKey*> notWritten;  // alarm values no write carries without an alarm function
};
ConfigComparison CompareConfiguration(const uint16_t* words, const ConfigSnapshot& current,
                                      const std::vector<RequestedValue>& requests);

typedef std::function<WriteOutcome(int8_t reg, int16_t value)> RegisterWriter;  // the write and its read-back
typedef bool (*InterruptCheck)();

// Writes the plan in order. Ctrl-C stops it between writes; a failure stops it. Either way the
// message says what was written and what may have been. An exit code.
int RunWrites(const std::vector<PlannedWrite>& plan, RegisterWriter write, InterruptCheck interrupted);
// What a write that was not confirmed may have done, in the words of orvictl's messages.
std::string WriteFailureText(const char* name, const WriteOutcome& outcome);

// The table of changes a dry run prints.
std::string ChangeTable(const std::vector<PlannedWrite>& plan, const ConfigSnapshot& current,
                        const ConfigSnapshot& target);
