// The wire between the master and the simulated transmitters, on the simulator's own clock: requests cut
// into frames, replies on their way back a character at a time, and what the line's faults add or take.
#pragma once

#include <cstdint>
#include <vector>

#include "bus.h"
#include "frame_assembler.h"

namespace orvisim {

class SimLine {
public:
    explicit SimLine(Bus& bus) : bus_(bus) {}

    // Bytes the master sent, read at nowMs while its side of the line runs at speed.
    void FromMaster(const std::uint8_t* data, std::size_t size, std::uint64_t nowMs, int speed);
    // Lets the timers run: the silence that ends a request, another master's requests.
    void Tick(std::uint64_t nowMs, int speed);
    // What the master hears by nowMs. Bytes sent at another speed than its current one are lost: the line
    // is left quiet rather than full of noise nobody asked about.
    std::vector<std::uint8_t> TakeDue(std::uint64_t nowMs, int speed);
    // When Tick or TakeDue next has something to do; UINT64_MAX for nothing.
    std::uint64_t NextEventMs() const;

private:
    // Bytes on their way to the master. Paced bytes arrive a character at a time, the last at dueMs;
    // the others all at dueMs.
    struct Outgoing {
        std::uint64_t dueMs;
        PendingReply reply;
        std::size_t sent = 0;

        std::uint64_t ByteDueMs(std::size_t index) const;
    };

    void Queue(std::uint64_t dueMs, PendingReply reply);
    // The request's own bytes, or its first ones, coming back through the adapter.
    void Echo(const std::uint8_t* data, std::size_t size, std::uint64_t nowMs, int speed);
    void EndOfRequest(std::uint64_t nowMs, int speed);
    void OtherMaster(std::uint64_t nowMs, int speed);
    std::uint64_t NextOtherMasterMs() const;
    // When the adapter passes on a byte that reached it at dueMs.
    std::uint64_t DeliveryMs(std::uint64_t dueMs) const;

    Bus& bus_;
    FrameAssembler assembler_;
    bool inRequest_ = false;  // the master's bytes came within a frame gap of each other
    std::uint64_t requestStartMs_ = 0;
    std::size_t requestBytes_ = 0;  // bytes of the current request so far
    std::uint64_t gapEndMs_ = 0;
    std::uint64_t otherMasterDoneMs_ = 0;  // the other master's last slot, taken or skipped
    std::vector<Outgoing> outgoing_;
};

}  // namespace orvisim
