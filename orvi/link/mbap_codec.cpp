// MBAP framing of the link's requests and replies for a Modbus TCP gateway.
#include "mbap_codec.h"

#include <algorithm>
#include <cstring>

#include "comm_settings.h"
#include "network_wait.h"
#include "rtu_frame.h"
#include "serial_port.h"

namespace {
enum : uint8_t { kExceptionBit = 0x80, kIllegalFunction = 1 };
// Replies to earlier requests that timed out may still arrive: a few are skipped, not more.
enum { kStaleRepliesSkipped = 4, kMaxPdu = 253 };

uint16_t Word(const uint8_t* bytes) { return static_cast<uint16_t>((bytes[0] << 8) | bytes[1]); }

bool IsPrivateFunction(uint8_t function) { return function == 0x70 || function == 0x71; }

// One read that ends at deadlineUs at the latest (what has already come is taken even after it),
// or when a pause inside the frame outlasts slackMs; true when all count bytes came.
bool ReadBefore(SerialDevice& device, uint8_t* buffer, size_t count, uint64_t deadlineUs, uint32_t slackMs) {
    const uint64_t now = NetworkClockUs();
    const uint32_t leftMs = deadlineUs > now ? static_cast<uint32_t>((deadlineUs - now + 999u) / 1000u) : 1u;
    device.SetReadTimeouts({slackMs, 0, leftMs});
    return device.Read(buffer, count) == count;
}
}  // namespace

size_t MbapFromRtu(uint16_t transaction, const uint8_t* request, size_t length, uint8_t* out, size_t capacity,
                   uint8_t unit) {
    if (length < 4) return 0;
    const size_t pduLength = length - 3;  // no address, no CRC
    const size_t total = kMbapHeaderLength + pduLength;
    if (total > capacity) return 0;
    out[0] = static_cast<uint8_t>(transaction >> 8);
    out[1] = static_cast<uint8_t>(transaction);
    out[2] = 0;  // protocol: Modbus
    out[3] = 0;
    out[4] = static_cast<uint8_t>((pduLength + 1) >> 8);  // unit and PDU
    out[5] = static_cast<uint8_t>(pduLength + 1);
    out[6] = unit ? unit : request[0];
    std::memcpy(out + kMbapHeaderLength, request + 1, pduLength);
    return total;
}

size_t RtuFromMbap(uint8_t unit, const uint8_t* pdu, size_t pduLength, uint8_t* out, size_t capacity) {
    if (pduLength + 3 > capacity) return 0;
    out[0] = unit;
    std::memcpy(out + 1, pdu, pduLength);
    const uint16_t crc = Crc16(out, pduLength + 1);
    out[pduLength + 1] = static_cast<uint8_t>(crc);
    out[pduLength + 2] = static_cast<uint8_t>(crc >> 8);
    return pduLength + 3;
}

std::string GatewayExceptionText(uint8_t code, unsigned address, unsigned unit) {
    if (code != kGatewayPathUnavailable && code != kGatewayTargetNoResponse) return "";
    const std::string who = unit && unit != address
                                ? "da unidade " + std::to_string(unit) + " (endereço " + std::to_string(address) + ")"
                                : "do endereço " + std::to_string(address);
    const std::string text = "o gateway não obteve resposta " + who;
    return code == kGatewayPathUnavailable ? text + ": não tem caminho para ele" : text;
}

bool MbapCodec::Send(SerialDevice& device, const uint8_t* request, size_t length) {
    lastGatewayException_ = 0;
    answeredHere_ = false;
    requestLength_ = std::min(length, sizeof request_);
    std::memcpy(request_, request, requestLength_);
    // What this gateway does with a private function is known: asking again only costs the wait.
    if (requestLength_ >= 2 && IsPrivateFunction(request_[1]) &&
        (privatePath_ == PrivatePath::kRefused || privatePath_ == PrivatePath::kDropped)) {
        NoteRefused();
        answeredHere_ = true;
        return true;
    }
    ++transaction_;
    sentUnit_ = UnitOf(request_[0]);
    uint8_t frame[kMbapHeaderLength + 8];
    const size_t total = MbapFromRtu(transaction_, request_, requestLength_, frame, sizeof frame, sentUnit_);
    if (total == 0) return false;
    // Whatever is still queued (a reply given up on, part of a frame) belongs to an earlier request.
    device.Purge(true, false);
    sent_[transaction_ % kSentKept] = {transaction_, NetworkClockUs(), requestLength_};
    return device.Write(frame, total);
}

uint64_t MbapCodec::DeadlineUs(uint8_t expectedLength) const {
    const int32_t rate = commSettings.baudRate;
    const uint32_t allowanceMs = allowance_.Ms();
    const uint32_t slackMs = SegmentSlackMs(ReadTimeoutsFor(rate).intervalMs, allowanceMs);
    return sent_[transaction_ % kSentKept].atUs + 1000u * static_cast<uint64_t>(allowanceMs + slackMs) +
           LineTimeUs(requestLength_ + expectedLength, rate);
}

void MbapCodec::MeasureReply(uint16_t transaction, size_t pduLength) {
    const SentFrame& sent = sent_[transaction % kSentKept];
    if (sent.transaction != transaction || sent.atUs == 0) return;  // older than the frames kept
    // The gateway sends the reply once it has the whole of it from its line: address, PDU and CRC.
    const uint64_t lineUs = LineTimeUs(sent.rtuLength + pduLength + 3, commSettings.baudRate);
    const uint64_t tookUs = NetworkClockUs() - sent.atUs;
    allowance_.NoteReplyDelay(tookUs > lineUs ? tookUs - lineUs : 0);
}

void MbapCodec::NoteRefused() {
    if (requestLength_ < 4) return;
    const uint16_t address = Word(request_ + 2);
    if (std::find(refusedPrivate_.begin(), refusedPrivate_.end(), address) == refusedPrivate_.end())
        refusedPrivate_.push_back(address);
}

// The first private request tells: an "illegal function" exception is the gateway's refusal (the
// transmitter knows its own functions); no frame at all, not even the gateway's own word that the
// unit was silent, for a transmitter that has just answered a public request means it drops them.
void MbapCodec::LearnPrivatePath(size_t replyLength, const uint8_t* reply, bool connected) {
    const uint8_t function = request_[1];
    if (!IsPrivateFunction(function)) {
        lastAnswered_ = replyLength > 0 ? request_[0] : 0;
        return;
    }
    if (privatePath_ != PrivatePath::kUnknown) return;
    if (replyLength >= 5) {
        const bool refused = reply[1] == (function | kExceptionBit) && reply[2] == kIllegalFunction;
        privatePath_ = refused ? PrivatePath::kRefused : PrivatePath::kPassed;
    } else if (lastGatewayException_ == 0 && lastAnswered_ == request_[0] && connected) {
        privatePath_ = PrivatePath::kDropped;
    }
    if (privatePath_ == PrivatePath::kRefused || privatePath_ == PrivatePath::kDropped) NoteRefused();
}

size_t MbapCodec::Receive(SerialDevice& device, uint8_t* reply, size_t capacity, uint8_t expectedLength) {
    if (answeredHere_) {
        const uint8_t refusal[] = {static_cast<uint8_t>(request_[1] | kExceptionBit), kIllegalFunction};
        return RtuFromMbap(request_[0], refusal, sizeof refusal, reply, std::min<size_t>(capacity, 255));
    }
    const size_t length = ReceiveFrame(device, reply, capacity, expectedLength);
    device.SetReadTimeouts(PortReadTimeouts());
    LearnPrivatePath(length, reply, device.IsOpen());
    return length;
}

size_t MbapCodec::ReceiveFrame(SerialDevice& device, uint8_t* reply, size_t capacity, uint8_t expectedLength) {
    const uint32_t slackMs = SegmentSlackMs(ReadTimeoutsFor(commSettings.baudRate).intervalMs, allowance_.Ms());
    uint64_t deadlineUs = DeadlineUs(expectedLength);
    for (int skipped = 0; skipped <= kStaleRepliesSkipped; ++skipped) {
        uint8_t header[kMbapHeaderLength];
        if (!ReadBefore(device, header, sizeof header, deadlineUs, slackMs)) return 0;
        const uint16_t length = Word(header + 4);
        // Not an MBAP frame: the stream cannot be followed any further, so drop what is queued.
        if (Word(header + 2) != 0 || length < 2 || length > kMaxPdu + 1) {
            device.Purge(true, false);
            return 0;
        }
        uint8_t pdu[kMaxPdu];
        const size_t pduLength = length - 1u;
        if (!ReadBefore(device, pdu, pduLength, deadlineUs, slackMs)) return 0;
        MeasureReply(Word(header), pduLength);
        if (Word(header) != transaction_) {
            // The late reply to an earlier request: this frame's deadline stays, unless what that
            // reply showed of the gateway's pace moved it later.
            deadlineUs = std::max(deadlineUs, DeadlineUs(expectedLength));
            continue;
        }

        const uint8_t function = pdu[0];
        if ((function & kExceptionBit) && pduLength >= 2) {
            const uint8_t code = pdu[1];
            if (code == kGatewayPathUnavailable || code == kGatewayTargetNoResponse) {
                lastGatewayException_ = code;
                return 0;
            }
        }
        // A gateway that knows the transmitter by another unit answers with that unit.
        const uint8_t address = header[6] == sentUnit_ ? request_[0] : header[6];
        return RtuFromMbap(address, pdu, pduLength, reply, std::min<size_t>(capacity, 255));
    }
    return 0;
}
