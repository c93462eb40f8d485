// set --file: a configuration file changed in place, checked as the page checks.
#include "config_file_set.h"

#include "config_file_check.h"
#include "config_file_read.h"
#include "config_ini.h"
#include "exit_codes.h"
#include "file_text.h"
#include "records_platform.h"
#include "text_output.h"

namespace {
int Unchanged(const std::vector<std::string>& messages, int code) {
    for (const std::string& message : messages) Complain(message);
    Complain("nada foi escrito no arquivo.");
    return code;
}

// The file's values; false after collecting why they are not a whole configuration.
bool ReadWholeFile(const std::string& path, const std::string& bytes, std::vector<RequestedValue>* values,
                   FileExtras* extras, std::vector<std::string>* messages) {
    std::string text, problem;
    if (!DecodeFileText(bytes, &text, &problem)) {
        messages->push_back(path + ": " + problem);
        return false;
    }
    std::vector<FileProblem> problems;
    if (!ParseConfigIniLines(text, values, &problems, extras)) {
        for (const FileProblem& each : problems) messages->push_back(FileProblemText(path, each));
        return false;
    }
    // A key left out is the transmitter's to say: no value here could stand for it.
    for (const ParameterKey& key : kParameterKeys) {
        bool given = false;
        for (const RequestedValue& value : *values) given = given || value.key == &key;
        if (!given)
            messages->push_back(
                Format("%s: falta a chave %s; set --file muda só um arquivo com todas as chaves, "
                       "como save e new o gravam",
                       path.c_str(), key.name));
    }
    return messages->empty();
}
}  // namespace

int SetInFile(const std::string& path, const std::vector<RequestedValue>& requests, bool dryRun) {
    std::string bytes;
    if (!ReadFileBytes(path, &bytes)) return kExitFile;
    std::vector<RequestedValue> values;
    FileExtras extras;
    std::vector<std::string> messages;
    if (!ReadWholeFile(path, bytes, &values, &extras, &messages)) return Unchanged(messages, kExitUsage);
    const ConfigSnapshot current = GivenConfiguration(values);
    const ConfigSnapshot target = ApplyRequests(current, requests);
    const int code = CheckWholeConfiguration(current, target, requests, &messages);
    if (code != kExitOk) return Unchanged(messages, code);

    std::string changes;
    for (const ParameterKey& key : kParameterKeys)
        if (key.get(current) != key.get(target))
            changes += Format("%s: %d -> %d\n", key.name, static_cast<int>(key.get(current)),
                              static_cast<int>(key.get(target)));
    if (changes.empty()) {
        WriteOut("Nada a mudar: o arquivo já tem estes valores.\n");
        return kExitOk;
    }
    if (dryRun) {
        WriteOut(changes + "(simulação: o arquivo não foi mudado)\n");
        return kExitOk;
    }
    std::string problem;
    if (!ReplaceWholeFile(path, FormatConfigFile(target, extras), &problem)) {
        Complain(Format("não foi possível gravar o arquivo %s: %s", path.c_str(), problem.c_str()));
        return kExitFile;
    }
    WriteOut(changes);
    return kExitOk;
}
