// The records' operating-system parts on POSIX: XDG state folder, passwd and uname, O_APPEND writes,
// whole files replaced by rename.
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>

#include "file_text.h"
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
    int writeErrno = errno;
    // On the disk before the caller goes on: a power cut after this line keeps it.
    if (written == static_cast<ssize_t>(bytes.size()) && fsync(fd) != 0) {
        writeErrno = errno;
        written = -1;
    }
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

namespace {
// Writes all of bytes, through short writes and signals; false with errno set.
bool WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            if (written == 0) errno = ENOSPC;
            return false;
        }
        done += static_cast<size_t>(written);
    }
    return true;
}

// The folder's own entry flushed, so that the rename itself survives a crash; a folder that cannot
// be opened or flushed leaves the file replaced all the same.
void SyncFolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}
}  // namespace

bool ReplaceWholeFile(const std::string& path, const std::string& bytes, std::string* problem) {
    // The process and a count make the name unique among writers; O_EXCL makes sure of it.
    static std::atomic<unsigned> count{0};
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = path + ".tmp" + std::to_string(getpid()) + "-" + std::to_string(++count);
        fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        *problem = FileErrorText(errno);
        return false;
    }
    // A file replaced keeps who may read it.
    struct stat existing {};
    bool ok = WriteAll(fd, bytes);
    if (ok && stat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) fchmod(fd, existing.st_mode & 07777);
    ok = ok && fsync(fd) == 0;
    int error = errno;
    if (close(fd) != 0 && ok) ok = false, error = errno;
    if (ok && rename(temporary.c_str(), path.c_str()) != 0) ok = false, error = errno;
    if (!ok) {
        unlink(temporary.c_str());
        *problem = FileErrorText(error);
        return false;
    }
    SyncFolderOf(path);
    return true;
}

std::tm LocalTimeOf(std::time_t seconds) {
    std::tm local{};
    localtime_r(&seconds, &local);
    return local;
}
