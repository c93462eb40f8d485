// save FILE: the configuration read from the transmitter, as a commented INI file.
#include <cerrno>
#include <cstdio>

#include "commands.h"
#include "config_snapshot.h"
#include "config_ini.h"
#include "exit_codes.h"
#include "file_text.h"
#include "line_session.h"
#include "live_diagnostic_texts.h"
#include "platform.h"
#include "text_output.h"

int RunSave(const GlobalOptions& options, const Arguments& arguments) {
    if (arguments.size() == 1 && arguments[0].size() > 1 && arguments[0][0] == '-')
        return UsageError("save", UnexpectedArgumentText(arguments[0]));
    if (arguments.size() != 1)
        return UsageError("save", arguments.empty() ? "falta o nome do arquivo" : "esperado só o nome do arquivo");
    const std::string& path = arguments[0];
    const std::string shown = ArgumentText(path.c_str());
    // A folder is refused before the transmitter is asked anything.
    if (IsFolder(path)) {
        Complain(Format("não foi possível gravar o arquivo %s: %s", shown.c_str(), FileErrorText(EISDIR).c_str()));
        return kExitFile;
    }
    int code = OpenLine(ResolveLineTarget(options));
    if (code != kExitOk) return code;
    uint16_t words[kConfigBlockWords] = {};
    code = ReadConfiguration(words);
    const std::string source = LineDescription();
    CloseLine();
    if (Interrupted()) {
        Complain("interrompido: nenhum arquivo foi gravado");
        return kExitInterrupted;
    }
    if (code != kExitOk) return code;
    DecodeConfigBlock(words);

    const std::tm now = LocalTimeOf(std::time(nullptr));
    char when[32];
    std::strftime(when, sizeof when, "%Y-%m-%d %H:%M", &now);
    const std::string origin = Format("%s; número de série %s, firmware %s; lida em %s", source.c_str(),
                                      SerialNumberText(configSnapshot.serialNumber).c_str(),
                                      FirmwareText(configSnapshot.firmwareVersion).c_str(), when);
    const std::string text = Cp1252ToUtf8(FormatConfigIni(configSnapshot, origin));
    // Written beside the target and moved over it, so a failed write never leaves half a file.
    const std::string temporary = path + ".tmp";
    int error = 0;
    FILE* file = OpenFile(temporary, "wb");
    if (!file) {
        error = errno;
    } else {
        errno = 0;
        if (std::fwrite(text.data(), 1, text.size(), file) != text.size()) error = errno ? errno : EIO;
        if (std::fclose(file) != 0 && error == 0) error = errno ? errno : EIO;
    }
    if (error == 0 && !MoveOver(temporary, path)) error = errno;
    if (error != 0) {
        RemoveFile(temporary);
        Complain(Format("não foi possível gravar o arquivo %s: %s", shown.c_str(), FileErrorText(error).c_str()));
        return kExitFile;
    }
    WriteErr(Format("configuração gravada em %s\n", shown.c_str()));
    return kExitOk;
}
