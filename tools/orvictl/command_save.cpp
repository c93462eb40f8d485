// save FILE and save --all DIR: the configuration read from the transmitter, as a commented INI file.
#include <cerrno>
#include <cstdio>

#include "comm_settings.h"
#include "commands.h"
#include "config_snapshot.h"
#include "config_ini.h"
#include "exit_codes.h"
#include "file_text.h"
#include "line_session.h"
#include "live_diagnostic_texts.h"
#include "platform.h"
#include "register_map.h"
#include "text_output.h"

namespace {
struct SaveArguments {
    std::string path;  // the file, or the folder of --all
    bool all = false;
    bool withCalibration = false;
    std::string tag;
};

// The tag of the file about to be replaced: the measuring point stays named when the transmitter is
// saved again.
std::string TagOfExistingFile(const std::string& path) {
    FILE* file = OpenFile(path, "rb");
    if (!file) return "";
    std::string bytes;
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
    std::fclose(file);
    return TagOfConfigFile(bytes);
}

// A failed write never leaves half a file, nor the file as it was half replaced.
int WriteFileText(const std::string& path, const std::string& text) {
    std::string problem;
    if (ReplaceWholeFile(path, text, &problem)) return kExitOk;
    Complain(Format("não foi possível gravar o arquivo %s: %s", path.c_str(), problem.c_str()));
    return kExitFile;
}

// The transmitter on the open line, read (with its trims when asked) and saved to path; an exit code.
int SaveOpenTransmitter(LineSession& session, const std::string& path, const SaveArguments& parsed) {
    uint16_t words[kConfigBlockWords] = {};
    int code = session.ReadConfiguration(words);
    CalibrationValues trims = {};
    for (int i = 0; code == kExitOk && parsed.withCalibration && i < kCalibrationValueCount; ++i) {
        uint16_t word = 0;
        const LinkError result = ReadPrivate(session.line, kCalibrationSlots[i].address, &word);
        if (result != kLinkOk) {
            session.ComplainNoReply(FixedText(Format(kCalibrationSlots[i].readFailure, LinkErrorText(result))).c_str(),
                                    result);
            code = kExitNoReply;
        }
        trims.*kCalibrationSlots[i].field = static_cast<int16_t>(word);
    }
    if (Interrupted()) {
        Complain("interrompido: nenhum arquivo foi gravado");
        return kExitInterrupted;
    }
    if (code != kExitOk) return code;
    const ConfigSnapshot config = session.TakeRead(words);

    const std::string origin = ConfigSourceText(session.Description(), config, LocalTimeOf(std::time(nullptr)));
    const std::string tag = parsed.tag.empty() ? TagOfExistingFile(path) : parsed.tag;
    return WriteFileText(path, FormatConfigIni(config, origin, tag, parsed.withCalibration ? &trims : nullptr));
}

int ParseSaveArguments(const Arguments& arguments, SaveArguments* parsed) {
    bool named = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--with-calibration") {
            parsed->withCalibration = true;
        } else if (argument == "--all" || argument == "--tag") {
            if (i + 1 >= arguments.size() || arguments[i + 1].empty())
                return UsageError("save",
                                  argument == "--all" ? "--all precisa de uma pasta" : "--tag precisa de um nome");
            if (argument == "--all")
                parsed->all = true, parsed->path = arguments[++i], named = true;
            else
                parsed->tag = arguments[++i];  // UTF-8 as given: every character kept
        } else if (argument.size() > 1 && argument[0] == '-') {
            return UsageError("save", UnexpectedArgumentText(argument));
        } else if (!named) {
            parsed->path = argument, named = true;
        } else {
            return UsageError("save", "esperado só o nome do arquivo");
        }
    }
    if (!named) return UsageError("save", "falta o nome do arquivo");
    if (parsed->all && !parsed->tag.empty())
        return UsageError("save", "--tag nomeia um transmissor só, não vale com --all");
    if (parsed->tag.find_first_of("\r\n") != std::string::npos) return UsageError("save", "--tag numa linha só");
    return kExitOk;
}

// Every address of the line at the current rate, the normal read of the identity register at each;
// each transmitter found saved as DIR/orvi-AAA-SERIE.ini, one line each.
int SaveAll(LineSession& session, const GlobalOptions& options, const SaveArguments& parsed) {
    if (!IsFolder(parsed.path)) {
        Complain(Format("--all %s: não é uma pasta", parsed.path.c_str()));
        return kExitFile;
    }
    int code = session.Open(ResolveLineTarget(options));
    if (code != kExitOk) return code;
    int found = 0, worst = kExitOk;
    for (int address = 1; address <= 247 && !Interrupted(); ++address) {
        session.Settings().deviceAddress = static_cast<uint8_t>(address);
        uint16_t identity = 0;
        if (ReadHolding(session.line, 8, &identity) != kLinkOk) continue;
        uint16_t serial[2] = {};
        if (ReadHolding(session.line, kRegSerialFirst, &serial[0]) != kLinkOk ||
            ReadHolding(session.line, kRegSerialSecond, &serial[1]) != kLinkOk)
            continue;
        ++found;
        const std::string serialText =
            SerialNumberText(SerialNumberFromWords(static_cast<int16_t>(serial[0]), static_cast<int16_t>(serial[1])));
        const std::string path = Format("%s/orvi-%03d-%s.ini", parsed.path.c_str(), address, serialText.c_str());
        const int saved = SaveOpenTransmitter(session, path, parsed);
        if (saved == kExitOk)
            WriteOut(Format("endereço %d: %s -> %s\n", address, serialText.c_str(), path.c_str()));
        else
            WriteOut(Format("endereço %d: %s não gravado (código %d)\n", address, serialText.c_str(), saved));
        if (worst == kExitOk) worst = saved;
    }
    session.Close();
    if (Interrupted()) {
        Complain(Format("interrompido: %d transmissor(es) gravado(s) até aqui", found));
        return kExitInterrupted;
    }
    if (found == 0) {
        Complain("nenhum transmissor respondeu nesta taxa");
        return kExitNoReply;
    }
    return worst;
}
}  // namespace

int RunSave(LineSession& session, const GlobalOptions& options, const Arguments& arguments) {
    SaveArguments parsed;
    int code = ParseSaveArguments(arguments, &parsed);
    if (code != kExitOk) return code;
    if (parsed.all) return SaveAll(session, options, parsed);
    const std::string shown = parsed.path;
    // A folder is refused before the transmitter is asked anything.
    if (IsFolder(parsed.path)) {
        Complain(Format("não foi possível gravar o arquivo %s: %s", shown.c_str(), FileErrorText(EISDIR).c_str()));
        return kExitFile;
    }
    code = session.Open(ResolveLineTarget(options));
    if (code != kExitOk) return code;
    code = SaveOpenTransmitter(session, parsed.path, parsed);
    session.Close();
    if (code == kExitOk) WriteErr(Format("configuração gravada em %s\n", shown.c_str()));
    return code;
}
