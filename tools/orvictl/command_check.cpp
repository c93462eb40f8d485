// check FILE...: configuration files judged with the page's rules, without a transmitter.
#include "commands.h"
#include "config_file_check.h"
#include "config_file_read.h"
#include "exit_codes.h"
#include "file_text.h"
#include "text_output.h"

int RunCheck(LineSession&, const GlobalOptions&, const Arguments& arguments) {
    std::vector<std::string> paths;
    for (const std::string& argument : arguments) {
        if (argument.size() > 1 && argument[0] == '-') return UsageError("check", UnexpectedArgumentText(argument));
        paths.push_back(argument);
    }
    if (paths.empty()) return UsageError("check", "falta o nome do arquivo");
    int unsound = 0;
    for (const std::string& path : paths) {
        std::string bytes;
        // A file that cannot be read is said by the reader, and counts as one that is not sound.
        if (!ReadFileBytes(path, &bytes)) {
            ++unsound;
            continue;
        }
        const std::vector<FileProblem> problems = CheckConfigFileBytes(bytes);
        for (const FileProblem& problem : problems) WriteOut(FileProblemText(path, problem) + "\n");
        if (!problems.empty()) ++unsound;
    }
    if (unsound == 0) {
        WriteErr(Format("%d arquivo(s) sem problemas\n", static_cast<int>(paths.size())));
        return kExitOk;
    }
    Complain(Format("%d de %d arquivo(s) com problemas", unsound, static_cast<int>(paths.size())));
    return kExitCheck;
}
