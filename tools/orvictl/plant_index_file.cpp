// Reading the instrument index and the configuration files its rows name.
#include "plant_index_file.h"

#include <map>

#include "config_file_read.h"
#include "exit_codes.h"
#include "text_output.h"

int ReadIndexFile(const std::string& path, InstrumentIndex* index) {
    std::string bytes;
    if (!ReadFileBytes(path, &bytes)) return kExitFile;
    std::vector<std::string> problems;
    if (ParseInstrumentIndex(bytes, index, &problems)) return kExitOk;
    for (const std::string& problem : problems) Complain(path + ", " + problem);
    return kExitUsage;
}

int ReadPlantIndex(const std::string& path, const std::string& line, std::vector<PlantRow>* rows) {
    rows->clear();
    InstrumentIndex index;
    const int read = ReadIndexFile(path, &index);
    if (read != kExitOk) return read;
    // The worst problem of the files decides the code; each file is said once.
    std::map<std::string, std::vector<RequestedValue>> files;
    int code = kExitOk;
    for (const IndexRow& row : index.rows) {
        if (!line.empty() && row.line != line) continue;
        const std::string file = PathBesideIndex(path, row.configuration);
        auto known = files.find(file);
        if (known == files.end()) {
            std::vector<RequestedValue> requests;
            const int read = ReadCommissioningFile(file, &requests);
            if (read != kExitOk && (code == kExitOk || read == kExitFile)) code = read;
            known = files.emplace(file, requests).first;
        }
        rows->push_back({row, known->second});
    }
    return code;
}

LineTarget RowTarget(const IndexRow& row, const GlobalOptions& options) {
    LineTarget target;
    target.port = row.line;
    target.baud = row.baud;
    target.address = static_cast<uint8_t>(row.address);
    target.timeoutMs = options.timeoutMs;
    return target;
}
