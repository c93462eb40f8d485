// Raw TCP and RFC 2217 serial device servers behind the link's serial device seam.
#include "tcp_serial_device.h"

#include <algorithm>
#include <cstring>

#include "link_platform.h"
#include "serial_port.h"

namespace {
// Connecting and the server's confirmation of a rate are one-off waits, longer than a reply's.
const uint32_t kConnectMs = 3000;
const uint32_t kRateConfirmMs = 2000;

std::string HostAndPort(const TcpAddress& address) {
    const bool bracket = address.host.find(':') != std::string::npos;
    return (bracket ? "[" + address.host + "]" : address.host) + ":" + std::to_string(address.port);
}
}  // namespace

TcpSerialDevice::TcpSerialDevice(NetworkScheme scheme, uint32_t fixedAllowanceMs)
    : scheme_(scheme), allowance_(scheme == NetworkScheme::kModbusTcp, fixedAllowanceMs) {}

uint32_t TcpSerialDevice::MsSince(uint64_t us) const {
    const uint64_t now = LinkClockUs();
    return now > us ? static_cast<uint32_t>((now - us) / 1000u) : 0;
}

void TcpSerialDevice::NoteLost() {
    if (lost_) return;
    lost_ = true;
    problem_ = "a conexão com " + HostAndPort(address_) + " caiu";
}

bool TcpSerialDevice::Open(const char* portName) {
    // The connection kept from before a rate change serves again, unless it broke meanwhile.
    if (connection_.IsOpen() && name_ == portName) {
        open_ = true;
        return true;
    }
    open_ = false;
    lost_ = false;
    pending_.clear();
    lineRate_ = 0;
    name_.clear();
    if (!ParseTcpAddress(portName, &address_, &problem_) || address_.scheme != scheme_) return false;
    const uint64_t connectStart = LinkClockUs();
    if (!connection_.Connect(address_.host, address_.port, kConnectMs + allowance_.Ms(), &problem_)) return false;
    allowance_.NoteConnect(LinkClockUs() - connectStart);
    name_ = portName;
    telnet_.reset();
    if (scheme_ == NetworkScheme::kRfc2217) {
        telnet_.reset(new Rfc2217Stream);
        const Bytes opening = Rfc2217Stream::Opening();
        if (!connection_.Send(opening.data(), opening.size(), kConnectMs)) {
            NoteLost();
            return false;
        }
    }
    open_ = true;
    return true;
}

bool TcpSerialDevice::Configure(const char*, int32_t lineBaud) {
    if (!IsOpen()) return false;
    if (scheme_ == NetworkScheme::kModbusTcp) return true;  // the gateway's lines keep their own rates
    if (scheme_ == NetworkScheme::kRawTcp) {
        if (lineRate_ == 0) lineRate_ = lineBaud;
        return lineBaud == lineRate_;
    }
    if (lineBaud == lineRate_) return true;
    lineRate_ = 0;
    telnet_->ForgetBaud();
    const Bytes settings = Rfc2217Stream::SetLine(static_cast<uint32_t>(lineBaud));
    if (!connection_.Send(settings.data(), settings.size(), kRateConfirmMs)) {
        NoteLost();
        return false;
    }
    const uint64_t start = LinkClockUs();
    const uint32_t limit = kRateConfirmMs + allowance_.Ms();
    while (telnet_->ConfirmedBaud() == 0 && !telnet_->ComPortRefused()) {
        const uint32_t spent = MsSince(start);
        if (spent >= limit || !Pull(limit - spent)) break;
    }
    if (telnet_->ComPortRefused()) {
        problem_ = "o servidor não aceita mudar a taxa da linha (opção COM-PORT do RFC 2217)";
        return false;
    }
    if (telnet_->ConfirmedBaud() != static_cast<uint32_t>(lineBaud)) {
        problem_ =
            "o servidor não confirmou a taxa de " + std::to_string(lineBaud) + " bit/s (é um servidor RFC 2217?)";
        return false;
    }
    lineRate_ = lineBaud;
    return true;
}

bool TcpSerialDevice::Pull(uint32_t waitMs) {
    uint8_t raw[512];
    const long n = connection_.Receive(raw, sizeof raw, waitMs);
    if (n < 0) {
        NoteLost();
        return false;
    }
    if (n == 0) return true;
    const size_t before = pending_.size();
    Bytes answer;
    if (telnet_)
        telnet_->Feed(raw, static_cast<size_t>(n), &pending_, &answer);
    else
        pending_.insert(pending_.end(), raw, raw + n);
    if (pending_.size() > before) NoteReplyBytes(pending_.size() - before);
    if (!answer.empty() && !connection_.Send(answer.data(), answer.size(), kRateConfirmMs)) {
        NoteLost();
        return false;
    }
    return true;
}

void TcpSerialDevice::NoteReplyBytes(size_t count) {
    awaitingReply_ = false;
    replyBytes_ += count;
    // A gateway's frames are measured by its codec, which knows their length on the line.
    if (scheme_ == NetworkScheme::kModbusTcp || lineRate_ == 0 || firstTryUs_ == 0) return;
    // The request and the reply's bytes so far have left the line by now (a server may gather
    // many before it sends); what is left is the network's, and the transmitter's answer time. A
    // reply cannot tell which try of its request it answers: it counts from the first, the longer wait.
    const uint64_t lineUs = LineTimeUs(lastRequest_.size() + replyBytes_, lineRate_);
    const uint64_t tookUs = LinkClockUs() - firstTryUs_;
    allowance_.NoteReplyDelay(tookUs > lineUs ? tookUs - lineUs : 0);
}

void TcpSerialDevice::Purge(bool receiveSide, bool) {
    if (!receiveSide || !IsOpen()) return;
    // Whatever the server has already passed on belongs to an earlier exchange.
    while (connection_.IsOpen()) {
        const size_t before = pending_.size();
        if (!Pull(0) || pending_.size() == before) break;
    }
    pending_.clear();
}

bool TcpSerialDevice::SetReadTimeouts(const ReadTimeouts& timeouts) {
    readTimeouts_ = timeouts;
    return true;
}

bool TcpSerialDevice::SetWriteTimeouts(const WriteTimeouts& timeouts) {
    writeTimeouts_ = timeouts;
    return true;
}

bool TcpSerialDevice::Write(const uint8_t* bytes, size_t count) {
    if (!IsOpen()) return false;
    Bytes out;
    if (telnet_)
        Rfc2217Stream::AppendData(bytes, count, &out);
    else
        out.assign(bytes, bytes + count);
    const uint32_t limit =
        writeTimeouts_.perByteMs * static_cast<uint32_t>(count) + writeTimeouts_.constantMs + allowance_.Ms();
    const bool sent = connection_.Send(out.data(), out.size(), limit);
    if (!connection_.IsOpen()) NoteLost();
    sentAtUs_ = LinkClockUs();
    if (!awaitingReply_ || lastRequest_.size() != count || !std::equal(bytes, bytes + count, lastRequest_.begin()))
        firstTryUs_ = sentAtUs_;
    lastRequest_.assign(bytes, bytes + count);
    replyBytes_ = 0;
    awaitingReply_ = sent;
    return sent;
}

size_t TcpSerialDevice::Read(uint8_t* buffer, size_t maxCount) {
    if (!IsOpen() || maxCount == 0) return 0;
    const uint64_t start = LinkClockUs();
    uint64_t totalMs = static_cast<uint64_t>(readTimeouts_.perByteMs) * maxCount + readTimeouts_.constantMs;
    if (totalMs == 0) totalMs = readTimeouts_.intervalMs;
    uint64_t deadlineUs = start + totalMs * 1000u;
    // A gateway's codec gives each read the time left of its frame and the pause a frame may hold.
    const bool framed = scheme_ == NetworkScheme::kModbusTcp;
    const uint32_t allowanceMs = allowance_.Ms();
    // The network delays the start of the reply, not the line time of its bytes.
    if (awaitingReply_ && !framed) deadlineUs = std::max(deadlineUs, sentAtUs_ + (allowanceMs + totalMs) * 1000u);
    // Bytes of one reply may come in separate segments: the gap between them gets some slack too.
    const uint64_t gapUs =
        1000u * static_cast<uint64_t>(framed ? readTimeouts_.intervalMs
                                             : SegmentSlackMs(readTimeouts_.intervalMs, allowanceMs));

    size_t got = 0;
    uint64_t lastByteUs = start;
    for (;;) {
        const size_t take = std::min(pending_.size(), maxCount - got);
        if (take > 0) {
            std::memcpy(buffer + got, pending_.data(), take);
            pending_.erase(pending_.begin(), pending_.begin() + static_cast<long>(take));
            got += take;
        }
        if (got == maxCount) break;
        uint64_t limitUs = deadlineUs;
        if (got > 0 && readTimeouts_.intervalMs != 0) limitUs = std::min(limitUs, lastByteUs + gapUs);
        const uint64_t now = LinkClockUs();
        if (now >= limitUs) break;
        const size_t before = pending_.size();
        if (!Pull(static_cast<uint32_t>((limitUs - now + 999u) / 1000u))) break;
        if (pending_.size() > before) lastByteUs = LinkClockUs();
    }
    return got;
}
