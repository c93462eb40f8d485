// plant's two subcommands, on the instrument index.
#pragma once
#include "commands.h"

// plant check INDEX [--json | --csv]; arguments[0] is "check".
int RunPlantCheck(const GlobalOptions& options, const Arguments& arguments);
// plant commission INDEX --line L [--csv SUMMARY], on session; arguments[0] is "commission".
int RunPlantCommission(LineSession& session, const GlobalOptions& options, const Arguments& arguments);
