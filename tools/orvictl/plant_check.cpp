// plant check INDEX: every tag's transmitter read, its lines at once, and judged against its row (the
// reading plant report builds its dossier on).
#include <chrono>

#include "config_ini.h"
#include "config_plan.h"
#include "exit_codes.h"
#include "json_layout.h"
#include "live_diagnostic_texts.h"
#include "monitor_csv.h"
#include "network_port.h"
#include "parallel_lines.h"
#include "plant.h"
#include "plant_index_file.h"
#include "platform.h"
#include "text_output.h"
#include "transactions.h"

namespace {

const char* StateName(TagState state) {
    switch (state) {
    case TagState::kOk: return "ok";
    case TagState::kDiffers: return "diferente";
    case TagState::kOtherTransmitter: return "outro_transmissor";
    default: return "sem_resposta";
    }
}

std::string TableText(const IndexRow& row, const TagCheck& check) {
    std::string text =
        Format("%s %s (%s)\n", PadRight(row.tag, 12).c_str(), TagVerdictText(check).c_str(), check.where.c_str());
    if (check.state == TagState::kDiffers && !check.comparison.plan.empty()) {
        // diff's table, indented under its tag.
        const std::string table = ChangeTable(check.comparison.plan, check.comparison.current, check.comparison.target);
        for (size_t at = 0; at < table.size();) {
            const size_t end = table.find('\n', at);
            text += "    " + table.substr(at, end - at) + "\n";
            at = end == std::string::npos ? table.size() : end + 1;
        }
    }
    return text;
}

nlohmann::ordered_json JsonOf(const IndexRow& row, const TagCheck& check) {
    nlohmann::ordered_json differences = nlohmann::ordered_json::array();
    for (const PlannedWrite& step : check.comparison.plan)
        differences.push_back({{"parametro", step.key->name},
                               {"atual", step.oldWord},
                               {"projeto", step.value},
                               {"descricao_atual", DescribeParameter(*step.key, check.comparison.current)},
                               {"descricao_projeto", DescribeParameter(*step.key, check.comparison.target)}});
    return {
        {"tag", row.tag},
        {"estado", StateName(check.state)},
        {"linha", row.line},
        {"endereco", row.address},
        {"taxa", row.baud},
        {"numero_serie", check.serial.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(check.serial)},
        {"diferencas", differences},
        {"detalhe", check.detail}};
}

const char kCsvColumns[] = "tag,estado,linha,endereco,taxa,numero_serie,diferencas,detalhe\n";

std::string CsvText(const IndexRow& row, const TagCheck& check) {
    std::string differences;
    for (const PlannedWrite& step : check.comparison.plan)
        differences += (differences.empty() ? "" : "; ") + DifferenceText(step);
    return Format("%s,%s,%s,%d,%d,%s,%s,%s\n", CsvField(row.tag).c_str(), StateName(check.state),
                  CsvField(row.line).c_str(), row.address, static_cast<int>(row.baud), check.serial.c_str(),
                  CsvField(differences).c_str(), CsvField(check.detail).c_str());
}

std::string PieceText(PlantOutput output, size_t index, const IndexRow& row, const TagCheck& check) {
    if (output == PlantOutput::kJson) return (index == 0 ? "\n  " : ",\n  ") + JsonOnOneLine(JsonOf(row, check));
    if (output == PlantOutput::kCsv) return CsvText(row, check);
    return TableText(row, check);
}

// Reads one tag's transmitter on the open line of session and judges it against its row.
TagCheck CheckTag(LineSession& session, const PlantRow& plant) {
    const IndexRow& row = plant.row;
    TagCheck check;
    session.Settings().deviceAddress = static_cast<uint8_t>(row.address);
    check.where = session.Description();
    uint16_t words[kConfigBlockWords] = {};
    const LinkError result = ReadConfigBlock(session.line, words);
    if (result != kLinkOk) {
        const std::string network = session.Network().FailureText(result, row.address);
        check.detail = network.empty() ? FixedText(LinkErrorText(result)) : network;
        return check;
    }
    const ConfigSnapshot current = session.TakeRead(words);
    check.config = current;
    check.serial = SerialNumberText(current.serialNumber);
    uint32_t expected = 0;
    if (ParseIndexSerial(row.serial, &expected) && expected != current.serialNumber) {
        check.state = TagState::kOtherTransmitter;
        check.detail =
            Format("número de série %s, o índice diz %s", check.serial.c_str(), SerialNumberText(expected).c_str());
        return check;
    }
    check.comparison = CompareConfiguration(words, current, plant.requests);
    if (check.comparison.code != kExitOk) {
        // A file this transmitter could not take is not what it holds.
        check.state = TagState::kDiffers;
        check.detail = check.comparison.message;
        return check;
    }
    check.state = check.comparison.plan.empty() ? TagState::kOk : TagState::kDiffers;
    return check;
}

// The rows of one line, one after another on a session of its own; each tag's text handed to printer
// as soon as it is judged. checks[i] is row i's (index numbering).
void CheckLine(const GlobalOptions& options, const std::vector<PlantRow>& rows, const std::vector<size_t>& mine,
               const TagWork& work, OrderedPrinter& printer, std::vector<TagCheck>& checks) {
    TextCapture capture;
    LineSession session;
    session.SetVerbose(options.verbose);
    bool opened = false;
    std::string openProblem;
    for (size_t n = 0; n < mine.size(); ++n) {
        const size_t i = mine[n];
        const IndexRow& row = rows[i].row;
        TagCheck check;
        if (Interrupted()) {
            check.detail = "interrompido";
        } else if (!opened && openProblem.empty()) {
            opened = session.Open(RowTarget(row, options)) == kExitOk;
            if (!opened) openProblem = "a porta não abriu";
        } else if (opened && session.Settings().baudRate != row.baud) {
            session.Settings().baudRate = row.baud;
            opened = session.Reopen();
            if (!opened) openProblem = Format("a porta não abriu a %d bit/s", static_cast<int>(row.baud));
        }
        if (opened && !Interrupted()) {
            check = CheckTag(session, rows[i]);
            check.asked = true;
            if (work.more) work.more(i, session, check);
        } else if (!Interrupted()) {
            check.where = DescribeLine(row.address, row.baud, row.line);
            check.detail = openProblem;
        }
        // What the line says as it closes (a connection lost) belongs to its last tag.
        if (n + 1 == mine.size()) session.Close();
        const std::string text = work.text ? work.text(i, check) : std::string();
        checks[i] = check;
        printer.Done(i, capture.TakeOut() + text, capture.TakeErr());
    }
}

int ParseCheckArguments(const Arguments& arguments, std::string* index, PlantOutput* output, bool* offline) {
    for (size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--offline")
            *offline = true;
        else if (argument == "--json")
            *output = PlantOutput::kJson;
        else if (argument == "--csv")
            *output = PlantOutput::kCsv;
        else if (argument.size() > 1 && argument[0] == '-')
            return UsageError("plant", UnexpectedArgumentText(argument));
        else if (index->empty())
            *index = argument;
        else
            return UsageError("plant", "plant check espera um índice só");
    }
    if (index->empty()) return UsageError("plant", "falta o índice: plant check ÍNDICE");
    return kExitOk;
}
}  // namespace

std::string DifferenceText(const PlannedWrite& step) {
    return Format("%s: %d -> %d", step.key->name, step.oldWord, step.value);
}

std::string TagVerdictText(const TagCheck& check) {
    switch (check.state) {
    case TagState::kOk: return "configuração como projetada";
    case TagState::kDiffers:
        return check.comparison.plan.empty()
                   ? "difere do projeto: " + check.detail
                   : Format("difere do projeto: %d parâmetro(s)", static_cast<int>(check.comparison.plan.size()));
    case TagState::kNoReply: return "não encontrado: " + check.detail;
    default: return "outro transmissor no endereço: " + check.detail;
    }
}

std::vector<TagCheck> CheckPlantLines(const GlobalOptions& options, const std::vector<PlantRow>& rows,
                                      const TagWork& work, size_t* lineCount) {
    // The rows of each line, in the index's order; the lines in the order they first appear.
    std::vector<std::string> lines;
    std::vector<std::vector<size_t>> rowsOf;
    for (size_t i = 0; i < rows.size(); ++i) {
        size_t at = 0;
        while (at < lines.size() && lines[at] != rows[i].row.line) ++at;
        if (at == lines.size()) lines.push_back(rows[i].row.line), rowsOf.emplace_back();
        rowsOf[at].push_back(i);
    }
    OrderedPrinter printer(rows.size());
    std::vector<TagCheck> checks(rows.size());
    RunOnThreads(lines.size(), [&](size_t line) { CheckLine(options, rows, rowsOf[line], work, printer, checks); });
    *lineCount = lines.size();
    return checks;
}

int RunPlantCheck(const GlobalOptions& options, const Arguments& arguments) {
    std::string path;
    PlantOutput output = PlantOutput::kTable;
    bool offline = false;
    int code = ParseCheckArguments(arguments, &path, &output, &offline);
    if (code != kExitOk) return code;
    if (offline) return CheckPlantFiles(path, output);
    std::vector<PlantRow> rows;
    code = ReadPlantIndex(path, "", &rows);
    if (code != kExitOk) return code;

    if (output == PlantOutput::kJson) WriteOut("[");
    if (output == PlantOutput::kCsv) WriteOut(kCsvColumns);
    const auto start = std::chrono::steady_clock::now();
    TagWork work;
    work.text = [&](size_t i, const TagCheck& check) { return PieceText(output, i, rows[i].row, check); };
    size_t lineCount = 0;
    const std::vector<TagCheck> checks = CheckPlantLines(options, rows, work, &lineCount);
    if (output == PlantOutput::kJson) WriteOut(rows.empty() ? "]\n" : "\n]\n");

    int counts[4] = {};
    for (const TagCheck& check : checks) ++counts[static_cast<int>(check.state)];
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    WriteErr(
        Format("%d tag(s) em %d linha(s), %.1f s: %d como projetado(s), %d diferente(s), %d sem resposta, "
               "%d com outro transmissor\n",
               static_cast<int>(rows.size()), static_cast<int>(lineCount), seconds,
               counts[static_cast<int>(TagState::kOk)], counts[static_cast<int>(TagState::kDiffers)],
               counts[static_cast<int>(TagState::kNoReply)], counts[static_cast<int>(TagState::kOtherTransmitter)]));
    if (Interrupted()) {
        Complain("interrompido: as linhas pararam e as portas foram fechadas");
        return kExitInterrupted;
    }
    // A tag not found leaves the plant unknown, which weighs more than a known difference.
    if (counts[static_cast<int>(TagState::kNoReply)]) return kExitNoReply;
    if (counts[static_cast<int>(TagState::kDiffers)] || counts[static_cast<int>(TagState::kOtherTransmitter)])
        return kExitDiffers;
    return kExitOk;
}
