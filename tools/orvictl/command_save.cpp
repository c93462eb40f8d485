// save FILE: the configuration read from the transmitter, as a commented INI file.
#include <cstdio>

#include "commands.h"
#include "config_snapshot.h"
#include "config_ini.h"
#include "exit_codes.h"
#include "line_session.h"
#include "live_diagnostic_texts.h"
#include "platform.h"
#include "text_output.h"

int RunSave(const GlobalOptions& options, const Arguments& arguments) {
    if (arguments.size() != 1 || arguments[0].rfind("--", 0) == 0)
        return UsageError("save", arguments.empty() ? "falta o nome do arquivo" : "esperado só o nome do arquivo");
    const std::string& path = arguments[0];
    int code = OpenLine(ResolveLineTarget(options));
    if (code != kExitOk) return code;
    uint16_t words[kConfigBlockWords] = {};
    code = ReadConfiguration(words);
    const std::string source = LineDescription();
    CloseLine();
    if (code != kExitOk) return code;
    DecodeConfigBlock(words);

    const std::tm now = LocalTimeOf(std::time(nullptr));
    char when[32];
    std::strftime(when, sizeof when, "%Y-%m-%d %H:%M", &now);
    const std::string origin = Format("%s; número de série %s, firmware %s; lida em %s", source.c_str(),
                                      SerialNumberText(configSnapshot.serialNumber).c_str(),
                                      FirmwareText(configSnapshot.firmwareVersion).c_str(), when);
    const std::string text = Cp1252ToUtf8(FormatConfigIni(configSnapshot, origin));
    // Written beside the target and renamed over it, so a failed write never leaves half a file.
    const std::string temporary = path + ".tmp";
    FILE* file = std::fopen(temporary.c_str(), "wb");
    bool ok = file && std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (file) ok = (std::fclose(file) == 0) && ok;
    if (ok) {
        std::remove(path.c_str());  // Windows does not rename over an existing file
        ok = std::rename(temporary.c_str(), path.c_str()) == 0;
    }
    if (!ok) {
        std::remove(temporary.c_str());
        Complain(Format("não foi possível gravar o arquivo %s", ArgumentText(path.c_str()).c_str()));
        return kExitFile;
    }
    WriteErr(Format("configuração gravada em %s\n", ArgumentText(path.c_str()).c_str()));
    return kExitOk;
}
