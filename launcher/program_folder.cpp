// Finding and starting the suite's programs beside Configurador.exe, whatever the working folder.
#include "program_folder.h"

#include <vector>

namespace {
std::wstring Widen(const char* text) {
    const int length = MultiByteToWideChar(1252, 0, text, -1, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(1252, 0, text, -1, &wide[0], length);
    wide.resize(static_cast<size_t>(length - 1));
    return wide;
}
}  // namespace

std::wstring ProgramFolder() {
    // Long paths: MAX_PATH is no limit of the file system, only of old calls.
    std::vector<wchar_t> path(32768);
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size()) return std::wstring();
    std::wstring folder(path.data(), length);
    const size_t slash = folder.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash + 1);
}

bool ProgramFileExists(const char* fileName) {
    const std::wstring folder = ProgramFolder();
    if (folder.empty()) return false;
    const DWORD attributes = GetFileAttributesW((folder + Widen(fileName)).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool StartProgram(const char* commandLine) {
    const std::wstring folder = ProgramFolder();
    if (folder.empty()) return false;
    const std::wstring line = Widen(commandLine);
    const size_t space = line.find(L' ');
    const std::wstring program = folder + line.substr(0, space);
    const std::wstring arguments = space == std::wstring::npos ? std::wstring() : line.substr(space);
    // The program's own path in quotes first, as the started program expects in its command line.
    std::wstring command = L"\"" + program + L"\"" + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(program.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                        &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}
