// MBAP framing of the link's requests and replies for a Modbus TCP gateway.
#include "mbap_codec.h"

#include <algorithm>
#include <cstring>

#include "rtu_frame.h"

namespace {
enum : uint8_t { kExceptionBit = 0x80, kIllegalFunction = 1 };
// Replies to earlier requests that timed out may still arrive: a few are skipped, not more.
enum { kStaleRepliesSkipped = 4, kMaxPdu = 253 };

uint16_t Word(const uint8_t* bytes) { return static_cast<uint16_t>((bytes[0] << 8) | bytes[1]); }

bool IsPrivateFunction(uint8_t function) { return function == 0x70 || function == 0x71; }
}  // namespace

size_t MbapFromRtu(uint16_t transaction, const uint8_t* request, size_t length, uint8_t* out, size_t capacity) {
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
    out[6] = request[0];
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

std::string GatewayExceptionText(uint8_t code, unsigned address) {
    const std::string n = std::to_string(address);
    if (code == kGatewayPathUnavailable) return "o gateway não tem caminho para o endereço " + n;
    if (code == kGatewayTargetNoResponse) return "o transmissor " + n + " não respondeu ao gateway";
    return "";
}

bool MbapCodec::Send(SerialDevice& device, const uint8_t* request, size_t length) {
    lastGatewayException_ = 0;
    requestLength_ = std::min(length, sizeof request_);
    std::memcpy(request_, request, requestLength_);
    ++transaction_;
    uint8_t frame[kMbapHeaderLength + 8];
    const size_t total = MbapFromRtu(transaction_, request_, requestLength_, frame, sizeof frame);
    if (total == 0) return false;
    // Whatever is still queued (a reply given up on, part of a frame) belongs to an earlier request.
    device.Purge(true, false);
    return device.Write(frame, total);
}

size_t MbapCodec::Receive(SerialDevice& device, uint8_t* reply, size_t capacity, uint8_t) {
    for (int skipped = 0; skipped <= kStaleRepliesSkipped; ++skipped) {
        uint8_t header[kMbapHeaderLength];
        if (device.Read(header, sizeof header) != sizeof header) return 0;
        const uint16_t length = Word(header + 4);
        // Not an MBAP frame: the stream cannot be followed any further, so drop what is queued.
        if (Word(header + 2) != 0 || length < 2 || length > kMaxPdu + 1) {
            device.Purge(true, false);
            return 0;
        }
        uint8_t pdu[kMaxPdu];
        const size_t pduLength = length - 1u;
        if (device.Read(pdu, pduLength) != pduLength) return 0;
        if (Word(header) != transaction_) continue;  // the late reply to an earlier request

        const uint8_t function = pdu[0];
        if ((function & kExceptionBit) && pduLength >= 2) {
            const uint8_t code = pdu[1];
            if (code == kGatewayPathUnavailable || code == kGatewayTargetNoResponse) {
                lastGatewayException_ = code;
                return 0;
            }
            const uint8_t asked = static_cast<uint8_t>(function & ~kExceptionBit);
            if (code == kIllegalFunction && IsPrivateFunction(asked) && requestLength_ >= 4 && request_[1] == asked) {
                const uint16_t address = Word(request_ + 2);
                if (std::find(refusedPrivate_.begin(), refusedPrivate_.end(), address) == refusedPrivate_.end())
                    refusedPrivate_.push_back(address);
            }
        }
        return RtuFromMbap(header[6], pdu, pduLength, reply, std::min<size_t>(capacity, 255));
    }
    return 0;
}
