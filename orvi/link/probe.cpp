// The short-wait read: the port's device, wrapped for one request so that the reply's read ends at
// the probe's deadline and a silent address costs no more than that.
#include "probe.h"

#include "frame_codec.h"
#include "line.h"
#include "rtu_frame.h"
#include "serial_port.h"
#include "transactions.h"

namespace {
enum { kRequestBytes = 8, kOneWordReplyBytes = 7 };

// Passes everything to the port's device, except that the first read after the request waits for a
// first character only the allowance and one character time, then for the rest of a reply that began
// until the reply's line time is over too; once that read found silence the frame layer's further
// waits return at once. An empty address so costs the allowance, not the reply's whole line time.
class ProbeDevice : public SerialDevice {
public:
    ProbeDevice(SerialDevice& inner, LineClock& clock, const ReadTimeouts& portTimeouts, int32_t baudRate,
                uint32_t firstByteWindowUs, uint32_t replyWindowUs)
        : inner_(inner),
          clock_(clock),
          port_(portTimeouts),
          baudRate_(baudRate),
          firstByteUs_(firstByteWindowUs),
          windowUs_(replyWindowUs) {}

    bool Open(const char* portName) override { return inner_.Open(portName); }
    bool Configure(const char* modeString, int32_t lineBaud) override { return inner_.Configure(modeString, lineBaud); }
    bool TogglesRts() const override { return inner_.TogglesRts(); }
    void SelectEvents(bool on) override { inner_.SelectEvents(on); }
    void SetQueues(uint32_t in, uint32_t out) override { inner_.SetQueues(in, out); }
    void SetRts(bool high) override { inner_.SetRts(high); }
    void ReassertDtr() override { inner_.ReassertDtr(); }
    void Purge(bool receive, bool transmit) override { inner_.Purge(receive, transmit); }
    bool SetReadTimeouts(const ReadTimeouts& timeouts) override { return inner_.SetReadTimeouts(timeouts); }
    bool SetWriteTimeouts(const WriteTimeouts& timeouts) override { return inner_.SetWriteTimeouts(timeouts); }
    bool WaitTransmitEmpty(uint32_t boundMs) override { return inner_.WaitTransmitEmpty(boundMs); }
    void Close() override { inner_.Close(); }
    bool IsOpen() const override { return inner_.IsOpen(); }
    size_t ReadWaiting(uint8_t* buffer, size_t maxCount) override { return inner_.ReadWaiting(buffer, maxCount); }
    bool TakeLineErrors(DriverErrorCounts* counts) override { return inner_.TakeLineErrors(counts); }
    int32_t LatencyTimerMs(char* how, size_t room) override { return inner_.LatencyTimerMs(how, room); }

    bool Write(const uint8_t* bytes, size_t count) override {
        // The request is on the line for its line time from the write, and at least until the
        // driver took it (a write that blocked has sent its bytes by the time it returns).
        const uint64_t lineEnd = clock_.NowUs() + LineTimeUs(count, baudRate_);
        const bool written = inner_.Write(bytes, count);
        const uint64_t now = clock_.NowUs();
        requestEndUs_ = now > lineEnd ? now : lineEnd;
        return written;
    }

    size_t Read(uint8_t* buffer, size_t maxCount) override {
        if (silent_) return 0;
        if (!first_) return Count(inner_.Read(buffer, maxCount));
        first_ = false;
        const ReadTimeouts& port = port_;
        size_t got = Count(ReadUntil(buffer, maxCount ? 1 : 0, requestEndUs_ + firstByteUs_, port));
        if (got && maxCount > 1) got += Count(ReadUntil(buffer + 1, maxCount - 1, requestEndUs_ + windowUs_, port));
        inner_.SetReadTimeouts(port);
        silent_ = got == 0;
        return got;
    }

    bool Heard() const { return heard_; }
    uint32_t AnswerUs() const {
        return lastByteUs_ > requestEndUs_ ? static_cast<uint32_t>(lastByteUs_ - requestEndUs_) : 0u;
    }

private:
    // One read that ends at deadlineUs at the latest, or when the line goes quiet after a byte.
    size_t ReadUntil(uint8_t* buffer, size_t count, uint64_t deadlineUs, const ReadTimeouts& port) {
        const uint64_t now = clock_.NowUs();
        const uint32_t waitMs = deadlineUs > now ? static_cast<uint32_t>((deadlineUs - now + 999u) / 1000u) : 1u;
        // No per-byte part: the deadline holds however many bytes the reply has.
        inner_.SetReadTimeouts({port.intervalMs, 0, waitMs});
        return inner_.Read(buffer, count);
    }

    size_t Count(size_t got) {
        if (got) {
            heard_ = true;
            lastByteUs_ = clock_.NowUs();
        }
        return got;
    }

    SerialDevice& inner_;
    LineClock& clock_;
    ReadTimeouts port_;
    int32_t baudRate_;
    uint32_t firstByteUs_;
    uint32_t windowUs_;
    uint64_t requestEndUs_ = 0;
    uint64_t lastByteUs_ = 0;
    bool first_ = true;
    bool silent_ = false;
    bool heard_ = false;
};
}  // namespace

namespace {
// Through a gateway the reply comes whole, once the gateway has it from its line, and a gateway says
// itself when nobody answered (its 0x0A and 0x0B are silence): one request, the codec's own wait.
ProbeResult ProbeThroughCodec(Line& line, int8_t reg, uint16_t* destination) {
    ProbeResult probe = {kLinkTimeout, false, 0};
    uint16_t word = 0;
    const uint64_t start = line.Clock().NowUs();
    SendRequest(line, static_cast<uint16_t>(static_cast<int16_t>(reg)), 1, 3, 0, &word);
    probe.result = ReceiveReply(line, 3, 1);
    probe.heard = probe.result != kLinkTimeout;
    if (probe.heard) probe.answerUs = static_cast<uint32_t>(line.Clock().NowUs() - start);
    if (probe.result == kLinkOk && destination) *destination = word;
    return probe;
}
}  // namespace

ProbeResult ProbeRead(Line& line, int8_t reg, uint16_t* destination, uint32_t allowanceMs) {
    ProbeResult probe = {kLinkTimeout, false, 0};
    if (TransactionBusy(line)) return probe;
    if (line.Codec()) return ProbeThroughCodec(line, reg, destination);
    SerialDevice* const lent = line.LentDevice();
    SerialDevice& port = line.Device();
    const int32_t baud = line.settings.baudRate;
    const uint32_t allowanceUs = 1000u * allowanceMs;
    ProbeDevice device(port, line.Clock(), line.portReadTimeouts, baud, LineTimeUs(1, baud) + allowanceUs,
                       LineTimeUs(kOneWordReplyBytes, baud) + allowanceUs);
    line.UseDevice(&device);
    uint16_t word = 0;
    SendRequest(line, static_cast<uint16_t>(static_cast<int16_t>(reg)), 1, 3, 0, &word);
    probe.result = ReceiveReply(line, 3, 1);
    line.UseDevice(lent);
    probe.heard = device.Heard();
    probe.answerUs = device.AnswerUs();
    if (probe.result == kLinkOk && destination) *destination = word;
    return probe;
}

ProbeResult ProbeRead(int8_t reg, uint16_t* destination, uint32_t allowanceMs) {
    return ProbeRead(ConfiguratorLine(), reg, destination, allowanceMs);
}
