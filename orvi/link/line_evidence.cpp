// Keeping what a line shows: fixed tables filled by the frame layer on every transaction.
#include "line_evidence.h"

#include <cstring>
#include <initializer_list>

#include "link_error.h"
#include "rtu_frame.h"

namespace {
// Upper edges of the buckets: 250 us, then a third of an octave each (about 12 s at the top).
const uint32_t* BucketEdges() {
    static const struct Edges {
        uint32_t us[TimeSpread::kBuckets];
        Edges() {
            double edge = 250.0;
            for (uint32_t& value : us) {
                value = static_cast<uint32_t>(edge + 0.5);
                edge *= 1.2599210498948732;  // 2 ^ (1/3)
            }
        }
    } edges;
    return edges.us;
}

uint16_t CrcStep(uint16_t crc, uint8_t byte) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) crc = (crc & 1u) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
    return crc;
}

bool CrcHolds(const uint8_t* frame, size_t length) {
    if (length < 4) return false;
    const uint16_t crc = Crc16(frame, length - 2);
    return frame[length - 2] == static_cast<uint8_t>(crc) && frame[length - 1] == static_cast<uint8_t>(crc >> 8);
}

// The bytes of the reply to request that are known before it comes: for a read its address,
// function and byte count; for a write all of it (the echo).
size_t KnownReply(const uint8_t* request, size_t requestLength, uint8_t* known) {
    if (requestLength < 2) return 0;
    known[0] = request[0];
    known[1] = request[1];
    switch (request[1]) {
    case 3:
    case 4:
        if (requestLength < 6) return 2;
        known[2] = static_cast<uint8_t>(2u * request[5]);
        return 3;
    case 5:
    case 6:
    case 0x71: std::memcpy(known, request, requestLength); return requestLength;
    default: return 2;
    }
}

bool OddOnes(uint8_t byte) {
    byte ^= byte >> 4;
    byte ^= byte >> 2;
    byte ^= byte >> 1;
    return (byte & 1u) != 0;
}

// With even parity the bit after the data is 1 for bytes with an odd count of ones; with odd parity
// for bytes with an even count. A 0 there is a missing stop bit to an 8N1 receiver.
bool Survives(uint8_t byte, bool evenParity) { return OddOnes(byte) == evenParity; }

uint32_t Fnv(const uint8_t* bytes, size_t count) {
    uint32_t hash = 2166136261u;
    for (size_t i = 0; i < count; ++i) hash = (hash ^ bytes[i]) * 16777619u;
    return hash;
}

// A reply that lacks its first bytes: the known head put back in front makes a frame whose CRC holds.
bool HeadLost(const uint8_t* bytes, size_t count, size_t length, const uint8_t* request, size_t requestLength) {
    if (count < 2 || count >= length) return false;
    uint8_t known[16];
    const size_t knownLength = KnownReply(request, requestLength, known);
    const size_t lost = length - count;
    if (lost > knownLength) return false;
    uint8_t whole[256];
    std::memcpy(whole, known, lost);
    std::memcpy(whole + lost, bytes, count);
    return CrcHolds(whole, length);
}

void NoteShort(AddressEvidence& at, size_t lacking) {
    const uint8_t by = static_cast<uint8_t>(lacking > 255 ? 255 : lacking);
    at.shortBySame = (at.shortFrames > 0 && at.shortBy == by) ? at.shortBySame + 1 : 1;
    at.shortBy = by;
    ++at.shortFrames;
}

void NoteFailedReply(AddressEvidence& at, const uint8_t* bytes, size_t count) {
    const uint32_t hash = Fnv(bytes, count);
    if (at.lastFailureHash == hash) ++at.repeatedFailures;
    at.lastFailureHash = hash;
}

// A read that ended before a whole reply: silence, breaks alone, our cut echo, or a reply without its head.
void NoteIncomplete(LineEvidence& evidence, AddressEvidence& at, const ReplyLead& lead, const ReplyHeard& heard) {
    const size_t rest = heard.arrived - lead.skip;
    if (heard.arrived == 0) {
        ++at.silences;
    } else if (rest > 0 && rest == lead.zeros) {
        ++evidence.zeroAlone;
    } else if (rest == 0) {
        // Nothing but our echo came back.
        if (lead.echo == ReplyLead::kWholeEcho) ++at.silences;
    } else if (HeadLost(heard.bytes + lead.skip, rest, heard.replyLength, heard.request, heard.requestLength)) {
        ++at.headLost;
        at.headLostBytes = static_cast<uint8_t>(heard.replyLength - rest);
        NoteShort(at, heard.replyLength - rest);
    } else {
        NoteShort(at, heard.replyLength - rest);
        NoteFailedReply(at, heard.bytes + lead.skip, rest);
    }
}
}  // namespace

void TimeSpread::Add(uint32_t us) {
    const uint32_t* edges = BucketEdges();
    int bucket = 0;
    while (bucket < kBuckets - 1 && us > edges[bucket]) ++bucket;
    ++counts[bucket];
    ++samples;
}

uint32_t TimeSpread::PercentileUs(unsigned percent) const {
    if (samples == 0) return 0;
    const uint64_t rank = (static_cast<uint64_t>(samples) * percent + 99u) / 100u;
    uint64_t seen = 0;
    for (int bucket = 0; bucket < kBuckets; ++bucket) {
        seen += counts[bucket];
        if (seen >= rank && seen > 0) return BucketEdges()[bucket];
    }
    return BucketEdges()[kBuckets - 1];
}

AddressEvidence& LineEvidence::At(uint8_t address) {
    AddressEvidence* oldest = &addresses[0];
    for (AddressEvidence& slot : addresses) {
        if (slot.address == address) return slot;
        if (slot.address == 0) {
            slot.address = address;
            return slot;
        }
        if (slot.requests < oldest->requests) oldest = &slot;
    }
    // Full: the address asked least gives its place.
    *oldest = AddressEvidence();
    oldest->address = address;
    return *oldest;
}

const AddressEvidence* LineEvidence::Find(uint8_t address) const {
    for (const AddressEvidence& slot : addresses)
        if (slot.address == address && address != 0) return &slot;
    return nullptr;
}

ReplyLead ReadLead(const uint8_t* bytes, size_t arrived, const uint8_t* request, size_t requestLength,
                   uint8_t replyLength) {
    ReplyLead lead;
    size_t same = 0;
    while (same < arrived && same < requestLength && bytes[same] == request[same]) ++same;
    const bool read = requestLength > 1 && request[1] != 5 && request[1] != 6 && request[1] != 0x71;
    // A write's good reply is a copy of its request: only more than that shows an echo ahead.
    if (same == requestLength && (arrived > requestLength || read)) {
        lead.echo = ReplyLead::kWholeEcho;
        lead.skip = requestLength;
    } else if (same > 0 && same == arrived && arrived < requestLength) {
        lead.echo = ReplyLead::kCutEcho;
        lead.skip = arrived;
    }
    // Breaks (0x00) after the echo: ahead of a whole reply, or all there is.
    const size_t rest = arrived - lead.skip;
    const size_t ahead = rest > replyLength ? rest - replyLength : rest < replyLength ? rest : 0;
    size_t zeros = 0;
    while (zeros < ahead && bytes[lead.skip + zeros] == 0) ++zeros;
    if (zeros == ahead) lead.zeros = zeros;
    return lead;
}

bool OnParityPattern(const uint8_t* reply, size_t length, const uint8_t* request, size_t requestLength) {
    uint8_t known[16];
    const size_t knownLength = KnownReply(request, requestLength, known);
    size_t zeros = 0;
    for (size_t i = 0; i < length; ++i) zeros += reply[i] == 0;
    if (zeros == 0) return false;
    for (const bool even : {true, false}) {
        bool fits = true;
        for (size_t i = 0; i < length && fits; ++i) {
            if (i < knownLength)
                fits = reply[i] == (Survives(known[i], even) ? known[i] : 0);
            else
                fits = reply[i] == 0 || Survives(reply[i], even);
        }
        if (fits) return true;
    }
    return false;
}

void NoteReply(LineEvidence& evidence, const ReplyLead& lead, const ReplyHeard& heard) {
    if (!evidence.collecting || heard.requestLength == 0) return;
    ++evidence.transactions;
    AddressEvidence& at = evidence.At(heard.request[0]);
    ++at.requests;
    if (heard.lineErrors) ++at.lineErrorReplies;
    if (lead.echo == ReplyLead::kWholeEcho) ++evidence.echoWhole;
    if (lead.echo == ReplyLead::kCutEcho) {
        ++evidence.echoCut;
        evidence.echoCutBytes = static_cast<uint8_t>(lead.skip);
    }
    const bool whole = heard.arrived >= heard.replyLength && heard.replyLength > 0;
    if (whole && lead.zeros > 0) ++at.zeroAhead;
    switch (heard.result) {
    case kLinkOk:
        ++at.goodReplies;
        if (lead.echo == ReplyLead::kNoEcho) ++evidence.echoNone;
        if (heard.endUs) {
            at.replyEnd.Add(heard.endUs);
            at.replyStart.Add(heard.endUs > heard.lineTimeUs ? heard.endUs - heard.lineTimeUs : 0u);
        }
        break;
    case kLinkBadCrc:
        ++at.crcFailures;
        if (OnParityPattern(heard.bytes, heard.replyLength, heard.request, heard.requestLength)) ++at.parityPattern;
        NoteFailedReply(at, heard.bytes, heard.replyLength);
        break;
    case kLinkWrongAddress: ++at.wrongAddresses; break;
    case kLinkException: ++at.exceptions; break;
    case kLinkTimeout:
        if (heard.gatewayException) {
            ++at.gatewayNoPath;
        } else if (whole) {
            ++at.silences;
        } else {
            NoteIncomplete(evidence, at, lead, heard);
        }
        break;
    default: break;
    }
}

void NoteUnasked(LineEvidence& evidence, const uint8_t* bytes, size_t count, const uint8_t* lastRequest,
                 size_t lastRequestLength) {
    if (!evidence.collecting || count == 0) return;
    evidence.unaskedBytes += static_cast<uint32_t>(count);
    ++evidence.unaskedTimes;
    // Kept: the last bytes, oldest first.
    for (size_t i = 0; i < count; ++i) {
        if (evidence.unaskedLength == LineEvidence::kUnaskedKept) {
            std::memmove(evidence.unasked, evidence.unasked + 1, LineEvidence::kUnaskedKept - 1);
            --evidence.unaskedLength;
        }
        evidence.unasked[evidence.unaskedLength++] = bytes[i];
    }
    // Whole frames among them: our last request's late reply, or someone else's traffic.
    for (size_t start = 0; start + 4 <= count;) {
        uint16_t crc = 0xFFFF;
        size_t found = 0;
        for (size_t end = start; end + 2 < count && found == 0; ++end) {
            crc = CrcStep(crc, bytes[end]);
            const size_t length = end + 3 - start;
            if (length >= 4 && bytes[end + 1] == static_cast<uint8_t>(crc) &&
                bytes[end + 2] == static_cast<uint8_t>(crc >> 8))
                found = length;
        }
        if (found == 0) {
            ++start;
            continue;
        }
        const bool ours =
            lastRequestLength >= 2 && bytes[start] == lastRequest[0] && (bytes[start + 1] & 0x7Fu) == lastRequest[1];
        if (ours)
            ++evidence.At(lastRequest[0]).lateReplies;
        else
            ++evidence.unaskedFrames;
        start += found;
    }
}
