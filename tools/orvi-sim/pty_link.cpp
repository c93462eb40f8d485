// Pseudo-terminal set-up with POSIX calls; the master's termios are the slave's on Linux.
#include "pty_link.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace orvisim {

namespace {

speed_t SpeedConstant(int baud) {
    switch (baud) {
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 19200: return B19200;
    default: return B9600;
    }
}

int SpeedValue(speed_t speed) {
    switch (speed) {
    case B300: return 300;
    case B600: return 600;
    case B1200: return 1200;
    case B2400: return 2400;
    case B4800: return 4800;
    case B9600: return 9600;
    case B19200: return 19200;
    case B38400: return 38400;
    case B57600: return 57600;
    case B115200: return 115200;
    default: return 0;
    }
}

std::string Failure(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

}  // namespace

PtyLink::~PtyLink() { Close(); }

bool PtyLink::Open(const std::string& linkPath, int baud, std::string* error) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
        *error = Failure("posix_openpt");
        return false;
    }
    const char* slaveName = ptsname(master_);
    if (slaveName == nullptr) {
        *error = Failure("ptsname");
        return false;
    }
    const std::string slavePath = slaveName;
    slave_ = open(slavePath.c_str(), O_RDWR | O_NOCTTY);
    if (slave_ < 0) {
        *error = Failure(slavePath.c_str());
        return false;
    }
    termios settings{};
    tcgetattr(slave_, &settings);
    cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    cfsetispeed(&settings, SpeedConstant(baud));
    cfsetospeed(&settings, SpeedConstant(baud));
    if (tcsetattr(slave_, TCSANOW, &settings) != 0) {
        *error = Failure("tcsetattr");
        return false;
    }
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);

    // Replace an old link, never a file or directory that someone else put there.
    struct stat existing {};
    if (lstat(linkPath.c_str(), &existing) == 0) {
        if (!S_ISLNK(existing.st_mode)) {
            *error = linkPath + " exists and is not a symbolic link";
            return false;
        }
        unlink(linkPath.c_str());
    }
    if (symlink(slavePath.c_str(), linkPath.c_str()) != 0) {
        *error = Failure(linkPath.c_str());
        return false;
    }
    linkPath_ = linkPath;
    return true;
}

void PtyLink::Close() {
    if (!linkPath_.empty()) unlink(linkPath_.c_str());
    linkPath_.clear();
    if (slave_ >= 0) close(slave_);
    if (master_ >= 0) close(master_);
    slave_ = master_ = -1;
}

int PtyLink::LineSpeed() const {
    termios settings{};
    if (master_ < 0 || tcgetattr(master_, &settings) != 0) return 0;
    return SpeedValue(cfgetospeed(&settings));
}

}  // namespace orvisim
