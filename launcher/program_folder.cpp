// Finding and starting the suite's programs beside Configurador.exe, whatever the working folder.
#include "program_folder.h"

#include "own_folder.h"
#include "ui_text.h"

bool ProgramFileExists(const char* fileName) {
    const std::wstring folder = ProgramFolder();
    if (folder.empty()) return false;
    const DWORD attributes = GetFileAttributesW((folder + WideFrom1252(fileName)).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool StartProgram(const char* commandLine) {
    const std::wstring folder = ProgramFolder();
    if (folder.empty()) return false;
    const std::wstring line = WideFrom1252(commandLine);
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
