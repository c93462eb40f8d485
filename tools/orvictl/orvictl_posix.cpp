// orvictl's operating-system parts on POSIX: UTF-8 output, signals, errno texts, the default port.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <dirent.h>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "platform.h"
#include "text_output.h"

namespace {
volatile std::sig_atomic_t interrupted = 0;
// Each line opens its port on its own thread: the reason belongs to that thread's last open.
thread_local int lastOpenErrno = 0;

void OnSignal(int) { interrupted = 1; }

void WriteAll(FILE* stream, const std::string& utf8) {
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
    std::fflush(stream);
}
}  // namespace

void WriteStdout(const std::string& utf8) { WriteAll(stdout, utf8); }
void WriteStderr(const std::string& utf8) { WriteAll(stderr, utf8); }
bool StdoutIsTerminal() { return isatty(STDOUT_FILENO) != 0; }
bool StderrIsTerminal() { return isatty(STDERR_FILENO) != 0; }

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

FILE* OpenFile(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }

FILE* CreateNewFile(const std::string& path) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    FILE* file = fdopen(fd, "wb");
    if (!file) close(fd);
    return file;
}

bool IsFolder(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool MakeFolder(const std::string& path) {
    if (mkdir(path.c_str(), 0777) == 0) return true;
    const int error = errno;
    if (IsFolder(path)) return true;
    errno = error;
    return false;
}

bool RemoveFile(const std::string& path) { return std::remove(path.c_str()) == 0; }

void InstallInterruptHandler() {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool Interrupted() { return interrupted != 0; }

void SuppressSystemErrorBoxes() {}

bool PauseUnlessInterrupted(uint32_t ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!interrupted) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= end) return true;
        const auto slice = std::min<std::chrono::steady_clock::duration>(end - now, std::chrono::milliseconds(20));
        std::this_thread::sleep_for(slice);
    }
    return false;
}

std::string DefaultPortName(const std::string&) { return "/dev/ttyUSB0"; }

void NotePortOpenFailure() { lastOpenErrno = errno; }

std::string PortOpenFailureText() {
    switch (lastOpenErrno) {
    case ENOENT: return "o dispositivo não existe";
    case EACCES:
    case EPERM: return "sem permissão (o usuário está no grupo dialout?)";
    case EBUSY: return "a porta está em uso por outro programa";
    case ENOTTY: return "não é uma porta serial";
    case EISDIR: return "é uma pasta, não uma porta serial";
    case ENXIO:
    case ENODEV: return "o dispositivo não está presente (o adaptador foi desconectado?)";
    case EIO: return "erro de entrada e saída no dispositivo";
    default: return Format("erro %d do sistema", lastOpenErrno);
    }
}

std::vector<SerialPortListing> ListSerialPorts() {
    std::vector<SerialPortListing> ports;
    const std::string folder = "/dev/serial/by-id";
    DIR* dir = opendir(folder.c_str());
    if (!dir) return ports;
    while (dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.') continue;
        char target[PATH_MAX];
        const std::string link = folder + "/" + entry->d_name;
        if (!realpath(link.c_str(), target)) continue;
        ports.push_back({target, entry->d_name});
    }
    closedir(dir);
    std::sort(ports.begin(), ports.end(),
              [](const SerialPortListing& a, const SerialPortListing& b) { return a.name < b.name; });
    return ports;
}
