// plant report INDEX --out DIR: the plant's dossier, an index page with every tag's verdicts and the
// commissioning report of every tag's transmitter, read as plant check reads them.
#include <cerrno>

#include "dossier_files.h"
#include "dossier_index_page.h"
#include "exit_codes.h"
#include "file_replace.h"
#include "file_text.h"
#include "journal.h"
#include "plant.h"
#include "platform.h"
#include "report_options.h"
#include "text_output.h"
#include "transmitter_report.h"

namespace {
// The index's columns with the loop check's currents, five in mA as report's --as-found and --measured.
const char kAsFoundColumn[] = "malha_como_encontrada";
const char kAsLeftColumn[] = "malha_como_deixada";

struct DossierPlan {
    std::string index;
    std::string folder;
    std::string plant;  // empty: the index file's name
    SigningOptions signing;
};

int ParseArguments(const Arguments& arguments, DossierPlan* plan) {
    for (size_t i = 1; i < arguments.size(); ++i) {
        bool taken = false;
        std::string problem;
        if (!TakeSigningOption(arguments, &i, &plan->signing, &taken, &problem)) return UsageError("plant", problem);
        if (taken) continue;
        const std::string& argument = arguments[i];
        if (argument == "--out" || argument == "--plant") {
            if (i + 1 >= arguments.size() || arguments[i + 1].empty())
                return UsageError("plant", argument + " precisa de um valor");
            (argument == "--out" ? plan->folder : plan->plant) = arguments[++i];
        } else if (argument.size() > 1 && argument[0] == '-') {
            return UsageError("plant", UnexpectedArgumentText(argument));
        } else if (plan->index.empty()) {
            plan->index = argument;
        } else {
            return UsageError("plant", "plant report espera um índice só");
        }
    }
    if (plan->index.empty()) return UsageError("plant", "falta o índice: plant report ÍNDICE --out PASTA");
    if (plan->folder.empty()) return UsageError("plant", "dê a pasta do dossiê: --out PASTA");
    return kExitOk;
}

// "indices/norte.csv" is the plant "norte".
std::string PlantOfIndex(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    return name;
}

// The loop check's currents of each row, from the index's loop columns; every cell that is not five
// currents said with its line. An exit code.
int ReadLoopColumns(const std::string& path, const std::vector<PlantRow>& rows, std::vector<LoopReadings>* loops) {
    int code = kExitOk;
    loops->assign(rows.size(), LoopReadings());
    for (size_t i = 0; i < rows.size(); ++i) {
        for (const auto& field : rows[i].row.fields) {
            const std::string key = IndexColumnKey(field.first);
            const bool asFound = key == kAsFoundColumn;
            if ((!asFound && key != kAsLeftColumn) || field.second.empty()) continue;
            if (!ParseMeasured(field.second, asFound ? &(*loops)[i].asFound : &(*loops)[i].asLeft)) {
                Complain(
                    Format("%s, linha %d: %s \"%s\": cinco correntes em mA (0 a 30), por exemplo "
                           "\"4,8,12,16,20\" ou \"4;8,02;12;16;20\"",
                           path.c_str(), rows[i].row.lineNumber, key.c_str(), field.second.c_str()));
                code = kExitUsage;
            }
        }
    }
    return code;
}

// A page is the report of the row's own transmitter: none where nothing answered or another did.
bool HasPage(const TagCheck& check) { return check.state == TagState::kOk || check.state == TagState::kDiffers; }

// What the row's line showed of its transmitter besides the check, for its page.
struct TagLine {
    std::string port;
    int address = 0, rate = 0;
    std::vector<std::pair<std::string, std::string>> trims;
};

// An earlier dossier in folder (its index page, or a page this one would write) is what someone
// signed or will sign: replaced only when asked. False after a message.
bool MayWriteDossier(const DossierPlan& plan, const std::vector<std::string>& pages) {
    if (plan.signing.force) return true;
    std::vector<std::string> names(1, kDossierIndexPage);
    names.insert(names.end(), pages.begin(), pages.end());
    for (const std::string& name : names) {
        if (!FileExists(plan.folder + "/" + name)) continue;
        Complain(Format("a pasta %s já tem um dossiê (%s): --force o substitui (ou dê outra pasta com --out)",
                        plan.folder.c_str(), name.c_str()));
        return false;
    }
    return true;
}

// The whole journal, read once for every page; one that cannot be read is said once.
std::vector<JournalEntry> WholeJournal() {
    std::vector<JournalEntry> entries;
    int damaged = 0;
    std::string problem;
    if (!ReadJournalEntries(JournalFilter(), &entries, &damaged, &problem))
        Complain("aviso: o diário não pôde ser lido (" + problem + "); a configuração encontrada é a atual");
    return entries;
}

std::vector<JournalEntry> EntriesOf(const std::vector<JournalEntry>& journal, const std::string& serial) {
    JournalFilter filter;
    filter.serial = serial;
    std::vector<JournalEntry> entries;
    for (const JournalEntry& entry : journal)
        if (JournalEntryMatches(entry, filter)) entries.push_back(entry);
    return entries;
}

// The loop check's verdict on the index page; *failed when it does not pass.
std::string LoopVerdict(const LoopReadings& readings, const TagCheck& check, const CommissioningReport* page,
                        bool* failed) {
    *failed = false;
    if (readings.asLeft.empty()) return "não feito";
    if (!page) return "não avaliada: o transmissor do índice não foi lido";
    *failed = !LoopCheckPassed(page->loop);
    if (page->loop.empty()) return Format("não avaliada: tipo de saída %d desconhecido", check.config.outputType);
    return *failed ? "REPROVADA" : "APROVADA";
}

bool WritePage(const std::string& path, const std::string& html) {
    std::string problem;
    if (ReplaceWholeFile(path, html, &problem)) return true;
    Complain(Format("não foi possível gravar %s: %s", path.c_str(), problem.c_str()));
    return false;
}
}  // namespace

int RunPlantReport(const GlobalOptions& options, const Arguments& arguments) {
    DossierPlan plan;
    int code = ParseArguments(arguments, &plan);
    if (code != kExitOk) return code;
    std::vector<PlantRow> rows;
    code = ReadPlantIndex(plan.index, "", &rows);
    if (code != kExitOk) return code;
    std::vector<LoopReadings> loops;
    code = ReadLoopColumns(plan.index, rows, &loops);
    if (code != kExitOk) return code;
    if (plan.plant.empty()) plan.plant = PlantOfIndex(plan.index);

    std::vector<std::string> tags;
    for (const PlantRow& row : rows) tags.push_back(row.row.tag);
    const std::vector<std::string> pages = DossierPageNames(tags);
    // The folder is ready, and holds no dossier it may not replace, before any line is asked.
    if (!MakeFolder(plan.folder)) {
        Complain(Format("não foi possível criar a pasta %s: %s", plan.folder.c_str(), FileErrorText(errno).c_str()));
        return kExitFile;
    }
    if (!MayWriteDossier(plan, pages)) return kExitFile;

    std::vector<TagLine> lines(rows.size());
    TagWork work;
    work.more = [&](size_t i, LineSession& session, const TagCheck& check) {
        if (!HasPage(check)) return;
        lines[i].port = session.PortName();
        lines[i].address = session.Settings().deviceAddress;
        lines[i].rate = session.Settings().baudRate;
        lines[i].trims = ReadReportTrims(session.line, check.config.outputType);
    };
    size_t lineCount = 0;
    const std::vector<TagCheck> checks = CheckPlantLines(options, rows, work, &lineCount);
    if (Interrupted()) {
        Complain("interrompido: as linhas pararam e as portas foram fechadas; nada foi gravado");
        return kExitInterrupted;
    }

    const std::vector<JournalEntry> journal = WholeJournal();
    DossierIndex index;
    index.plant = plan.plant;
    index.indexFile = plan.index;
    index.operatorName = plan.signing.operatorName;
    index.issued = ReportIssuedText();
    index.user = CurrentUserName();
    index.machine = MachineName();
    bool noReply = false, notOk = false;
    std::string summary;
    for (size_t i = 0; i < rows.size(); ++i) {
        const IndexRow& row = rows[i].row;
        const TagCheck& check = checks[i];
        DossierRow entry;
        entry.tag = row.tag;
        entry.line = row.line;
        entry.address = row.address;
        entry.serial = check.serial.empty() ? row.serial : check.serial;
        entry.configuration = TagVerdictText(check);
        entry.configurationOk = check.state == TagState::kOk;
        for (const PlannedWrite& step : check.comparison.plan) entry.differences.push_back(DifferenceText(step));
        CommissioningReport report;
        if (HasPage(check)) {
            report.port = lines[i].port;
            report.address = lines[i].address;
            report.rate = lines[i].rate;
            report.trims = lines[i].trims;
            report.instrument = plan.signing.instrument;
            report.operatorName = plan.signing.operatorName;
            FillTransmitterReport(check.config, EntriesOf(journal, check.serial), loops[i], plan.signing.tolerance,
                                  &report);
            // The index names the measuring point, whatever tag the journal last gave the transmitter.
            report.tag = row.tag;
            report.plant = plan.plant;
            report.indexPage = kDossierIndexPage;
            if (!WritePage(plan.folder + "/" + pages[i], CommissioningReportHtml(report))) return kExitFile;
            entry.page = pages[i];
        } else {
            // A row whose line did not open (or was interrupted) was never asked: say so, not silence.
            entry.noPage = !check.asked                        ? check.detail
                           : check.state == TagState::kNoReply ? "o transmissor não respondeu"
                                                               : "no endereço respondeu outro transmissor";
            // A page of an earlier dossier under this name is not of the transmitter read today.
            if (plan.signing.force) RemoveFile(plan.folder + "/" + pages[i]);
        }
        entry.loop = LoopVerdict(loops[i], check, HasPage(check) ? &report : nullptr, &entry.loopFailed);
        noReply = noReply || check.state == TagState::kNoReply;
        notOk = notOk || !entry.configurationOk || entry.loopFailed;
        summary += Format("%s %s; malha: %s; %s\n", PadRight(row.tag, 12).c_str(), entry.configuration.c_str(),
                          entry.loop.c_str(),
                          entry.page.empty() ? ("sem página: " + entry.noPage).c_str() : entry.page.c_str());
        index.rows.push_back(entry);
    }
    const std::string indexPath = plan.folder + "/" + kDossierIndexPage;
    if (!WritePage(indexPath, DossierIndexHtml(index))) return kExitFile;
    WriteOut(summary + Format("dossiê gravado em %s\n", indexPath.c_str()));
    if (plan.signing.instrument.calibrationOverdue)
        Complain("aviso: a calibração do instrumento de teste venceu em " + plan.signing.instrument.calibrationDue);
    // A tag not read leaves the plant unknown, which weighs more than a known failure.
    if (noReply) return kExitNoReply;
    return notOk ? kExitDiffers : kExitOk;
}
