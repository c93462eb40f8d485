// plant check --offline INDEX: every configuration file the index names judged at the desk, no line touched.
#include <map>

#include "config_file_check.h"
#include "config_file_read.h"
#include "exit_codes.h"
#include "instrument_index.h"
#include "json_layout.h"
#include "monitor_csv.h"
#include "plant.h"
#include "text_output.h"

namespace {
struct FileVerdict {
    std::vector<std::string> problems;  // "tt101.ini:12: ..."
};

// The file judged as check judges it; a file that cannot be read is its own problem.
FileVerdict JudgeFile(const std::string& path) {
    FileVerdict verdict;
    std::string bytes, unread;
    if (!ReadFileBytes(path, &bytes, &unread)) {
        verdict.problems.push_back(unread);
        return verdict;
    }
    for (const FileProblem& problem : CheckConfigFileBytes(bytes))
        verdict.problems.push_back(FileProblemText(path, problem));
    return verdict;
}

std::string PieceText(PlantOutput output, size_t index, const IndexRow& row, const FileVerdict& verdict) {
    const char* state = verdict.problems.empty() ? "ok" : "problemas";
    if (output == PlantOutput::kJson)
        return (index == 0 ? "\n  " : ",\n  ") + JsonOnOneLine({{"tag", row.tag},
                                                                {"estado", state},
                                                                {"configuracao", row.configuration},
                                                                {"problemas", verdict.problems}});
    std::string problems;
    for (const std::string& problem : verdict.problems) problems += (problems.empty() ? "" : "; ") + problem;
    if (output == PlantOutput::kCsv)
        return Format("%s,%s,%s,%s\n", CsvField(row.tag).c_str(), state, CsvField(row.configuration).c_str(),
                      CsvField(problems).c_str());
    if (verdict.problems.empty())
        return Format("%s arquivo sem problemas (%s)\n", PadRight(row.tag, 12).c_str(), row.configuration.c_str());
    std::string text = Format("%s %d problema(s) no arquivo (%s)\n", PadRight(row.tag, 12).c_str(),
                              static_cast<int>(verdict.problems.size()), row.configuration.c_str());
    for (const std::string& problem : verdict.problems) text += "    " + problem + "\n";
    return text;
}
}  // namespace

int CheckPlantFiles(const std::string& indexPath, PlantOutput output) {
    InstrumentIndex index;
    const int read = ReadIndexFile(indexPath, &index);
    if (read != kExitOk) return read;
    if (output == PlantOutput::kJson) WriteOut("[");
    if (output == PlantOutput::kCsv) WriteOut("tag,estado,configuracao,problemas\n");
    std::map<std::string, FileVerdict> files;  // each file judged once, however many rows name it
    int unsound = 0;
    for (size_t i = 0; i < index.rows.size(); ++i) {
        const IndexRow& row = index.rows[i];
        const std::string path = PathBesideIndex(indexPath, row.configuration);
        auto known = files.find(path);
        if (known == files.end()) known = files.emplace(path, JudgeFile(path)).first;
        if (!known->second.problems.empty()) ++unsound;
        WriteOut(PieceText(output, i, row, known->second));
    }
    if (output == PlantOutput::kJson) WriteOut(index.rows.empty() ? "]\n" : "\n]\n");
    WriteErr(Format("%d tag(s): %d com o arquivo sem problemas, %d com problemas (nenhuma linha tocada)\n",
                    static_cast<int>(index.rows.size()), static_cast<int>(index.rows.size()) - unsound, unsound));
    return unsound == 0 ? kExitOk : kExitCheck;
}
