// plant: the instrument index's commands: check, commission and report.
#include "commands.h"
#include "plant.h"

int RunPlant(LineSession& session, const GlobalOptions& options, const Arguments& arguments) {
    if (arguments.empty()) return UsageError("plant", "falta o subcomando: check, commission ou report");
    if (arguments[0] == "check") return RunPlantCheck(options, arguments);
    if (arguments[0] == "commission") return RunPlantCommission(session, options, arguments);
    if (arguments[0] == "report") return RunPlantReport(options, arguments);
    return UsageError("plant", "subcomando desconhecido: " + arguments[0] + " (check, commission ou report)");
}
