// The records' operating-system parts on POSIX: XDG state folder, passwd and uname, O_APPEND writes.
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>

#include "records_platform.h"

namespace {
std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return home;
    const passwd* entry = getpwuid(getuid());
    return entry && entry->pw_dir ? entry->pw_dir : "";
}

// mkdir -p of the folder that holds path.
bool MakeParentFolders(const std::string& path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        const std::string folder = path.substr(0, slash);
        if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    return true;
}
}  // namespace

std::string JournalPath() {
    // The XDG rule: a relative value is not a valid base and is ignored.
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/') return std::string(state) + "/orvi/journal.jsonl";
    const std::string home = HomeFolder();
    return home.empty() ? "" : home + "/.local/state/orvi/journal.jsonl";
}

std::string CurrentUserName() {
    const passwd* entry = getpwuid(geteuid());
    if (entry && entry->pw_name) return entry->pw_name;
    const char* user = std::getenv("USER");
    return user ? user : "";
}

std::string MachineName() {
    utsname names{};
    return uname(&names) == 0 ? names.nodename : "";
}

bool AppendLineToFile(const std::string& path, const std::string& line, std::string* problem) {
    if (!MakeParentFolders(path)) {
        *problem = std::strerror(errno);
        return false;
    }
    const int fd = open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        *problem = std::strerror(errno);
        return false;
    }
    // The last byte tells whether the file ends in a whole line.
    std::string bytes = line;
    struct stat about {};
    char last = '\n';
    if (fstat(fd, &about) == 0 && about.st_size > 0 && pread(fd, &last, 1, about.st_size - 1) == 1 && last != '\n')
        bytes.insert(bytes.begin(), '\n');
    // One write: O_APPEND places it at the end as one piece; a part written would be a torn line.
    ssize_t written = -1;
    do {
        written = write(fd, bytes.data(), bytes.size());
    } while (written < 0 && errno == EINTR);
    const int writeErrno = errno;
    const bool closed = close(fd) == 0;
    if (written != static_cast<ssize_t>(bytes.size())) {
        *problem = written < 0 ? std::strerror(writeErrno) : "escrita incompleta (disco cheio?)";
        return false;
    }
    if (!closed) {
        *problem = std::strerror(errno);
        return false;
    }
    return true;
}

bool ReadWholeFile(const std::string& path, std::string* bytes, bool* missing) {
    *missing = false;
    bytes->clear();
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        *missing = errno == ENOENT;
        return false;
    }
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            close(fd);
            return n == 0;
        }
        bytes->append(buffer, static_cast<size_t>(n));
    }
}

std::tm LocalTimeOf(std::time_t seconds) {
    std::tm local{};
    localtime_r(&seconds, &local);
    return local;
}
