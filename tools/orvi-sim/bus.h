// The transmitters on one simulated line: who hears a request at the host's speed, who answers, and the request log.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "line_faults.h"
#include "transmitter.h"

namespace orvisim {

struct DeviceSpec {
    int address;
    int baud;
};

// A reply on its way: sent after delayMs; then the transmitter's address or speed change applies.
struct PendingReply {
    int fromAddress = 0;  // the transmitter's address when it heard the request
    int baud = 0;         // the speed it answers at
    std::vector<std::uint8_t> bytes;
    int delayMs = 0;
    // A character at a time, as on a wire; a faulted reply with bytes ahead of it leaves whole, so
    // that those bytes are in the host's queue together with the reply, as the faults model them.
    bool paced = true;
    int newAddress = -1;
    int newBaudCode = -1;
};

// Line time of byteCount bytes (10 bits a byte), rounded up to whole milliseconds.
int LineTimeMs(std::size_t byteCount, int baud);
// Line time of a reply plus a millisecond to answer.
int ReplyDelayMs(std::size_t byteCount, int baud);
// When a reply to a request of requestBytes may start going out whole: a real transmitter hears the last
// byte no sooner than the request's line time after its first byte (a pseudo-terminal delivers it at once),
// nor before it came (heardMs); the reply's delayMs follows.
std::uint64_t ReplyDueMs(std::uint64_t firstByteMs, std::uint64_t heardMs, std::size_t requestBytes, int lineSpeed,
                         int delayMs);

std::string HexFrame(const std::uint8_t* bytes, std::size_t size);

class Bus {
public:
    Bus(std::vector<DeviceSpec> startup, std::uint64_t nowMs);

    // One complete 8-byte frame with a valid CRC, heard while the host's line runs at lineSpeed.
    // Returns the reply to send, if any transmitter answers (and it is not silenced by a fault).
    std::optional<PendingReply> HandleFrame(const std::uint8_t* frame, int lineSpeed, std::uint64_t nowMs);
    // The reply has gone out (or would have): a new address or baud code now takes effect.
    void ApplyAfterReply(const PendingReply& reply);

    Transmitter* Find(int address);
    bool Add(int address, int baud, std::uint64_t nowMs);
    bool Remove(int address);
    // A second transmitter at the address and speed of transmitter A (two set to one address by
    // mistake): both answer, and their replies collide on the line. False when there is no A.
    bool AddTwin(int address, std::uint64_t nowMs);
    // Back to the transmitters of the command line with factory contents; faults and logs cleared.
    void Reset(std::uint64_t nowMs);
    std::vector<DeviceSpec> Devices() const;

    // The faults of the wire itself; Reset clears them with the rest.
    LineFaults& Faults() { return faults_; }

    const std::vector<std::string>& Log() const { return log_; }
    void ClearLog();
    // Frames the addressed transmitters heard at a wrong speed (and so could not make out).
    int Garbled() const { return garbled_; }

private:
    void Place(std::unique_ptr<Transmitter> transmitter);
    Transmitter* Responder(int address, int lineSpeed);
    // The reply as the line carries it when another transmitter at this address answers too.
    void Collide(const Transmitter& responder, int lineSpeed, std::vector<std::uint8_t>& bytes);
    void Record(const std::uint8_t* frame);

    std::vector<DeviceSpec> startup_;
    std::vector<std::unique_ptr<Transmitter>> transmitters_;
    int added_ = 0;  // transmitters placed since the last reset: the next one's serial number follows
    std::vector<std::string> log_;
    int garbled_ = 0;
    LineFaults faults_;
};

}  // namespace orvisim
