// A bounded, cancellable wait for work that offers no bound of its own (a system's name lookup).
#include "network_wait.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace {
// Often enough that Ctrl-C feels immediate.
const std::chrono::milliseconds kCancelLookMs(50);

struct Completion {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
};
}  // namespace

uint64_t NetworkClockUs() {
    return static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count());
}

BoundedWait RunBounded(std::function<void()> work, uint32_t timeoutMs, CancelCheck cancelled) {
    std::shared_ptr<Completion> completion = std::make_shared<Completion>();
    std::thread([completion, work] {
        work();
        std::lock_guard<std::mutex> lock(completion->mutex);
        completion->done = true;
        completion->finished.notify_all();
    }).detach();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::unique_lock<std::mutex> lock(completion->mutex);
    for (;;) {
        if (completion->done) return BoundedWait::kDone;
        if (cancelled && cancelled()) return BoundedWait::kCancelled;
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) return BoundedWait::kTimedOut;
        completion->finished.wait_for(lock,
                                      std::min<std::chrono::steady_clock::duration>(deadline - now, kCancelLookMs));
    }
}
