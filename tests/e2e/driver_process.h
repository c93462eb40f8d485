// Starting the programs under test and following their processes.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// A process this driver started or found; it is ended on destruction if it still runs.
class DriverProcess {
public:
    DriverProcess() = default;
    ~DriverProcess();
    DriverProcess(const DriverProcess&) = delete;
    DriverProcess& operator=(const DriverProcess&) = delete;
    DriverProcess(DriverProcess&& other) noexcept;
    DriverProcess& operator=(DriverProcess&& other) noexcept;

    // Starts commandLine (program path first, quoted) in directory (empty: the driver's).
    static DriverProcess Start(const std::string& commandLine, const std::string& directory = "");
    // Takes hold of the process that owns window (one that something else started).
    static DriverProcess OfWindow(HWND window);

    bool Valid() const { return handle_ != nullptr; }
    DWORD Id() const { return id_; }
    bool Running() const;
    // Waits for the end; true when it ended within timeoutMs.
    bool WaitExit(DWORD timeoutMs) const;
    DWORD ExitCode() const;
    void Terminate();

private:
    HANDLE handle_ = nullptr;
    DWORD id_ = 0;
};

// Ids of the running processes whose parent is parentId.
std::vector<DWORD> ChildProcesses(DWORD parentId);
