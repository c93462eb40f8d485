// plant commission INDEX --line L: the factory transmitters of one line taken, in the index's order,
// to their rows' addresses, rates and configurations, each row's outcome kept in a summary as it goes.
#include <array>
#include <ctime>
#include <map>
#include <utility>

#include "csv_records.h"
#include "exit_codes.h"
#include "factory_unit.h"
#include "live_diagnostic_texts.h"
#include "monitor_csv.h"
#include "plant.h"
#include "plant_index_file.h"
#include "platform.h"
#include "records_platform.h"
#include "text_output.h"
#include "write_journal.h"

namespace {
const char kSummaryHeader[] = "tag,linha,endereco,taxa,numero_serie,estado,detalhe,hora";

struct CommissionPlan {
    std::string index;
    std::string line;
    std::string summary;  // empty: comissionamento.csv beside the index
};

int ParseArguments(const Arguments& arguments, CommissionPlan* plan) {
    for (size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--line" || argument == "--csv") {
            if (i + 1 >= arguments.size()) return UsageError("plant", argument + " precisa de um valor");
            (argument == "--line" ? plan->line : plan->summary) = arguments[++i];
        } else if (argument.size() > 1 && argument[0] == '-') {
            return UsageError("plant", UnexpectedArgumentText(argument));
        } else if (plan->index.empty()) {
            plan->index = argument;
        } else {
            return UsageError("plant", "plant commission espera um índice só");
        }
    }
    if (plan->index.empty()) return UsageError("plant", "falta o índice: plant commission ÍNDICE --line LINHA");
    if (plan->line.empty())
        return UsageError("plant", "dê a linha a comissionar: --line LINHA (a coluna linha do índice)");
    if (plan->summary.empty()) plan->summary = PathBesideIndex(plan->index, "comissionamento.csv");
    return kExitOk;
}

// The summary ready for rows: made with its header, or one of the same columns to go on (an earlier
// session of the plant), its text then in bytes. An exit code.
int OpenSummary(const std::string& path, std::string* earlier) {
    std::string& bytes = *earlier;
    std::string problem;
    bool missing = false;
    if (!ReadWholeFile(path, &bytes, &missing) && !missing) {
        Complain(Format("não foi possível ler o resumo %s", path.c_str()));
        return kExitFile;
    }
    if (!bytes.empty()) {
        if (bytes.compare(0, bytes.find_first_of("\r\n"), kSummaryHeader) == 0) return kExitOk;
        Complain(Format("o resumo %s já existe com outras colunas: dê outro nome com --csv (nada foi escrito)",
                        path.c_str()));
        return kExitFile;
    }
    if (AppendLineToFile(path, std::string(kSummaryHeader) + "\n", &problem)) return kExitOk;
    Complain(Format("não foi possível gravar o resumo %s: %s", path.c_str(), problem.c_str()));
    return kExitFile;
}

// The summary's columns that tell a row placed before: where they stand in kSummaryHeader.
enum SummaryColumn {
    kSummaryTag = 0,
    kSummaryLine = 1,
    kSummaryAddress = 2,
    kSummaryRate = 3,
    kSummaryState = 5,
    kSummaryTime = 7
};

// A row is placed where its tag, line, address and rate say: a tag the index has since moved to another
// address or rate was not placed there.
using Placement = std::array<std::string, 4>;

// The rows an earlier session placed, each with the time it was recorded. The summary's last record of a
// placement decides: one that failed after being placed is asked for again.
std::map<Placement, std::string> PlacedBefore(const std::string& summary, const std::string& path) {
    std::vector<CsvRecord> records;
    int openAt = 0;
    // Rows are whole writes; a last one cut short (a power cut mid-write) names no unit placed.
    if (!SplitCsvRecords(summary, ',', &records, &openAt))
        Complain(Format("aviso: a linha %d do resumo %s está incompleta e não conta", openAt, path.c_str()));
    std::map<Placement, std::string> placed;
    for (size_t i = 1; i < records.size(); ++i) {
        const std::vector<std::string>& cells = records[i].cells;
        if (cells.size() <= kSummaryState) continue;
        const Placement key = {cells[kSummaryTag], cells[kSummaryLine], cells[kSummaryAddress], cells[kSummaryRate]};
        if (cells[kSummaryState] == "comissionado")
            placed[key] = cells.size() > kSummaryTime ? cells[kSummaryTime] : "";
        else
            placed.erase(key);
    }
    return placed;
}

std::string NowText() {
    const std::time_t now = std::time(nullptr);
    return TimestampText(LocalTimeOf(now), now, 0);
}

// One row's outcome, appended to the summary in one write the moment it is known: a crash or a
// power cut later loses none of the rows before.
void Record(const std::string& path, const IndexRow& row, const std::string& serial, const char* state,
            const std::string& detail) {
    const std::string line =
        Format("%s,%s,%d,%d,%s,%s,%s,%s\n", CsvField(row.tag).c_str(), CsvField(row.line).c_str(), row.address,
               static_cast<int>(row.baud), serial.c_str(), state, CsvField(detail).c_str(), NowText().c_str());
    std::string problem;
    if (!AppendLineToFile(path, line, &problem))
        Complain(Format("aviso: a linha de %s não pôde ser gravada no resumo %s (%s)", row.tag.c_str(), path.c_str(),
                        problem.c_str()));
}

// One row: the next factory unit checked, then placed. An exit code; Ctrl-C while waiting is 130.
int CommissionRow(LineSession& session, const LineTarget& factory, const PlantRow& plant, uint32_t* failedSerial,
                  std::string* serial, std::string* detail) {
    const IndexRow& row = plant.row;
    int code = session.Open(factory);
    if (code != kExitOk) {
        *detail = "a porta não abriu";
        return code;
    }
    WriteErr(Format("%s: esperando um transmissor novo no endereço de fábrica %d (%s); Ctrl-C termina\n",
                    row.tag.c_str(), kFactoryAddress, session.Description().c_str()));
    FactoryUnit unit;
    if ((code = WaitForFactoryUnit(session, *failedSerial, &unit)) != kExitOk) {
        *detail = code == kExitPort ? "a porta deixou de aceitar pedidos" : "interrompido esperando o transmissor";
        return code;
    }
    *serial = SerialNumberText(unit.held.serialNumber);
    *failedSerial = unit.held.serialNumber;  // until it is placed
    if ((code = CheckUnitTakes(unit, plant.requests, detail)) != kExitOk) {
        *detail = "configuração recusada, nada escrito: " + *detail;
        return code;
    }
    // Another transmitter at the row's address at any rate would be one of two no one can tell apart.
    const int32_t rate = RateAnsweringAt(session, static_cast<uint8_t>(row.address));
    if (Interrupted()) {
        *detail = "interrompido antes da escrita, nada escrito";
        return kExitInterrupted;
    }
    if (rate != 0) {
        *detail =
            Format("o endereço %d já responde na linha a %d bit/s, nada escrito", row.address, static_cast<int>(rate));
        return kExitCheck;
    }
    JournalSetTag(row.tag);  // the row names the measuring point of every write to this unit
    code = PlaceFactoryUnit(session, factory, static_cast<uint8_t>(row.address), row.baud, &plant.requests, detail);
    JournalSetTag("");
    if (code == kExitOk) *failedSerial = 0;
    return code;
}
}  // namespace

int RunPlantCommission(LineSession& session, const GlobalOptions& options, const Arguments& arguments) {
    CommissionPlan plan;
    int code = ParseArguments(arguments, &plan);
    if (code != kExitOk) return code;
    std::vector<PlantRow> rows;
    // Every row's file is read and checked before the first unit is touched.
    code = ReadPlantIndex(plan.index, plan.line, &rows);
    if (code != kExitOk) {
        Complain("nada foi escrito.");
        return code;
    }
    if (rows.empty())
        return UsageError("plant", Format("nenhuma linha do índice %s é %s", plan.index.c_str(), plan.line.c_str()));
    // A unit left at the factory address would be taken for the next new one.
    for (const PlantRow& plant : rows)
        if (plant.row.address == kFactoryAddress)
            return UsageError("plant",
                              Format("linha %d do índice: %s no endereço de fábrica %d não pode ser comissionado "
                                     "(nada foi escrito)",
                                     plant.row.lineNumber, plant.row.tag.c_str(), kFactoryAddress));
    std::string earlier;
    if ((code = OpenSummary(plan.summary, &earlier)) != kExitOk) return code;
    // A session started again (after Ctrl-C, or the next day) goes on where the plant left: a unit placed
    // already answers at its row's address, so asking for it again would only fail the row.
    const auto placed = PlacedBefore(earlier, plan.summary);

    GlobalOptions factoryOptions = options;
    factoryOptions.port = plan.line;
    factoryOptions.address = kFactoryAddress;
    factoryOptions.unit = 0;
    // New units come at the factory's rate; the saved settings of the configurator are no guide to it.
    if (!factoryOptions.baud) factoryOptions.baud = kFactoryBaud;
    const LineTarget factory = ResolveLineTarget(factoryOptions);
    int commissioned = 0, failed = 0, before = 0, first = kExitOk;
    uint32_t failedSerial = 0;  // a unit that failed and may still be at the factory address
    for (const PlantRow& plant : rows) {
        const auto done = placed.find(
            Placement{plant.row.tag, plant.row.line, Format("%d", plant.row.address), Format("%d", plant.row.baud)});
        if (done != placed.end()) {
            WriteErr(Format("%s: já comissionado (resumo %s, %s), passa\n", plant.row.tag.c_str(), plan.summary.c_str(),
                            done->second.c_str()));
            ++before;
            continue;
        }
        std::string serial, detail;
        const int result = CommissionRow(session, factory, plant, &failedSerial, &serial, &detail);
        session.Close();
        // Waiting ended by Ctrl-C touched no unit: nothing to record.
        if (result == kExitInterrupted && serial.empty()) {
            first = kExitInterrupted;
            break;
        }
        const char* state = result == kExitOk ? "comissionado" : result == kExitInterrupted ? "interrompido" : "falhou";
        Record(plan.summary, plant.row, serial, state, detail);
        WriteOut(Format("%s  %d  %s  %s: %s\n", plant.row.tag.c_str(), plant.row.address,
                        serial.empty() ? "-" : serial.c_str(), state, detail.c_str()));
        if (result == kExitOk) {
            ++commissioned;
            continue;
        }
        ++failed;
        if (first == kExitOk || result == kExitInterrupted) first = result;
        // A port that does not open fails every row after it alike; Ctrl-C ends the session.
        if (result == kExitInterrupted || result == kExitPort) break;
    }
    WriteErr(Format("%d de %d tag(s) comissionado(s), %d com falha, %d já comissionado(s) antes; resumo em %s\n",
                    commissioned, static_cast<int>(rows.size()), failed, before, plan.summary.c_str()));
    if (first == kExitInterrupted) Complain("interrompido: a sessão terminou; os tags seguintes não foram tocados");
    return first;
}
