// orvictl's operating-system parts on Windows: the console's own text, Ctrl-C, error texts, orvi.ini's port.
#include <windows.h>

#include <direct.h>
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>
#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <algorithm>
#include <vector>

#include "comm_settings.h"
#include "platform.h"
#include "present_ports.h"
#include "text_output.h"

namespace {
volatile LONG interrupted = 0;
// Each line opens its port on its own thread: the reason belongs to that thread's last open.
thread_local DWORD lastOpenError = 0;

BOOL WINAPI OnConsoleControl(DWORD type) {
    if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT) return FALSE;
    InterlockedExchange(&interrupted, 1);
    return TRUE;
}

bool IsConsole(HANDLE handle) {
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

// A console shows the texts as UTF-16, whatever its code page; files and pipes get UTF-8.
void WriteTo(DWORD which, const std::string& utf8) {
    const HANDLE handle = GetStdHandle(which);
    if (IsConsole(handle)) {
        const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
        std::vector<wchar_t> wide(static_cast<size_t>(length) + 1);
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
        DWORD written = 0;
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(length), &written, nullptr);
        return;
    }
    FILE* stream = which == STD_OUTPUT_HANDLE ? stdout : stderr;
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
    std::fflush(stream);
}
}  // namespace

void WriteStdout(const std::string& utf8) { WriteTo(STD_OUTPUT_HANDLE, utf8); }
void WriteStderr(const std::string& utf8) { WriteTo(STD_ERROR_HANDLE, utf8); }
bool StdoutIsTerminal() { return IsConsole(GetStdHandle(STD_OUTPUT_HANDLE)); }
bool StderrIsTerminal() { return IsConsole(GetStdHandle(STD_ERROR_HANDLE)); }

namespace {
std::wstring Wide(const std::string& utf8) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], length);
    return wide;
}

std::string Utf8(const wchar_t* wide) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) return std::string();
    std::string utf8(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, &utf8[0], length, nullptr, nullptr);
    utf8.resize(static_cast<size_t>(length - 1));
    return utf8;
}
}  // namespace

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return std::vector<std::string>(argv, argv + argc);
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) arguments.push_back(Utf8(wide[i]));
    LocalFree(wide);
    return arguments;
}

FILE* OpenFile(const std::string& path, const char* mode) { return _wfopen(Wide(path).c_str(), Wide(mode).c_str()); }

FILE* CreateNewFile(const std::string& path) {
    const int fd = _wopen(Wide(path).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0) return nullptr;
    FILE* file = _fdopen(fd, "wb");
    if (!file) _close(fd);
    return file;
}

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool MakeFolder(const std::string& path) {
    if (_wmkdir(Wide(path).c_str()) == 0) return true;
    const int error = errno;
    if (IsFolder(path)) return true;
    errno = error;
    return false;
}

bool RemoveFile(const std::string& path) { return _wremove(Wide(path).c_str()) == 0; }

void InstallInterruptHandler() { SetConsoleCtrlHandler(OnConsoleControl, TRUE); }

void SuppressSystemErrorBoxes() { SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX); }

bool Interrupted() { return InterlockedCompareExchange(&interrupted, 0, 0) != 0; }

bool PauseUnlessInterrupted(uint32_t ms) {
    const ULONGLONG end = GetTickCount64() + ms;
    while (!Interrupted()) {
        const ULONGLONG now = GetTickCount64();
        if (now >= end) return true;
        Sleep(static_cast<DWORD>(end - now < 20 ? end - now : 20));
    }
    return false;
}

// orvi.ini's port as the link read it, in the code page of the configurator's texts.
std::string DefaultPortName(const std::string& savedPort) { return Cp1252ToUtf8(savedPort); }

void NotePortOpenFailure() { lastOpenError = GetLastError(); }

std::string PortOpenFailureText() {
    switch (lastOpenError) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return "a porta não existe";
    case ERROR_ACCESS_DENIED: return "a porta está em uso por outro programa";
    default: return Format("erro %lu do Windows", static_cast<unsigned long>(lastOpenError));
    }
}

std::vector<SerialPortListing> ListSerialPorts() {
    std::vector<SerialPortListing> ports;
    for (const std::string& name : PresentPortNames()) ports.push_back({name, ""});
    // COM2 before COM10.
    std::sort(ports.begin(), ports.end(), [](const SerialPortListing& a, const SerialPortListing& b) {
        return a.name.size() != b.name.size() ? a.name.size() < b.name.size() : a.name < b.name;
    });
    return ports;
}
