// load FILE, diff FILE and set KEY=VALUE...: requested values checked, then compared or written in the page's order.
#include "commands.h"
#include "config_change.h"
#include "config_file_read.h"
#include "config_file_set.h"
#include "config_ini.h"
#include "exit_codes.h"
#include "file_text.h"
#include "platform.h"
#include "line_session.h"
#include "text_output.h"
#include "write_journal.h"

namespace {
int ReportProblems(const std::vector<std::string>& problems) {
    for (const std::string& problem : problems) Complain(problem);
    Complain("nada foi escrito.");
    return kExitUsage;
}

// Every problem of the input's form is found before the port is opened, so a bad file touches
// nothing; whether a value is one the page offers is judged against the transmitter's own.
int WriteRequests(LineSession& session, const GlobalOptions& options, const std::vector<RequestedValue>& requests,
                  ChangeMode mode, const FileExtras* trims = nullptr, int* written = nullptr,
                  const FileExtras* madeFor = nullptr) {
    int code = session.Open(ResolveLineTarget(options));
    if (code != kExitOk) return code;
    code = ApplyConfiguration(session, requests, mode, trims, written, madeFor);
    session.Close();
    return code;
}

// One line per transmitter, every transmitter tried: a failure at one does not leave the rest
// unconfigured. Each transmitter's writes carry its own measuring point (tags, in the order of the
// addresses). The worst exit code of them all.
int WriteEach(LineSession& session, const GlobalOptions& options, const std::vector<int>& addresses,
              const std::vector<std::string>& tags, const std::vector<RequestedValue>& requests,
              const FileExtras* trims, const FileExtras* madeFor) {
    int worst = kExitOk;
    for (size_t i = 0; i < addresses.size(); ++i) {
        const int address = addresses[i];
        if (Interrupted()) {
            Complain("interrompido: os endereços seguintes não foram tocados.");
            return kExitInterrupted;
        }
        GlobalOptions one = options;
        one.address = address;
        JournalSetTag(tags[i]);
        int written = 0;
        const int code = WriteRequests(session, one, requests, ChangeMode::Write, trims, &written, madeFor);
        if (code == kExitOk)
            WriteOut(Format("endereço %d: ok, %d parâmetro(s) escritos\n", address, written));
        else
            WriteOut(Format("endereço %d: falhou (código %d; veja a mensagem acima)\n", address, code));
        if (code == kExitInterrupted) return code;
        if (worst == kExitOk) worst = code;
    }
    return worst;
}
}  // namespace

namespace {
struct FileRequest {
    std::vector<RequestedValue> requests;
    FileExtras extras;
};

// The file read and checked before the port is opened; an exit code.
int ReadConfigFile(const std::string& path, FileRequest* file) {
    std::string bytes;
    if (!ReadFileBytes(path, &bytes)) return kExitFile;
    std::string text;
    std::string problem;
    if (!DecodeFileText(bytes, &text, &problem)) {
        Complain(Format("%s: %s", path.c_str(), problem.c_str()));
        Complain("nada foi escrito.");
        return kExitUsage;
    }
    std::vector<std::string> problems;
    if (!ParseConfigIni(text, &file->requests, &problems, &file->extras)) {
        for (std::string& each : problems) each = path + ", " + each;
        return ReportProblems(problems);
    }
    return kExitOk;
}

// load and diff take the same arguments: FILE, --with-calibration, and (load) --dry-run, --addresses
// and --tags.
struct LoadArguments {
    std::string path;
    bool named = false;
    bool dryRun = false;
    bool withCalibration = false;
    std::vector<int> addresses;
    std::string tagList;  // --tags as given, matched to the addresses once both are known
    bool tagsGiven = false;
    std::vector<std::string> tags;  // UTF-8 as given, one per address
};

int ParseLoadArguments(const char* command, const Arguments& arguments, bool writes, LoadArguments* parsed) {
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--with-calibration") {
            parsed->withCalibration = true;
        } else if (writes && argument == "--dry-run") {
            parsed->dryRun = true;
        } else if (writes && argument == "--addresses") {
            if (i + 1 >= arguments.size() || !ParseAddressList(arguments[i + 1], &parsed->addresses))
                return UsageError(command,
                                  "--addresses precisa de uma lista de endereços, por exemplo 1,7,12 ou 10-12");
            ++i;
        } else if (writes && argument == "--tags") {
            if (i + 1 >= arguments.size()) return UsageError(command, "--tags precisa de uma lista de nomes");
            parsed->tagList = arguments[++i];  // UTF-8 as given: every character kept
            parsed->tagsGiven = true;
        } else if (argument.size() > 1 && argument[0] == '-') {
            return UsageError(command, UnexpectedArgumentText(argument));
        } else if (!parsed->named) {
            parsed->path = argument, parsed->named = true;
        } else {
            return UsageError(command, "esperado só um arquivo");
        }
    }
    if (!parsed->named) return UsageError(command, "falta o nome do arquivo");
    if (parsed->dryRun && !parsed->addresses.empty())
        return UsageError(command, "--dry-run vale para um transmissor só");
    if (parsed->tagsGiven && parsed->addresses.empty()) return UsageError(command, "--tags vale só com --addresses");
    if (parsed->tagsGiven && !ParseTagList(parsed->tagList, parsed->addresses.size(), &parsed->tags))
        return UsageError(command,
                          Format("--tags dá %d nome(s) para %d endereço(s)", static_cast<int>(parsed->tags.size()),
                                 static_cast<int>(parsed->addresses.size())));
    return kExitOk;
}

// The trims a file carries are one transmitter's: taken only when asked for, otherwise named and left.
const FileExtras* TrimsToRestore(const LoadArguments& parsed, const FileExtras& extras) {
    if (parsed.withCalibration) return &extras;
    if (HasAnyTrim(extras))
        Complain("aviso: a calibração da saída no arquivo não é considerada sem --with-calibration");
    return nullptr;
}
// One tag names one measuring point: the file's goes to a single address, never to several.
std::vector<std::string> TagsOfAddresses(const LoadArguments& parsed, const std::string& fileTag) {
    if (parsed.tagsGiven) return parsed.tags;
    const size_t count = parsed.addresses.size();
    if (count > 1 && !fileTag.empty())
        Complain(
            Format("aviso: o tag %s do arquivo nomeia um ponto de medição só; nenhum dos %d transmissores o "
                   "recebe (dê --tags com um nome por endereço)",
                   fileTag.c_str(), static_cast<int>(count)));
    return std::vector<std::string>(count, count == 1 ? fileTag : "");
}
}  // namespace

int RunLoad(LineSession& session, const GlobalOptions& options, const Arguments& arguments) {
    LoadArguments parsed;
    int code = ParseLoadArguments("load", arguments, true, &parsed);
    if (code != kExitOk) return code;
    FileRequest file;
    code = ReadConfigFile(parsed.path, &file);
    if (code != kExitOk) return code;
    const FileExtras* trims = TrimsToRestore(parsed, file.extras);
    if (!parsed.addresses.empty())
        return WriteEach(session, options, parsed.addresses, TagsOfAddresses(parsed, file.extras.tag), file.requests,
                         trims, &file.extras);
    JournalSetTag(file.extras.tag);  // the measuring point the file names goes with every write
    return WriteRequests(session, options, file.requests, parsed.dryRun ? ChangeMode::DryRun : ChangeMode::Write, trims,
                         nullptr, &file.extras);
}

int RunDiff(LineSession& session, const GlobalOptions& options, const Arguments& arguments) {
    LoadArguments parsed;
    int code = ParseLoadArguments("diff", arguments, false, &parsed);
    if (code != kExitOk) return code;
    FileRequest file;
    code = ReadConfigFile(parsed.path, &file);
    // A file that cannot be read or parsed is trouble, not a difference: never exit 1 for it.
    if (code != kExitOk) return code;
    return WriteRequests(session, options, file.requests, ChangeMode::Compare, TrimsToRestore(parsed, file.extras));
}

int RunSet(LineSession& session, const GlobalOptions& options, const Arguments& arguments) {
    bool dryRun = false;
    std::string file;
    Arguments assignments;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--dry-run")
            dryRun = true;
        else if (argument == "--file" && i + 1 < arguments.size())
            file = arguments[++i];
        else if (argument.rfind("--", 0) == 0)
            return UsageError("set", UnexpectedArgumentText(argument));
        else
            assignments.push_back(argument);
    }
    std::vector<RequestedValue> requests;
    std::vector<std::string> problems;
    if (!ParseAssignments(assignments, &requests, &problems)) return ReportProblems(problems);
    if (!file.empty()) return SetInFile(file, requests, dryRun);
    return WriteRequests(session, options, requests, dryRun ? ChangeMode::DryRun : ChangeMode::Write);
}
