// poll() over the pty master, the stop pipe and the control sockets, waking for the line's next event.
#include "sim_loop.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <unistd.h>
#include <vector>

#include "sim_clock.h"
#include "sim_line.h"

namespace orvisim {

namespace {

class SimLoop {
public:
    SimLoop(PtyLink& link, Bus& bus, ControlServer* control, ControlCommands& commands)
        : link_(link), line_(bus), control_(control), commands_(commands) {}

    void Run(int stopFd) {
        for (;;) {
            std::vector<pollfd> fds = {{stopFd, POLLIN, 0}, {link_.MasterFd(), POLLIN, 0}};
            if (control_ != nullptr) control_->AppendPollFds(fds);
            const int ready = poll(fds.data(), fds.size(), TimeoutMs());
            if (ready < 0 && errno != EINTR) return;
            if (fds[0].revents != 0) return;
            const int speed = link_.LineSpeed();
            if (ready > 0 && (fds[1].revents & POLLIN)) ReadLine(speed);
            const std::uint64_t now = NowMs();
            line_.Tick(now, speed);
            const std::vector<std::uint8_t> heard = line_.TakeDue(now, speed);
            if (!heard.empty()) {
                const ssize_t written = write(link_.MasterFd(), heard.data(), heard.size());
                (void)written;  // a full pty buffer loses the bytes, as a line nobody listens to would
            }
            if (ready > 0 && control_ != nullptr) {
                control_->Service(fds.data() + 2, fds.size() - 2,
                                  [this](const std::string& line) { return commands_.Execute(line); });
            }
        }
    }

private:
    int TimeoutMs() const {
        const std::uint64_t next = line_.NextEventMs();
        if (next == UINT64_MAX) return -1;
        const std::uint64_t now = NowMs();
        return next <= now ? 0 : static_cast<int>(std::min<std::uint64_t>(next - now, 60000));
    }

    void ReadLine(int speed) {
        std::uint8_t buffer[512];
        const ssize_t n = read(link_.MasterFd(), buffer, sizeof buffer);
        if (n > 0) line_.FromMaster(buffer, static_cast<std::size_t>(n), NowMs(), speed);
    }

    PtyLink& link_;
    SimLine line_;
    ControlServer* control_;
    ControlCommands& commands_;
};

}  // namespace

void RunSimLoop(PtyLink& link, Bus& bus, ControlServer* control, ControlCommands& commands, int stopFd) {
    SimLoop(link, bus, control, commands).Run(stopFd);
}

}  // namespace orvisim
