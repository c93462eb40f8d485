// save FILE and save --all DIR: the configuration read from the transmitter, as a commented INI file.
#include "comm_settings.h"
#include "commands.h"
#include "config_file_read.h"
#include "config_ini.h"
#include "config_snapshot.h"
#include "exit_codes.h"
#include "file_text.h"
#include "line_session.h"
#include "line_sweep.h"
#include "live_diagnostic_texts.h"
#include "platform.h"
#include "probe.h"
#include "register_map.h"
#include "text_output.h"

namespace {
struct SaveArguments {
    std::string path;  // the file, or the folder of --all
    bool all = false;
    bool withCalibration = false;
    std::string tag;
    long answerMs = kSweepAnswerMs;  // --all: how long an address has to begin its answer
    bool answerGiven = false;
};

// The tag of the file about to be replaced: the measuring point stays named when the transmitter is
// saved again.
std::string TagOfExistingFile(const std::string& path) {
    std::string bytes, problem;
    // No file there is no tag to keep, not a problem to say; what could be read still names one.
    ReadFileBytes(path, &bytes, &problem);
    return TagOfConfigFile(bytes);
}

// A failed write never leaves half a file, nor the file as it was half replaced.
int WriteFileText(const std::string& path, const std::string& text) {
    std::string problem;
    if (ReplaceWholeFile(path, text, &problem)) return kExitOk;
    Complain(Format("não foi possível gravar o arquivo %s: %s", path.c_str(), problem.c_str()));
    return kExitFile;
}

// The transmitter whose configuration block was just read into words, with its trims read when asked,
// saved to path; an exit code.
int SaveRead(LineSession& session, const uint16_t* words, const std::string& path, const SaveArguments& parsed) {
    int code = kExitOk;
    CalibrationValues trims = {};
    for (int i = 0; parsed.withCalibration && i < kCalibrationValueCount && code == kExitOk && !Interrupted(); ++i) {
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

// The transmitter on the open line, read (with its trims when asked) and saved to path; an exit code.
int SaveOpenTransmitter(LineSession& session, const std::string& path, const SaveArguments& parsed) {
    uint16_t words[kConfigBlockWords] = {};
    const int code = session.ReadConfiguration(words);
    if (code != kExitOk && !Interrupted()) return code;
    return SaveRead(session, words, path, parsed);
}

int ParseSaveArguments(const Arguments& arguments, SaveArguments* parsed) {
    bool named = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--with-calibration") {
            parsed->withCalibration = true;
        } else if (argument == "--answer-ms") {
            if (i + 1 >= arguments.size() || !ParseWholeNumber(arguments[i + 1], 1, 5000, &parsed->answerMs))
                return UsageError("save", "--answer-ms espera milissegundos, de 1 a 5000");
            parsed->answerGiven = true, ++i;
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
    if (parsed->answerGiven && !parsed->all) return UsageError("save", "--answer-ms vale só com --all");
    return kExitOk;
}

// Every address of the line at the current rate asked the sweep's short question, as scan asks it; each
// address that answers is read the normal way and saved as DIR/orvi-AAA-SERIE.ini, one line each.
int SaveAll(LineSession& session, const GlobalOptions& options, const SaveArguments& parsed) {
    if (!IsFolder(parsed.path)) {
        Complain(Format("--all %s: não é uma pasta", parsed.path.c_str()));
        return kExitFile;
    }
    int code = session.Open(ResolveLineTarget(options));
    if (code != kExitOk) return code;
    int found = 0, unconfirmed = 0, worst = kExitOk;
    for (int address = 1; address <= 247 && !Interrupted(); ++address) {
        session.Settings().deviceAddress = static_cast<uint8_t>(address);
        const ProbeResult probe =
            ProbeRead(session.line, kSweepRegister, nullptr, static_cast<uint32_t>(parsed.answerMs));
        // Every further address would fail at once: the sweep ends, and says why when the line closes.
        if (session.Network().LineLost()) {
            worst = kExitNoReply;
            break;
        }
        if (!probe.heard) continue;
        uint16_t words[kConfigBlockWords] = {};
        const LinkError read = ReadConfigBlock(session.line, words);
        if (read != kLinkOk) {
            if (Interrupted()) break;
            if (!CollidingReplies(read)) {
                ++unconfirmed;
                continue;
            }
            WriteOut(Format("endereço %d: provável endereço duplicado (respostas que colidem, %s): não gravado\n",
                            address, FixedText(LinkErrorText(read)).c_str()));
            if (worst == kExitOk) worst = kExitNoReply;
            continue;
        }
        ++found;
        const std::string serialText = SerialNumberText(DecodeConfiguration(words).serialNumber);
        const std::string path = Format("%s/orvi-%03d-%s.ini", parsed.path.c_str(), address, serialText.c_str());
        const int saved = SaveRead(session, words, path, parsed);
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
    if (unconfirmed) Complain(UnconfirmedSweepText(unconfirmed));
    if (found == 0 && worst == kExitOk) {
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
