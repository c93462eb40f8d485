// poll() over the pty master, the stop pipe and the control sockets, with timers for frame gaps and replies.
#include "sim_loop.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <unistd.h>
#include <vector>

#include "bus.h"
#include "frame_assembler.h"
#include "sim_clock.h"

namespace orvisim {

namespace {

// A reply leaves a character at a time, as on a wire: byte i is out one line time of the bytes after
// it before dueMs, when the last one is. A host waiting for the first character hears it then.
struct ScheduledReply {
    std::uint64_t dueMs;
    PendingReply reply;
    std::size_t sent = 0;

    std::uint64_t ByteDueMs(std::size_t index) const {
        if (!reply.paced) return dueMs;
        const std::uint64_t after = static_cast<std::uint64_t>(LineTimeMs(reply.bytes.size() - 1 - index, reply.baud));
        return dueMs > after ? dueMs - after : 0;
    }
    std::uint64_t NextDueMs() const { return ByteDueMs(sent); }
};

class SimLoop {
public:
    SimLoop(PtyLink& link, Bus& bus, ControlServer* control, ControlCommands& commands)
        : link_(link), bus_(bus), control_(control), commands_(commands) {}

    void Run(int stopFd) {
        for (;;) {
            std::vector<pollfd> fds = {{stopFd, POLLIN, 0}, {link_.MasterFd(), POLLIN, 0}};
            if (control_ != nullptr) control_->AppendPollFds(fds);
            const int ready = poll(fds.data(), fds.size(), TimeoutMs());
            if (ready < 0 && errno != EINTR) return;
            if (fds[0].revents != 0) return;
            if (ready > 0 && (fds[1].revents & POLLIN)) ReadLine();
            ExpireGap();
            SendDueReplies();
            if (ready > 0 && control_ != nullptr) {
                control_->Service(fds.data() + 2, fds.size() - 2,
                                  [this](const std::string& line) { return commands_.Execute(line); });
            }
        }
    }

private:
    // Until the next timer: the end of a partial frame's gap or the next reply; -1 with none.
    int TimeoutMs() const {
        std::uint64_t next = UINT64_MAX;
        if (assembler_.Pending()) next = gapEndMs_;
        for (const ScheduledReply& s : replies_) next = std::min(next, s.NextDueMs());
        if (next == UINT64_MAX) return -1;
        const std::uint64_t now = NowMs();
        return next <= now ? 0 : static_cast<int>(next - now);
    }

    void ReadLine() {
        std::uint8_t buffer[512];
        const ssize_t n = read(link_.MasterFd(), buffer, sizeof buffer);
        if (n <= 0) return;
        const std::uint64_t now = NowMs();
        const int speed = link_.LineSpeed();
        gapEndMs_ = now + static_cast<std::uint64_t>(FrameGapMs(speed));
        for (const HeardFrame& frame : assembler_.Add(buffer, static_cast<std::size_t>(n), now)) {
            std::optional<PendingReply> reply = bus_.HandleFrame(frame.bytes.data(), speed, now);
            if (!reply) continue;
            const std::uint64_t due = ReplyDueMs(frame.firstByteMs, now, frame.bytes.size(), speed, reply->delayMs);
            replies_.push_back({due, std::move(*reply)});
        }
    }

    void ExpireGap() {
        if (assembler_.Pending() && NowMs() >= gapEndMs_) assembler_.Flush();
    }

    void SendDueReplies() {
        const std::uint64_t now = NowMs();
        // Oldest first, so that replies due together leave in the order their requests came.
        for (std::size_t i = 0; i < replies_.size();) {
            ScheduledReply& scheduled = replies_[i];
            const std::size_t from = scheduled.sent;
            while (scheduled.sent < scheduled.reply.bytes.size() && scheduled.NextDueMs() <= now) ++scheduled.sent;
            // A host that has meanwhile changed speed would hear noise: leave the line quiet instead.
            if (scheduled.sent > from && link_.LineSpeed() == scheduled.reply.baud) {
                const ssize_t written =
                    write(link_.MasterFd(), scheduled.reply.bytes.data() + from, scheduled.sent - from);
                (void)written;  // a full pty buffer loses the reply, as a line nobody listens to would
            }
            if (scheduled.sent < scheduled.reply.bytes.size()) {
                ++i;
                continue;
            }
            bus_.ApplyAfterReply(scheduled.reply);
            replies_.erase(replies_.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }

    PtyLink& link_;
    Bus& bus_;
    ControlServer* control_;
    ControlCommands& commands_;
    FrameAssembler assembler_;
    std::uint64_t gapEndMs_ = 0;
    std::vector<ScheduledReply> replies_;
};

}  // namespace

void RunSimLoop(PtyLink& link, Bus& bus, ControlServer* control, ControlCommands& commands, int stopFd) {
    SimLoop(link, bus, control, commands).Run(stopFd);
}

}  // namespace orvisim
