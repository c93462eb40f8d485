// Reading and checking a configuration file before commissioning touches a transmitter.
#include "config_file_read.h"

#include <cerrno>
#include <cstdio>

#include "config_ini.h"
#include "exit_codes.h"
#include "file_text.h"
#include "platform.h"
#include "text_output.h"

bool ReadFileBytes(const std::string& path, std::string* bytes, std::string* problem) {
    bytes->clear();
    int error = IsFolder(path) ? EISDIR : 0;
    FILE* file = error ? nullptr : OpenFile(path, "rb");
    if (!file && !error) error = errno;
    if (file) {
        char buffer[4096];
        size_t got = 0;
        errno = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes->append(buffer, got);
        if (std::ferror(file)) error = errno ? errno : EIO;
        std::fclose(file);
    }
    if (error == 0) return true;
    *problem = Format("não foi possível ler o arquivo %s: %s", path.c_str(), FileErrorText(error).c_str());
    return false;
}

bool ReadFileBytes(const std::string& path, std::string* bytes) {
    std::string problem;
    if (ReadFileBytes(path, bytes, &problem)) return true;
    Complain(problem);
    return false;
}

int ReadCommissioningFile(const std::string& path, std::vector<RequestedValue>* requests) {
    requests->clear();
    std::string bytes;
    if (!ReadFileBytes(path, &bytes)) return kExitFile;
    std::string text, problem;
    std::vector<std::string> problems;
    if (!DecodeFileText(bytes, &text, &problem))
        problems.push_back(problem);
    else
        ParseConfigIni(text, requests, &problems);
    for (const std::string& each : problems) Complain(path + ", " + each);
    if (!problems.empty()) return kExitUsage;
    if (CheckRequestsAlone(*requests, &problem) != ChangeCheck::Accepted) {
        Complain(Format("%s: %s", path.c_str(), problem.c_str()));
        return kExitCheck;
    }
    return kExitOk;
}
