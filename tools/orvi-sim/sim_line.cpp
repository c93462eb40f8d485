// Frame gaps, reply pacing and the line's faults, driven by the times the caller gives.
#include "sim_line.h"

#include <algorithm>

#include "crc16.h"
#include "request_answer.h"

namespace orvisim {

namespace {
// The other master reads two registers of a transmitter at address 99.
const std::uint8_t kOtherMasterRequest[] = {99, 0x03, 0x00, 0x00, 0x00, 0x02};
}  // namespace

std::uint64_t SimLine::Outgoing::ByteDueMs(std::size_t index) const {
    if (!reply.paced) return dueMs;
    const std::uint64_t after = static_cast<std::uint64_t>(LineTimeMs(reply.bytes.size() - 1 - index, reply.baud));
    return dueMs > after ? dueMs - after : 0;
}

void SimLine::Queue(std::uint64_t dueMs, PendingReply reply) { outgoing_.push_back({dueMs, std::move(reply)}); }

void SimLine::FromMaster(const std::uint8_t* data, std::size_t size, std::uint64_t nowMs, int speed) {
    if (size == 0) return;
    LineFaults& faults = bus_.Faults();
    if (!inRequest_) {
        inRequest_ = true;
        requestStartMs_ = nowMs;
        requestBytes_ = 0;
    }
    gapEndMs_ = nowMs + static_cast<std::uint64_t>(FrameGapMs(speed));
    Echo(data, size, nowMs, speed);
    const std::size_t before = requestBytes_;
    requestBytes_ += size;
    // Inverted, a request is nothing a transmitter can make out.
    if (faults.swapped) return;
    std::vector<std::uint8_t> heard(data, data + size);
    if (faults.rtsEarlyBytes >= 0) {
        const std::size_t driven = static_cast<std::size_t>(faults.rtsEarlyBytes);
        heard.resize(before >= driven ? 0 : std::min(size, driven - before));
    }
    faults.noise.Apply(heard.data(), heard.size(), speed);
    for (const HeardFrame& frame : assembler_.Add(heard.data(), heard.size(), nowMs)) {
        std::optional<PendingReply> reply = bus_.HandleFrame(frame.bytes.data(), speed, nowMs);
        if (!reply) continue;
        faults.noise.Apply(reply->bytes.data(), reply->bytes.size(), speed);
        const std::uint64_t due = ReplyDueMs(frame.firstByteMs, nowMs, frame.bytes.size(), speed, reply->delayMs);
        Queue(due, std::move(*reply));
    }
}

void SimLine::Echo(const std::uint8_t* data, std::size_t size, std::uint64_t nowMs, int speed) {
    const LineFaults& faults = bus_.Faults();
    if (faults.swapped || (!faults.echo && faults.rtsEarlyBytes < 0)) return;
    std::size_t echoed = size;
    if (faults.rtsEarlyBytes >= 0) {
        const std::size_t driven = static_cast<std::size_t>(faults.rtsEarlyBytes);
        echoed = requestBytes_ >= driven ? 0 : std::min(size, driven - requestBytes_);
    }
    if (echoed == 0) return;
    PendingReply echo;
    echo.baud = speed;
    echo.bytes.assign(data, data + echoed);
    // Each byte comes back as it leaves the adapter.
    const std::uint64_t start =
        std::max(nowMs, requestStartMs_ + static_cast<std::uint64_t>(LineTimeMs(requestBytes_, speed)));
    Queue(start + static_cast<std::uint64_t>(LineTimeMs(echoed, speed)), std::move(echo));
}

void SimLine::EndOfRequest(std::uint64_t nowMs, int speed) {
    inRequest_ = false;
    assembler_.Flush();
    if (!bus_.Faults().swapped) return;
    // Once the master's driver lets go, its receiver sees the inverted idle line: a break, read as 0x00.
    PendingReply zero;
    zero.baud = speed;
    zero.bytes = {0x00};
    Queue(nowMs, std::move(zero));
}

std::uint64_t SimLine::NextOtherMasterMs() const {
    const LineFaults& faults = bus_.Faults();
    if (faults.masterPeriodMs <= 0) return UINT64_MAX;
    const std::uint64_t period = static_cast<std::uint64_t>(faults.masterPeriodMs);
    const std::uint64_t from = std::max(otherMasterDoneMs_, faults.masterSinceMs);
    return faults.masterSinceMs + ((from - faults.masterSinceMs) / period + 1) * period;
}

void SimLine::OtherMaster(std::uint64_t nowMs, int speed) {
    const std::uint64_t slot = NextOtherMasterMs();
    if (slot > nowMs) return;
    // Every slot that passed is used up at once: one request at most, never a burst to catch up.
    const std::uint64_t period = static_cast<std::uint64_t>(bus_.Faults().masterPeriodMs);
    otherMasterDoneMs_ = slot + (nowMs - slot) / period * period;
    // It speaks only into silence: a real one that started inside our exchange would collide with it,
    // which is beyond what this line models, so it skips that turn.
    if (inRequest_ || !outgoing_.empty()) return;
    PendingReply request;
    request.baud = speed;
    request.bytes.assign(std::begin(kOtherMasterRequest), std::end(kOtherMasterRequest));
    AppendCrc(request.bytes);
    bus_.Faults().noise.Apply(request.bytes.data(), request.bytes.size(), speed);
    // Whole, so that it never straddles a request of ours that starts meanwhile.
    request.paced = false;
    Queue(nowMs, std::move(request));
}

void SimLine::Tick(std::uint64_t nowMs, int speed) {
    if (inRequest_ && nowMs >= gapEndMs_) EndOfRequest(nowMs, speed);
    OtherMaster(nowMs, speed);
}

std::uint64_t SimLine::DeliveryMs(std::uint64_t dueMs) const {
    const LineFaults& faults = bus_.Faults();
    if (faults.latencyMs <= 0) return dueMs;
    const std::uint64_t period = static_cast<std::uint64_t>(faults.latencyMs);
    if (dueMs <= faults.latencySinceMs) return faults.latencySinceMs;
    return faults.latencySinceMs + (dueMs - faults.latencySinceMs + period - 1) / period * period;
}

std::vector<std::uint8_t> SimLine::TakeDue(std::uint64_t nowMs, int speed) {
    std::vector<std::uint8_t> heard;
    // Oldest first, so that bytes due together leave in the order they were sent.
    for (std::size_t i = 0; i < outgoing_.size();) {
        Outgoing& out = outgoing_[i];
        const std::size_t from = out.sent;
        while (out.sent < out.reply.bytes.size() && DeliveryMs(out.ByteDueMs(out.sent)) <= nowMs) ++out.sent;
        if (out.sent > from && speed == out.reply.baud) {
            heard.insert(heard.end(), out.reply.bytes.begin() + static_cast<std::ptrdiff_t>(from),
                         out.reply.bytes.begin() + static_cast<std::ptrdiff_t>(out.sent));
        }
        // A reply that lost all its bytes on the way still took its time on the line.
        if (out.sent < out.reply.bytes.size() || DeliveryMs(out.dueMs) > nowMs) {
            ++i;
            continue;
        }
        bus_.ApplyAfterReply(out.reply);
        outgoing_.erase(outgoing_.begin() + static_cast<std::ptrdiff_t>(i));
    }
    return heard;
}

std::uint64_t SimLine::NextEventMs() const {
    std::uint64_t next = NextOtherMasterMs();
    if (inRequest_) next = std::min(next, gapEndMs_);
    for (const Outgoing& out : outgoing_) {
        const std::uint64_t due = out.sent < out.reply.bytes.size() ? out.ByteDueMs(out.sent) : out.dueMs;
        next = std::min(next, DeliveryMs(due));
    }
    return next;
}

}  // namespace orvisim
