// plant's two subcommands, on the instrument index.
#pragma once
#include "commands.h"

// plant check INDEX [--json | --csv]; arguments[0] is "check".
int RunPlantCheck(const GlobalOptions& options, const Arguments& arguments);
// How plant check gives its result: a table, JSON or CSV.
enum class PlantOutput { kTable, kJson, kCsv };
// plant check --offline INDEX: the configuration file of every row judged as check judges it, no line
// touched; per tag its file's problems. 0 when every file is sound, 5 otherwise.
int CheckPlantFiles(const std::string& indexPath, PlantOutput output);
// plant commission INDEX --line L [--csv SUMMARY], on session; arguments[0] is "commission".
int RunPlantCommission(LineSession& session, const GlobalOptions& options, const Arguments& arguments);
