// orvictl's operating-system parts on Windows: the console's own text, Ctrl-C, error texts, orvi.ini's port.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <vector>

#include "comm_settings.h"
#include "platform.h"
#include "text_output.h"

namespace {
volatile LONG interrupted = 0;
DWORD lastOpenError = 0;

BOOL WINAPI OnConsoleControl(DWORD type) {
    if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT) return FALSE;
    InterlockedExchange(&interrupted, 1);
    return TRUE;
}

bool IsConsole(HANDLE handle) {
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

// A console shows the CP1252 texts as UTF-16, whatever its code page; files and pipes get UTF-8.
void WriteTo(DWORD which, const std::string& cp1252) {
    const HANDLE handle = GetStdHandle(which);
    if (IsConsole(handle)) {
        const int length = MultiByteToWideChar(1252, 0, cp1252.data(), static_cast<int>(cp1252.size()), nullptr, 0);
        std::vector<wchar_t> wide(static_cast<size_t>(length) + 1);
        MultiByteToWideChar(1252, 0, cp1252.data(), static_cast<int>(cp1252.size()), wide.data(), length);
        DWORD written = 0;
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(length), &written, nullptr);
        return;
    }
    FILE* stream = which == STD_OUTPUT_HANDLE ? stdout : stderr;
    const std::string text = Cp1252ToUtf8(cp1252);
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}
}  // namespace

void WriteOut(const std::string& cp1252) { WriteTo(STD_OUTPUT_HANDLE, cp1252); }
void WriteErr(const std::string& cp1252) { WriteTo(STD_ERROR_HANDLE, cp1252); }
bool StdoutIsTerminal() { return IsConsole(GetStdHandle(STD_OUTPUT_HANDLE)); }
bool StderrIsTerminal() { return IsConsole(GetStdHandle(STD_ERROR_HANDLE)); }
std::string ArgumentText(const char* argument) { return argument; }  // the ANSI code page: 1252 here

void InstallInterruptHandler() { SetConsoleCtrlHandler(OnConsoleControl, TRUE); }

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

std::string DefaultPortName() { return commSettings.portName; }

void NotePortOpenFailure() { lastOpenError = GetLastError(); }

std::string PortOpenFailureText() {
    switch (lastOpenError) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return "a porta não existe";
    case ERROR_ACCESS_DENIED: return "a porta está em uso por outro programa";
    default: return Format("erro %lu do Windows", static_cast<unsigned long>(lastOpenError));
    }
}

std::tm LocalTimeOf(std::time_t seconds) {
    std::tm local{};
    localtime_s(&local, &seconds);
    return local;
}
