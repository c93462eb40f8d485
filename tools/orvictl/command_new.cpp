// new --entrada N [KEY=VALUE...] FILE: a configuration file made at the desk from the factory configuration.
#include <ctime>

#include "commands.h"
#include "config_file_check.h"
#include "config_ini.h"
#include "exit_codes.h"
#include "file_replace.h"
#include "factory_configuration.h"
#include "firmware_differences.h"
#include "input_types.h"
#include "parameter_keys.h"
#include "platform.h"
#include "text_convert.h"
#include "text_output.h"

namespace {
struct NewArguments {
    long inputType = -1;
    std::string path;
    std::string tag;
    bool force = false;
    std::vector<std::string> assignments;
};

int ParseNewArguments(const Arguments& arguments, NewArguments* parsed) {
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--entrada") {
            if (i + 1 >= arguments.size() ||
                !ParseWholeNumber(arguments[i + 1], 0, kInputTypeCount - 1, &parsed->inputType))
                return UsageError("new", "--entrada precisa de um tipo de entrada de 0 a 18");
            ++i;
        } else if (argument == "--tag") {
            if (i + 1 >= arguments.size()) return UsageError("new", "--tag precisa de um nome");
            parsed->tag = arguments[++i];  // UTF-8 as given
            for (unsigned char c : parsed->tag)
                if (c < 0x20) return UsageError("new", "--tag com caractere de controle");
        } else if (argument == "--force") {
            parsed->force = true;
        } else if (argument.size() > 1 && argument[0] == '-') {
            return UsageError("new", UnexpectedArgumentText(argument));
        } else if (argument.find('=') != std::string::npos) {
            parsed->assignments.push_back(argument);
        } else if (parsed->path.empty()) {
            parsed->path = argument;
        } else {
            return UsageError("new", "esperado só um arquivo");
        }
    }
    if (parsed->inputType < 0) return UsageError("new", "falta --entrada N");
    if (parsed->path.empty()) return UsageError("new", "falta o nome do arquivo");
    return kExitOk;
}
}  // namespace

int RunNew(LineSession&, const GlobalOptions&, const Arguments& arguments) {
    NewArguments parsed;
    int code = ParseNewArguments(arguments, &parsed);
    if (code != kExitOk) return code;
    std::vector<RequestedValue> requests;
    std::vector<std::string> messages;
    if (!parsed.assignments.empty() && !ParseAssignments(parsed.assignments, &requests, &messages)) {
        for (const std::string& message : messages) Complain(message);
        Complain("nada foi escrito; nenhum arquivo foi criado.");
        return kExitUsage;
    }
    const ConfigSnapshot factory = FactoryConfiguration(static_cast<int>(parsed.inputType));
    // The changes follow the page's rules from the factory values: a new unit converts the limits.
    const ConfigSnapshot values = ApplyRequests(factory, requests);
    code = CheckWholeConfiguration(factory, values, requests, &messages);
    if (code != kExitOk) {
        for (const std::string& message : messages) Complain(message);
        Complain("nada foi escrito; nenhum arquivo foi criado.");
        return code;
    }
    if (!MayReplaceFile(parsed.path, parsed.force,
                        Format("o arquivo %s já existe: --force o substitui", parsed.path.c_str())))
        return kExitFile;

    char when[32];
    const std::tm now = LocalTimeOf(std::time(nullptr));
    std::strftime(when, sizeof when, "%Y-%m-%d %H:%M", &now);
    FileExtras extras;
    extras.source = Format("configuração de fábrica da entrada %d (%s), feita por orvictl new em %s",
                           static_cast<int>(parsed.inputType), InputTypeText(factory.inputType, 0).c_str(), when);
    extras.tag = parsed.tag;
    extras.firmwareVersion = factory.firmwareVersion;
    extras.mapVersion = kRegisterMapVersion;
    std::string problem;
    if (!ReplaceWholeFile(parsed.path, FormatConfigFile(values, extras), &problem)) {
        Complain(Format("não foi possível gravar o arquivo %s: %s", parsed.path.c_str(), problem.c_str()));
        return kExitFile;
    }
    WriteOut(Format("gravado: %s (%s)\n", parsed.path.c_str(), InputTypeText(values.inputType, values.unit).c_str()));
    return kExitOk;
}
