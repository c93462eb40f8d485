// The network's clock, and its waits that the user may end or that must not outlast their bound.
#pragma once
#include <cstdint>
#include <functional>

// Microseconds on a monotonic clock: the clock the sockets wait on, whatever the link's own clock is.
uint64_t NetworkClockUs();

// Asked while a name is looked up or a connection is made: true (Ctrl-C) ends the wait. nullptr asks no one.
typedef bool (*CancelCheck)();

enum class BoundedWait { kDone, kTimedOut, kCancelled };

// Runs work on a thread of its own and waits for it at most timeoutMs, or until cancelled says so.
// Work left behind finishes alone later, so it must own what it touches (through a shared_ptr),
// never the caller's locals.
BoundedWait RunBounded(std::function<void()> work, uint32_t timeoutMs, CancelCheck cancelled);
