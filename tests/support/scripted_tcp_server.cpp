// The scripted TCP server: a thread that accepts one client at a time and answers its requests as
// the script says.
#include "scripted_tcp_server.h"

#include <algorithm>
#include <cerrno>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
enum : uint8_t { kMbapHeader = 7, kRtuRequest = 8 };

uint16_t Word(const uint8_t* bytes) { return static_cast<uint16_t>((bytes[0] << 8) | bytes[1]); }

void PutWord(Bytes* out, uint16_t word) {
    out->push_back(static_cast<uint8_t>(word >> 8));
    out->push_back(static_cast<uint8_t>(word));
}

// The server runs beside the link in another thread, so it keeps to a CRC of its own: the link's
// works on the frame state of the thread that sends.
uint16_t Crc(const uint8_t* bytes, size_t count) {
    uint16_t crc = 0xFFFF;
    for (size_t i = 0; i < count; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1u) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
    }
    return crc;
}

// Waits until fd has bytes or wake is written to; false when stopping or the peer is gone.
bool WaitReadable(int fd, int wake) {
    pollfd entries[2] = {{fd, POLLIN, 0}, {wake, POLLIN, 0}};
    for (;;) {
        const int ready = poll(entries, 2, -1);
        if (ready < 0 && errno == EINTR) continue;
        return ready > 0 && !(entries[1].revents & POLLIN) && (entries[0].revents & (POLLIN | POLLHUP | POLLERR));
    }
}

bool ReadExactly(int fd, int wake, uint8_t* buffer, size_t count) {
    size_t got = 0;
    while (got < count) {
        if (!WaitReadable(fd, wake)) return false;
        const ssize_t n = recv(fd, buffer + got, count - got, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        got += static_cast<size_t>(n);
    }
    return true;
}

uint32_t Key(uint8_t unit, bool privateValue, uint16_t address) {
    return static_cast<uint32_t>(unit) << 17 | static_cast<uint32_t>(privateValue) << 16 | address;
}
}  // namespace

ScriptedTcpServer::ScriptedTcpServer(const ServerScript& script) : script_(script) {
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener_, 1) != 0 || getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
        pipe2(wake_, O_CLOEXEC) != 0)
        return;
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
}

ScriptedTcpServer::~ScriptedTcpServer() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    stopped_.notify_all();
    if (wake_[1] >= 0 && write(wake_[1], "x", 1) != 1) {
    }
    if (thread_.joinable()) thread_.join();
    for (int fd : {listener_, wake_[0], wake_[1]})
        if (fd >= 0) close(fd);
}

std::string ScriptedTcpServer::Url() const {
    return (script_.framing == ServerFraming::kMbap ? "modbus-tcp://127.0.0.1:" : "tcp://127.0.0.1:") +
           std::to_string(port_);
}

std::vector<Bytes> ScriptedTcpServer::Requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

size_t ScriptedTcpServer::RequestsWithFunction(uint8_t function) const {
    const size_t at = script_.framing == ServerFraming::kMbap ? kMbapHeader : 1;
    const std::vector<Bytes> requests = Requests();
    return static_cast<size_t>(std::count_if(requests.begin(), requests.end(), [&](const Bytes& frame) {
        return frame.size() > at && frame[at] == function;
    }));
}

bool ScriptedTcpServer::WaitUntilAnswered(size_t count, uint32_t limitMs) {
    std::unique_lock<std::mutex> lock(mutex_);
    return stopped_.wait_for(lock, std::chrono::milliseconds(limitMs), [&] { return answered_ >= count; });
}

int16_t ScriptedTcpServer::Holding(uint8_t unit, uint16_t reg) const {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = values_.find(Key(unit, false, reg));
    // Each register holds something of its own until written; register 8 is the identity, 1.
    if (found == values_.end()) return static_cast<int16_t>(reg == 8 ? 1 : 100 + reg);
    return found->second;
}

void ScriptedTcpServer::Serve() {
    while (!stopping_) {
        if (!WaitReadable(listener_, wake_[0])) return;
        const int fd = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        ServeConnection(fd);
        close(fd);
    }
}

void ScriptedTcpServer::ServeConnection(int fd) {
    Request request;
    while (!stopping_ && ReadRequest(fd, &request)) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            requests_.push_back(request.frame);
        }
        const Bytes reply = script_.answer ? script_.answer(request.frame) : Answer(request);
        switch (script_.mode) {
        case ServerMode::kPlain: SendPlain(fd, request, reply); break;
        case ServerMode::kSplitReply: SendSplit(fd, request, reply); break;
        case ServerMode::kLateOnce: SendLateOnce(fd, request, reply); break;
        case ServerMode::kEmptyUnits0B: SendEmptyUnits0B(fd, request, reply); break;
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            ++answered_;
        }
        stopped_.notify_all();
    }
}

bool ScriptedTcpServer::ReadRequest(int fd, Request* request) {
    request->frame.clear();
    if (script_.framing == ServerFraming::kRtu) {
        // Every request of the link is eight bytes: address, function, two words, CRC.
        request->frame.resize(kRtuRequest);
        if (!ReadExactly(fd, wake_[0], request->frame.data(), kRtuRequest)) return false;
        request->unit = request->frame[0];
        request->pdu.assign(request->frame.begin() + 1, request->frame.end() - 2);
        request->transaction = 0;
        return true;
    }
    uint8_t header[kMbapHeader];
    if (!ReadExactly(fd, wake_[0], header, sizeof header)) return false;
    const size_t length = Word(header + 4);
    if (length < 2 || length > 254) return false;
    request->frame.assign(header, header + kMbapHeader);
    request->pdu.resize(length - 1);
    if (!ReadExactly(fd, wake_[0], request->pdu.data(), request->pdu.size())) return false;
    request->frame.insert(request->frame.end(), request->pdu.begin(), request->pdu.end());
    request->unit = header[6];
    request->transaction = Word(header);
    return true;
}

Bytes ScriptedTcpServer::Frame(const Request& request, const Bytes& pdu) const {
    Bytes frame;
    if (script_.framing == ServerFraming::kRtu) {
        frame.push_back(request.unit);
        frame.insert(frame.end(), pdu.begin(), pdu.end());
        const uint16_t crc = Crc(frame.data(), frame.size());
        frame.push_back(static_cast<uint8_t>(crc));
        frame.push_back(static_cast<uint8_t>(crc >> 8));
        return frame;
    }
    PutWord(&frame, request.transaction);
    PutWord(&frame, 0);
    PutWord(&frame, static_cast<uint16_t>(pdu.size() + 1));
    frame.push_back(request.unit);
    frame.insert(frame.end(), pdu.begin(), pdu.end());
    return frame;
}

Bytes ScriptedTcpServer::Answer(const Request& request) {
    const Bytes pdu = TransmitterPdu(request);
    return pdu.empty() ? Bytes() : Frame(request, pdu);
}

// Functions 3 and 6 on the holding registers, 0x70 and 0x71 on the private values, as the
// transmitter answers them; the gateway's handling of the private ones first.
Bytes ScriptedTcpServer::TransmitterPdu(const Request& request) {
    if (!script_.units.count(request.unit) || request.pdu.size() < 5) return Bytes();
    const uint8_t function = request.pdu[0];
    const uint16_t address = Word(&request.pdu[1]);
    const uint16_t word = Word(&request.pdu[3]);
    const bool privateFunction = function == 0x70 || function == 0x71;
    if (privateFunction && script_.framing == ServerFraming::kMbap) {
        if (script_.privateFunctions == PrivateHandling::kDropped) return Bytes();
        if (script_.privateFunctions == PrivateHandling::kRefused)
            return Bytes{static_cast<uint8_t>(function | 0x80), 0x01};
    }
    Bytes pdu = {function};
    if (function == 3) {
        pdu.push_back(static_cast<uint8_t>(2 * word));
        for (uint16_t k = 0; k < word; ++k) PutWord(&pdu, static_cast<uint16_t>(Holding(request.unit, address + k)));
        return pdu;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    if (function == 0x70) {
        const auto found = values_.find(Key(request.unit, true, address));
        PutWord(&pdu, static_cast<uint16_t>(found == values_.end() ? 50 + address : found->second));
        return pdu;
    }
    if (function == 6 || function == 0x71) {
        values_[Key(request.unit, function == 0x71, address)] = static_cast<int16_t>(word);
        return request.pdu;  // the echo
    }
    return Bytes{static_cast<uint8_t>(function | 0x80), 0x01};
}

// A gateway gathers the whole reply from its line before it sends it; a device server passes the
// bytes on as they come, so the reply's first byte is what its line time delays there.
uint32_t ScriptedTcpServer::LineMs(const Request& request, const Bytes& reply) const {
    if (script_.lineBaud <= 0) return 0;
    const size_t rtuRequest = request.pdu.size() + 3;
    const size_t rtuReply =
        script_.framing == ServerFraming::kMbap ? (reply.size() > kMbapHeader ? reply.size() - 4 : 0) : reply.size();
    return static_cast<uint32_t>((rtuRequest + rtuReply) * 10000u / static_cast<uint32_t>(script_.lineBaud));
}

void ScriptedTcpServer::SendPlain(int fd, const Request& request, const Bytes& reply) {
    if (reply.empty()) return;
    Pause(LineMs(request, reply) + script_.replyDelayMs);
    SendAll(fd, reply.data(), reply.size());
}

void ScriptedTcpServer::SendSplit(int fd, const Request& request, const Bytes& reply) {
    if (reply.empty()) return;
    Pause(LineMs(request, reply) + script_.replyDelayMs);
    const size_t first = std::min<size_t>(reply.size(), script_.framing == ServerFraming::kMbap ? kMbapHeader : 3);
    if (!SendAll(fd, reply.data(), first)) return;
    Pause(kSplitPauseMs);
    SendAll(fd, reply.data() + first, reply.size() - first);
}

void ScriptedTcpServer::SendLateOnce(int fd, const Request& request, const Bytes& reply) {
    if (!lateSent_ && !reply.empty()) {
        lateSent_ = true;
        Pause(script_.lateMs);
    }
    SendPlain(fd, request, reply);
}

void ScriptedTcpServer::SendEmptyUnits0B(int fd, const Request& request, const Bytes& reply) {
    if (!reply.empty() || script_.units.count(request.unit)) {
        SendPlain(fd, request, reply);
        return;
    }
    // Nobody answered on the gateway's line: it says so once its own wait is over.
    Pause(script_.gatewayWaitMs);
    const Bytes silence = Frame(request, Bytes{static_cast<uint8_t>(request.pdu[0] | 0x80), 0x0B});
    SendAll(fd, silence.data(), silence.size());
}

void ScriptedTcpServer::Pause(uint32_t ms) {
    std::unique_lock<std::mutex> lock(mutex_);
    stopped_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stopping_.load(); });
}

bool ScriptedTcpServer::SendAll(int fd, const uint8_t* bytes, size_t count) {
    size_t sent = 0;
    while (sent < count) {
        const ssize_t n = send(fd, bytes + sent, count - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}
