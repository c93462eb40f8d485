// Measurements only Linux can make of a Wine program (/proc), asked of scripts/bench through a shared folder.
#pragma once
#include <string>

// Writes NAME.ask into the folder ORVI_BENCH_PROBE names and waits (at most limitMs) for scripts/bench to
// answer with NAME.done; returns the answer's first line, "" when none came.
std::string AskProbe(const std::string& name, unsigned limitMs);
