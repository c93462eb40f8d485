// Routing of requests on the simulated line by speed and address.
#include "bus.h"

#include <algorithm>

#include "reply_on_wire.h"
#include "request_answer.h"

namespace orvisim {

namespace {
constexpr std::uint8_t kReadHolding = 0x03;
// A log nobody clears must not eat the machine during a long demo.
constexpr std::size_t kMaxLogEntries = 100000;
}  // namespace

int LineTimeMs(std::size_t byteCount, int baud) {
    if (baud <= 0) return 0;
    const long long micros = (static_cast<long long>(byteCount) * 10 * 1000000 + baud - 1) / baud;
    return static_cast<int>((micros + 999) / 1000);
}

int ReplyDelayMs(std::size_t byteCount, int baud) { return LineTimeMs(byteCount, baud) + 1; }

std::uint64_t ReplyDueMs(std::uint64_t firstByteMs, std::uint64_t heardMs, std::size_t requestBytes, int lineSpeed,
                         int delayMs) {
    const std::uint64_t requestEndMs = firstByteMs + static_cast<std::uint64_t>(LineTimeMs(requestBytes, lineSpeed));
    return std::max(requestEndMs, heardMs) + static_cast<std::uint64_t>(delayMs);
}

std::string HexFrame(const std::uint8_t* bytes, std::size_t size) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (std::size_t i = 0; i < size; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0x0F];
    }
    return text;
}

Bus::Bus(std::vector<DeviceSpec> startup, std::uint64_t nowMs) : startup_(std::move(startup)) { Reset(nowMs); }

void Bus::Reset(std::uint64_t nowMs) {
    transmitters_.clear();
    added_ = 0;
    for (const DeviceSpec& spec : startup_) Add(spec.address, spec.baud, nowMs);
    log_.clear();
    garbled_ = 0;
    faults_ = LineFaults{};
}

Transmitter* Bus::Find(int address) {
    for (auto& t : transmitters_) {
        if (t->Address() == address) return t.get();
    }
    return nullptr;
}

bool Bus::Add(int address, int baud, std::uint64_t nowMs) {
    if (Find(address) != nullptr) return false;
    Place(std::make_unique<Transmitter>(address, baud, nowMs));
    return true;
}

void Bus::Place(std::unique_ptr<Transmitter> transmitter) {
    // Every unit its own serial number (00012345, 00012346 ...), so that records of two can be told apart.
    SetSerialNumber(*transmitter, kFirstSerialNumber + added_++);
    transmitters_.push_back(std::move(transmitter));
}

bool Bus::Remove(int address) {
    auto it = std::find_if(transmitters_.begin(), transmitters_.end(),
                           [address](const std::unique_ptr<Transmitter>& t) { return t->Address() == address; });
    if (it == transmitters_.end()) return false;
    transmitters_.erase(it);
    return true;
}

std::vector<DeviceSpec> Bus::Devices() const {
    std::vector<DeviceSpec> devices;
    for (const auto& t : transmitters_) devices.push_back({t->Address(), t->Baud()});
    return devices;
}

void Bus::ClearLog() { log_.clear(); }

void Bus::Record(const std::uint8_t* frame) {
    if (log_.size() >= kMaxLogEntries) log_.erase(log_.begin());
    log_.push_back(HexFrame(frame, kRequestSize));
}

// The transmitter at this speed that answers: its own address, or for a broadcast read the lowest address.
Transmitter* Bus::Responder(int address, int lineSpeed) {
    Transmitter* chosen = nullptr;
    for (auto& t : transmitters_) {
        if (t->Baud() != lineSpeed) continue;
        if (address != 0 && t->Address() == address) return t.get();
        if (address == 0 && (chosen == nullptr || t->Address() < chosen->Address())) chosen = t.get();
    }
    return chosen;
}

std::optional<PendingReply> Bus::HandleFrame(const std::uint8_t* frame, int lineSpeed, std::uint64_t nowMs) {
    const int address = frame[0];
    Transmitter* responder = Responder(address, lineSpeed);
    if (responder == nullptr) {
        // Someone it was meant for heard noise: a wrong speed. Frames for nobody are simply not ours.
        if (address == 0 ? !transmitters_.empty() : Find(address) != nullptr) ++garbled_;
        return std::nullopt;
    }
    Record(frame);
    // Only reads are answered when sent to everyone; the host probes with them.
    if (address == 0 && frame[1] != kReadHolding) return std::nullopt;

    const int fromAddress = responder->Address();
    Answer answer = AnswerRequest(*responder, frame, nowMs);
    if (answer.silent) return std::nullopt;
    PendingReply reply;
    reply.fromAddress = fromAddress;
    reply.baud = lineSpeed;
    reply.delayMs = ReplyDelayMs(answer.bytes.size(), lineSpeed) + answer.extraDelayMs + responder->AnswerDelayMs();
    reply.paced = !answer.bytesAhead;
    Collide(*responder, lineSpeed, answer.bytes);
    PresentReply(*responder, faults_, answer.bytes);
    reply.bytes = std::move(answer.bytes);
    reply.newAddress = answer.newAddress;
    reply.newBaudCode = answer.newBaudCode;
    return reply;
}

bool Bus::AddTwin(int address, std::uint64_t nowMs) {
    const Transmitter* original = Find(address);
    if (original == nullptr) return false;
    // Another unit: another serial number, so that even identical requests get different replies.
    Place(std::make_unique<Transmitter>(address, original->Baud(), nowMs));
    return true;
}

void Bus::Collide(const Transmitter& responder, int lineSpeed, std::vector<std::uint8_t>& bytes) {
    for (const auto& t : transmitters_) {
        if (t.get() == &responder || t->Address() != responder.Address() || t->Baud() != lineSpeed) continue;
        // Two drivers on one pair: the idle-high line reads low wherever either pulls it low, and the
        // second starts a bit time later, so its bits land one place over.
        std::uint8_t carry = 0x01;
        for (std::uint8_t& byte : bytes) {
            const std::uint8_t shifted = static_cast<std::uint8_t>((byte << 1) | carry);
            carry = static_cast<std::uint8_t>(byte >> 7);
            byte = static_cast<std::uint8_t>(byte & shifted);
        }
        return;
    }
}

void Bus::ApplyAfterReply(const PendingReply& reply) {
    Transmitter* t = Find(reply.fromAddress);
    if (t == nullptr) return;
    if (reply.newBaudCode >= 0) t->SetRegister(kRegBaudCode, static_cast<std::uint16_t>(reply.newBaudCode));
    if (reply.newAddress >= 0) t->SetRegister(kRegAddress, static_cast<std::uint16_t>(reply.newAddress));
}

}  // namespace orvisim
