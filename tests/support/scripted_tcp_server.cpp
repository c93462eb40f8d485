// The scripted TCP server: a thread that accepts one client at a time and answers its requests as
// the script says, from a small table of registers and private values.
#include "scripted_tcp_server.h"

#include <algorithm>
#include <cerrno>
#include <chrono>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
enum : uint8_t { kIac = 255, kSb = 250, kSe = 240, kWill = 251, kWont = 252, kDo = 253, kDont = 254, kComPort = 44 };
enum { kRtuRequestBytes = 8, kMbapHeader = 7, kFloodChunk = 1 << 20 };
// How often a wait looks at whether the server is being stopped.
const uint32_t kStopLookMs = 20;

uint16_t Word(const uint8_t* bytes) { return static_cast<uint16_t>((bytes[0] << 8) | bytes[1]); }

void PushWord(Bytes* out, uint16_t word) {
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

uint32_t Key(uint8_t unit, bool privateValue, uint16_t address) {
    return static_cast<uint32_t>(unit) << 17 | static_cast<uint32_t>(privateValue) << 16 | address;
}

using Clock = std::chrono::steady_clock;

uint32_t MsSince(Clock::time_point start) {
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}
}  // namespace

ScriptedTcpServer::ScriptedTcpServer(const ServerScript& script) : script_(script) {
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener_, 4) != 0 || getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
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
    const char* scheme = script_.framing == ServerFraming::kMbap  ? "modbus-tcp://"
                         : script_.framing == ServerFraming::kRtu ? "tcp://"
                                                                  : "rfc2217://";
    return scheme + std::string("127.0.0.1:") + std::to_string(port_);
}

std::vector<Bytes> ScriptedTcpServer::Requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

size_t ScriptedTcpServer::RequestsWithFunction(uint8_t function) const {
    std::lock_guard<std::mutex> lock(mutex_);
    const size_t at = script_.framing == ServerFraming::kMbap ? kMbapHeader : 1;
    return static_cast<size_t>(std::count_if(requests_.begin(), requests_.end(), [&](const Bytes& request) {
        return request.size() > at && request[at] == function;
    }));
}

bool ScriptedTcpServer::WaitUntilAnswered(size_t count, uint32_t limitMs) {
    std::unique_lock<std::mutex> lock(mutex_);
    return stopped_.wait_for(lock, std::chrono::milliseconds(limitMs), [&] { return answered_ >= count; });
}

Bytes ScriptedTcpServer::ClientStream() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return clientStream_;
}

int ScriptedTcpServer::Connections() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return connections_;
}

int ScriptedTcpServer::IdleCloses() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return idleCloses_;
}

int ScriptedTcpServer::Closes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return closes_;
}

int16_t ScriptedTcpServer::Holding(uint8_t unit, uint16_t reg) const {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto found = values_.find(Key(unit, false, reg));
    // Each register holds something of its own until written; register 8 is the identity, 1.
    if (found == values_.end()) return static_cast<int16_t>(reg == 8 ? 1 : 100 + reg);
    return found->second;
}

bool ScriptedTcpServer::WaitReadable(int fd, uint32_t ms) {
    pollfd entries[2] = {{fd, POLLIN, 0}, {wake_[0], POLLIN, 0}};
    return !stopping_ && poll(entries, 2, static_cast<int>(ms)) > 0 && !stopping_ && (entries[0].revents != 0);
}

bool ScriptedTcpServer::SendAll(int fd, const uint8_t* bytes, size_t count) {
    size_t sent = 0;
    while (sent < count && !stopping_) {
        const ssize_t n = send(fd, bytes + sent, count - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            sent += static_cast<size_t>(n);
            bytesSent_ += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return false;
        pollfd entries[2] = {{fd, POLLOUT, 0}, {wake_[0], POLLIN, 0}};
        poll(entries, 2, static_cast<int>(kStopLookMs));
    }
    return sent == count;
}

void ScriptedTcpServer::Serve() {
    while (!stopping_) {
        pollfd entries[2] = {{listener_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        if (poll(entries, 2, -1) <= 0 || stopping_) continue;
        const int fd = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            ++connections_;
        }
        received_.clear();
        line_.clear();
        telnetState_ = 0;
        telnetSub_.clear();
        ServeConnection(fd);
        close(fd);
        std::lock_guard<std::mutex> lock(mutex_);
        ++closes_;
    }
}

void ScriptedTcpServer::ServeConnection(int fd) {
    // A Telnet server opens with its own wishes, as ser2net does: go-ahead suppressed both ways,
    // echo offered, binary and the COM-port option asked for.
    if (script_.framing == ServerFraming::kRfc2217)
        SendAll(fd,
                Bytes{kIac, kWill, 3, kIac, kDo, 3, kIac, kWill, 1, kIac, kDo, 0, kIac, kWill, 0, kIac, kDo, kComPort});
    switch (script_.mode) {
    case ServerMode::kBusyBanner: return ServeBusyBanner(fd);
    case ServerMode::kFlood: return ServeFlood(fd);
    default: return ServeRequests(fd);
    }
}

void ScriptedTcpServer::ServeBusyBanner(int fd) {
    SendAll(fd, reinterpret_cast<const uint8_t*>(script_.busyText.data()), script_.busyText.size());
    // An orderly close: the words and then the end, and what the client said meanwhile read and
    // dropped (closing on unread bytes would reset the connection and could take the words along).
    shutdown(fd, SHUT_WR);
    const Clock::time_point start = Clock::now();
    uint8_t bytes[512];
    while (MsSince(start) < 1000 && WaitReadable(fd, kStopLookMs))
        if (recv(fd, bytes, sizeof bytes, 0) <= 0) break;
}

void ScriptedTcpServer::ServeFlood(int fd) {
    // Blocking sends into a large buffer, so that the client finds plenty waiting and more coming. A
    // send gives up after a moment, so that the server can be stopped while a client reads nothing.
    const int buffer = 4 << 20;
    setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &buffer, sizeof buffer);
    const timeval moment = {0, 100000};
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &moment, sizeof moment);
    const Bytes chunk(kFloodChunk, 0x55);
    const Clock::time_point start = Clock::now();
    while (!stopping_ && MsSince(start) < script_.floodMs) {
        const ssize_t n = send(fd, chunk.data(), chunk.size(), MSG_NOSIGNAL);
        if (n > 0) bytesSent_ += static_cast<size_t>(n);
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) return;
    }
}

void ScriptedTcpServer::ServeRequests(int fd) {
    const uint32_t idleMs = script_.mode == ServerMode::kCloseWhenIdle ? script_.idleMs : 0;
    for (;;) {
        Request request;
        const Got got = ReadRequest(fd, &request, idleMs);
        if (got == Got::kGone) return;
        if (got == Got::kIdle) {
            std::lock_guard<std::mutex> lock(mutex_);
            ++idleCloses_;
            return;
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            requests_.push_back(request.frame);
        }
        if (script_.resetOnFunction && !request.pdu.empty() && request.pdu[0] == script_.resetOnFunction) {
            // A reset, not an orderly close: the client learns of it as a broken connection.
            const linger abort = {1, 0};
            setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
            return;
        }
        const Bytes reply = script_.answer ? script_.answer(request.frame) : Answer(request);
        switch (script_.mode) {
        case ServerMode::kSplitReply: SendSplit(fd, request, reply); break;
        case ServerMode::kLateOnce: SendLateOnce(fd, request, reply); break;
        case ServerMode::kEmptyUnits0B: SendEmptyUnits0B(fd, request, reply); break;
        default: SendPlain(fd, request, reply); break;
        }
        if (!reply.empty() && script_.framing == ServerFraming::kRfc2217 && script_.linestateAfterReply)
            SendAll(fd, Bytes{kIac, kSb, kComPort, 106, script_.linestateAfterReply, kIac, kSe});
        {
            std::lock_guard<std::mutex> lock(mutex_);
            ++answered_;
        }
        stopped_.notify_all();
    }
}

ScriptedTcpServer::Got ScriptedTcpServer::ReadRequest(int fd, Request* request, uint32_t idleMs) {
    const Clock::time_point start = Clock::now();
    for (;;) {
        if (script_.framing == ServerFraming::kMbap && received_.size() >= kMbapHeader &&
            received_.size() >= kMbapHeader + Word(&received_[4]) - 1u) {
            const size_t total = kMbapHeader + Word(&received_[4]) - 1u;
            request->frame.assign(received_.begin(), received_.begin() + static_cast<long>(total));
            request->transaction = Word(&received_[0]);
            request->unit = received_[6];
            request->pdu.assign(received_.begin() + kMbapHeader, received_.begin() + static_cast<long>(total));
            received_.erase(received_.begin(), received_.begin() + static_cast<long>(total));
            return Got::kRequest;
        }
        if (script_.framing != ServerFraming::kMbap && TakeRtuRequest(request)) return Got::kRequest;
        const uint32_t spent = MsSince(start);
        if (idleMs && spent >= idleMs) return Got::kIdle;
        if (stopping_) return Got::kGone;
        const uint32_t wait = idleMs ? std::min(idleMs - spent, kStopLookMs) : kStopLookMs;
        if (!WaitReadable(fd, wait)) continue;
        uint8_t bytes[4096];
        const ssize_t n = recv(fd, bytes, sizeof bytes, 0);
        if (n <= 0) return Got::kGone;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            clientStream_.insert(clientStream_.end(), bytes, bytes + n);
        }
        if (script_.framing == ServerFraming::kRfc2217)
            FeedTelnet(fd, bytes, static_cast<size_t>(n));
        else
            received_.insert(received_.end(), bytes, bytes + n);
    }
}

bool ScriptedTcpServer::TakeRtuRequest(Request* request) {
    Bytes& data = script_.framing == ServerFraming::kRfc2217 ? line_ : received_;
    if (data.size() < kRtuRequestBytes) return false;
    request->frame.assign(data.begin(), data.begin() + kRtuRequestBytes);
    request->unit = data[0];
    request->pdu.assign(data.begin() + 1, data.begin() + kRtuRequestBytes - 2);
    request->transaction = 0;
    data.erase(data.begin(), data.begin() + kRtuRequestBytes);
    return true;
}

void ScriptedTcpServer::FeedTelnet(int fd, const uint8_t* bytes, size_t count) {
    enum { kData, kIacSeen, kOption, kSub, kSubIac };
    for (size_t i = 0; i < count; ++i) {
        const uint8_t byte = bytes[i];
        switch (telnetState_) {
        case kData:
            if (byte == kIac)
                telnetState_ = kIacSeen;
            else
                line_.push_back(byte);
            break;
        case kIacSeen:
            if (byte == kIac) {
                line_.push_back(byte);
                telnetState_ = kData;
            } else if (byte >= kWill) {
                telnetState_ = kOption;
            } else if (byte == kSb) {
                telnetSub_.clear();
                telnetState_ = kSub;
            } else {
                telnetState_ = kData;
            }
            break;
        case kOption: telnetState_ = kData; break;  // the server asked for what it wants at the start
        case kSub:
            if (byte == kIac)
                telnetState_ = kSubIac;
            else
                telnetSub_.push_back(byte);
            break;
        case kSubIac:
            if (byte == kSe) {
                AnswerComPort(fd, telnetSub_);
                telnetState_ = kData;
            } else {
                telnetSub_.push_back(byte);
                telnetState_ = kSub;
            }
            break;
        }
    }
}

void ScriptedTcpServer::AnswerComPort(int fd, const Bytes& sub) {
    if (sub.size() < 3 || sub[0] != kComPort) return;
    Bytes value(sub.begin() + 2, sub.end());
    if (sub[1] == 3 && script_.keptParity) value.assign(1, script_.keptParity);
    Bytes answer = {kIac, kSb, kComPort, static_cast<uint8_t>(sub[1] + 100)};
    for (uint8_t byte : value) {
        answer.push_back(byte);
        if (byte == kIac) answer.push_back(kIac);
    }
    answer.insert(answer.end(), {kIac, kSe});
    SendAll(fd, answer);
}

Bytes ScriptedTcpServer::Frame(const Request& request, const Bytes& pdu) const {
    Bytes frame;
    if (script_.framing == ServerFraming::kMbap) {
        PushWord(&frame, request.transaction);
        PushWord(&frame, 0);
        PushWord(&frame, static_cast<uint16_t>(pdu.size() + 1));
        frame.push_back(request.unit);
        frame.insert(frame.end(), pdu.begin(), pdu.end());
        return frame;
    }
    Bytes rtu = {request.unit};
    rtu.insert(rtu.end(), pdu.begin(), pdu.end());
    const uint16_t crc = Crc(rtu.data(), rtu.size());
    rtu.push_back(static_cast<uint8_t>(crc));
    rtu.push_back(static_cast<uint8_t>(crc >> 8));
    if (script_.framing == ServerFraming::kRtu) return rtu;
    for (uint8_t byte : rtu) {
        frame.push_back(byte);
        if (byte == kIac) frame.push_back(kIac);
    }
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
        if (word == 0 || word > 125) return Bytes{static_cast<uint8_t>(function | 0x80), 3};
        pdu.push_back(static_cast<uint8_t>(2 * word));
        for (uint16_t k = 0; k < word; ++k) PushWord(&pdu, static_cast<uint16_t>(Holding(request.unit, address + k)));
        return pdu;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    if (function == 0x70) {
        const auto found = values_.find(Key(request.unit, true, address));
        PushWord(&pdu, static_cast<uint16_t>(found == values_.end() ? 50 + address : found->second));
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
