// One line to transmitters: its device, its settings, its frame and reply state, its observers and
// its counters. Lines share nothing, so two of them may run transactions at once on two threads.
// The configurator talks on one (ConfiguratorLine); the link's functions without a Line are that one.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "comm_settings.h"
#include "frame_codec.h"
#include "frame_observer.h"
#include "line_clock.h"
#include "line_evidence.h"
#include "link_error.h"
#include "serial_device.h"
#include "write_outcome.h"

// Whether the PC hears its own requests on the line (a converter that does not mute its receiver).
enum class LineEcho { kUnknown, kAbsent, kPresent };

// The request last sent and the reply being read, with what the line has shown so far.
struct LineFrame {
    enum { kRequestMax = 8, kStrayBytesAllowed = 8, kReceiveSize = 255 + kStrayBytesAllowed };
    uint8_t request[kRequestMax] = {};
    size_t requestLength = 0;
    uint8_t receive[kReceiveSize] = {};
    uint16_t* destination = nullptr;
    uint16_t wordsWanted = 0;  // room at the destination
    int16_t requestValue = 0;
    uint8_t requestFunction = 0;
    uint8_t expectedLength = 0;
    bool sent = false;                       // the driver took the whole request
    uint64_t lineQuietSinceUs = 0;           // when the line last went quiet, as far as this end knows (0: not yet)
    uint64_t requestEndUs = 0;               // when the last request had left the line and RTS was dropped
    uint32_t extraQuietMs = 0;               // a longer quiet gap asked for the next request
    LineEcho lineEcho = LineEcho::kUnknown;  // learnt on the port opening counted in echoOpening
    uint32_t echoOpening = 0;
    LinkError lastError = kLinkOk;
};

// What the line has done since it was made: requests that left, replies that held, and each failure.
struct LineCounters {
    enum { kErrorCodes = kLinkTimeout + 1 };
    uint32_t requests = 0;
    uint32_t goodReplies = 0;
    uint32_t failures[kErrorCodes] = {};  // by LinkError

    uint32_t Failures(LinkError error) const { return error < kErrorCodes ? failures[error] : 0u; }
};

class Line {
public:
    // On the program's serial device (SystemSerialDevice) and the system's clock.
    Line() = default;
    // On device, not owned, or owned; clock nullptr: the system's clock.
    explicit Line(SerialDevice& device, LineClock* clock = nullptr) : madeWith_(&device), clock_(clock) {}
    explicit Line(std::unique_ptr<SerialDevice> device, LineClock* clock = nullptr);
    Line(const Line&) = delete;
    Line& operator=(const Line&) = delete;

    CommSettings settings = {};
    // While set, a reply's address byte is not compared with the device address (the search reads).
    bool acceptAnyAddress = false;

    SerialDevice& Device();
    // A device lent for a while in place of the one the line was made with; nullptr: that one again.
    void UseDevice(SerialDevice* device) { device_ = device; }
    SerialDevice* LentDevice() const { return device_; }
    LineClock& Clock() { return clock_ ? *clock_ : SystemLineClock(); }
    FrameCodec* Codec() const { return codec_; }
    void UseCodec(FrameCodec* codec) { codec_ = codec; }
    // Where the settings are kept (nullptr: the system's settings file).
    SettingsStore* settingsStore = nullptr;

    // Tells that the port fell back to another (nullptr: the platform's ShowPortNotice).
    std::function<void(const char* text, const char* caption)> portNotice;
    FrameObserver frameObserver = nullptr;
    WriteObserver writeObserver = nullptr;

    LineFrame frame;
    LineCounters counters;
    // What the line has shown of itself (echo, bytes unasked, reply times, driver counters), for the doctor.
    LineEvidence evidence;
    // Counts the openings of the port: what was learnt about a line holds until it opens again.
    uint32_t openings = 0;
    ReadTimeouts portReadTimeouts = {0, 0, 0};
    bool busy = false;  // a transaction runs; one started meanwhile is refused
    // The echo-only writes of the address (44) and rate (45), until their caller reports what it found.
    WriteOutcome awaitingLook[2];

private:
    std::unique_ptr<SerialDevice> ownDevice_;
    SerialDevice* madeWith_ = nullptr;  // nullptr: SystemSerialDevice
    SerialDevice* device_ = nullptr;    // one lent for a while (UseDevice)
    LineClock* clock_ = nullptr;
    FrameCodec* codec_ = nullptr;
};

// The configurator's one line: the link's functions without a Line work on it.
Line& ConfiguratorLine();
