// Process start, wait, exit code and termination for the end-to-end driver.
#include "driver_process.h"

#include <tlhelp32.h>

#include <utility>

DriverProcess::~DriverProcess() { Terminate(); }

DriverProcess::DriverProcess(DriverProcess&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), id_(std::exchange(other.id_, 0)) {}

DriverProcess& DriverProcess::operator=(DriverProcess&& other) noexcept {
    if (this != &other) {
        Terminate();
        handle_ = std::exchange(other.handle_, nullptr);
        id_ = std::exchange(other.id_, 0);
    }
    return *this;
}

DriverProcess DriverProcess::Start(const std::string& commandLine, const std::string& directory) {
    DriverProcess process;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    std::string mutableLine = commandLine;
    if (CreateProcessA(nullptr, &mutableLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                       directory.empty() ? nullptr : directory.c_str(), &startup, &info)) {
        CloseHandle(info.hThread);
        process.handle_ = info.hProcess;
        process.id_ = info.dwProcessId;
    }
    return process;
}

DriverProcess DriverProcess::OfWindow(HWND window) {
    DriverProcess process;
    DWORD id = 0;
    if (window == nullptr || GetWindowThreadProcessId(window, &id) == 0) return process;
    process.handle_ = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, id);
    if (process.handle_ != nullptr) process.id_ = id;
    return process;
}

bool DriverProcess::Running() const { return handle_ != nullptr && WaitForSingleObject(handle_, 0) == WAIT_TIMEOUT; }

bool DriverProcess::WaitExit(DWORD timeoutMs) const {
    return handle_ != nullptr && WaitForSingleObject(handle_, timeoutMs) == WAIT_OBJECT_0;
}

DWORD DriverProcess::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (handle_ != nullptr) GetExitCodeProcess(handle_, &code);
    return code;
}

void DriverProcess::Terminate() {
    if (handle_ == nullptr) return;
    if (Running()) {
        TerminateProcess(handle_, 99);
        WaitForSingleObject(handle_, 5000);
    }
    CloseHandle(handle_);
    handle_ = nullptr;
    id_ = 0;
}

std::vector<DWORD> ChildProcesses(DWORD parentId) {
    std::vector<DWORD> children;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return children;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        if (entry.th32ParentProcessID == parentId) children.push_back(entry.th32ProcessID);
    CloseHandle(snapshot);
    return children;
}
