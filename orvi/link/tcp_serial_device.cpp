// Raw TCP and RFC 2217 serial device servers behind the link's serial device seam.
#include "tcp_serial_device.h"

#include <algorithm>
#include <cstring>

#include "frame_observer.h"
#include "network_wait.h"
#include "serial_port.h"

namespace {
// Connecting and the server's confirmation of the line settings are one-off waits, longer than a reply's.
const uint32_t kConnectMs = 3000;
const uint32_t kRateConfirmMs = 2000;
// A purge drops at most this much, for at most this long: stale replies are a few hundred bytes,
// and a server that never stops sending must not hold the program.
const size_t kPurgeBytes = 16384;
const uint32_t kPurgeMs = 50;
// How much of the last line data is kept for the server's words, and how long they may be.
const size_t kRecentBytes = 256;
const size_t kWordsShown = 120;

std::string HostAndPort(const TcpAddress& address) {
    const bool bracket = address.host.find(':') != std::string::npos;
    return (bracket ? "[" + address.host + "]" : address.host) + ":" + std::to_string(address.port);
}

bool Printable(uint8_t byte) { return (byte >= 0x20 && byte < 0x7F) || byte == '\r' || byte == '\n' || byte == '\t'; }

bool IsLetter(uint8_t byte) { return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z'); }
}  // namespace

TcpSerialDevice::TcpSerialDevice(NetworkScheme scheme, uint32_t fixedAllowanceMs)
    : scheme_(scheme), allowance_(scheme == NetworkScheme::kModbusTcp, fixedAllowanceMs) {}

uint32_t TcpSerialDevice::MsSince(uint64_t us) const {
    const uint64_t now = NetworkClockUs();
    return now > us ? static_cast<uint32_t>((now - us) / 1000u) : 0;
}

LineErrors TcpSerialDevice::ServerLineErrors() const {
    LineErrors errors = earlierErrors_;
    if (telnet_) {
        errors.parity += telnet_->Errors().parity;
        errors.framing += telnet_->Errors().framing;
        errors.overrun += telnet_->Errors().overrun;
    }
    return errors;
}

// Words end the line data (a server's message ends with its line break) and read as such: no
// control bytes, a space between words, letters. An RTU reply almost never ends so.
std::string TcpSerialDevice::ServerWords() const {
    size_t start = recent_.size();
    while (start > 0 && Printable(recent_[start - 1])) --start;
    std::string words;
    for (size_t i = start; i < recent_.size(); ++i) {
        const char c = static_cast<char>(recent_[i]);
        const bool space = c == '\r' || c == '\n' || c == '\t' || c == ' ';
        if (space && (words.empty() || words.back() == ' ')) continue;
        words += space ? ' ' : c;
    }
    while (!words.empty() && words.back() == ' ') words.pop_back();
    const long letters = std::count_if(words.begin(), words.end(), [](char c) { return IsLetter(c); });
    if (words.size() < 6 || letters < 3 || words.find(' ') == std::string::npos) return "";
    return words.size() > kWordsShown ? words.substr(0, kWordsShown) + "..." : words;
}

void TcpSerialDevice::NoteClosed() {
    const std::string words = ServerWords();
    if (!words.empty()) {
        lost_ = true;
        problem_ = "o servidor fechou a conexão: " + words;
        return;
    }
    const std::string& why = connection_.Problem();
    problem_ = "a conexão com " + HostAndPort(address_) + " caiu" + (why.empty() ? "" : " (" + why + ")");
    if (inFlight_) lost_ = true;
}

void TcpSerialDevice::NoteSendBroke() {
    // What arrived before the failed send may be the server's reason: read it, then the end.
    while (Pull(0) > 0) {
    }
}

bool TcpSerialDevice::SendBytes(const Bytes& bytes, uint32_t limitMs, size_t* handed) {
    size_t taken = 0;
    const bool sent = connection_.Send(bytes.data(), bytes.size(), limitMs, &taken);
    if (taken && observer_) observer_(FrameDirection::Sent, bytes.data(), taken);
    if (handed) *handed = taken;
    return sent;
}

long TcpSerialDevice::Pull(uint32_t waitMs) {
    uint8_t raw[4096];
    const long n = connection_.Receive(raw, sizeof raw, waitMs);
    if (n < 0) {
        NoteClosed();
        return -1;
    }
    if (n == 0) return 0;
    if (observer_) observer_(FrameDirection::Received, raw, static_cast<size_t>(n));
    const size_t before = pending_.size();
    Bytes answer;
    if (telnet_)
        telnet_->Feed(raw, static_cast<size_t>(n), &pending_, &answer);
    else
        pending_.insert(pending_.end(), raw, raw + n);
    if (pending_.size() > before) NoteReplyBytes(pending_.size() - before);
    recent_.insert(recent_.end(), pending_.begin() + static_cast<long>(before), pending_.end());
    if (recent_.size() > kRecentBytes) recent_.erase(recent_.begin(), recent_.end() - static_cast<long>(kRecentBytes));
    // What arrived is kept for the reader even when answering the negotiation finds the connection broken.
    if (!answer.empty() && !SendBytes(answer, kRateConfirmMs) && !connection_.IsOpen()) NoteSendBroke();
    return n;
}

bool TcpSerialDevice::Connect() {
    if (telnet_) {
        const LineErrors& errors = telnet_->Errors();
        earlierErrors_.parity += errors.parity;
        earlierErrors_.framing += errors.framing;
        earlierErrors_.overrun += errors.overrun;
    }
    telnet_.reset();
    pending_.clear();
    recent_.clear();
    inFlight_ = false;
    awaitingReply_ = false;
    const uint64_t connectStart = NetworkClockUs();
    if (!connection_.Connect(address_.host, address_.port, kConnectMs + allowance_.Ms(), &problem_)) return false;
    allowance_.NoteConnect(NetworkClockUs() - connectStart);
    if (scheme_ == NetworkScheme::kRfc2217) {
        telnet_.reset(new Rfc2217Stream);
        if (!SendBytes(Rfc2217Stream::Opening(), kConnectMs)) {
            problem_ = "a conexão com " + HostAndPort(address_) + " caiu ao abrir (" + connection_.Problem() + ")";
            connection_.Close();
            return false;
        }
    }
    return true;
}

bool TcpSerialDevice::Reconnect() {
    if (lost_) return false;
    const std::string dropped = problem_;
    const int32_t rate = lineRate_;
    if (!Connect() || (scheme_ == NetworkScheme::kRfc2217 && rate != 0 && !ApplyLine(rate))) {
        lost_ = true;
        problem_ = dropped + "; nova conexão: " + problem_;
        connection_.Close();
        return false;
    }
    ++reconnections_;
    return true;
}

bool TcpSerialDevice::Open(const char* portName) {
    // The connection kept from before a rate change serves again, unless it broke meanwhile.
    if (connection_.IsOpen() && name_ == portName && !lost_) {
        open_ = true;
        return true;
    }
    open_ = false;
    lost_ = false;
    lineRate_ = 0;
    name_.clear();
    problem_.clear();
    if (!ParseTcpAddress(portName, &address_, &problem_) || address_.scheme != scheme_) return false;
    if (!Connect()) return false;
    name_ = portName;
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
    return ApplyLine(lineBaud);
}

bool TcpSerialDevice::ApplyLine(int32_t baud) {
    lineRate_ = 0;
    telnet_->ForgetLine();
    if (!SendBytes(Rfc2217Stream::SetLine(static_cast<uint32_t>(baud)), kRateConfirmMs)) {
        if (!connection_.IsOpen()) NoteSendBroke();
        lost_ = true;
        return false;
    }
    const uint64_t start = NetworkClockUs();
    const uint32_t limit = kRateConfirmMs + allowance_.Ms();
    while (!telnet_->LineAnswered() && !telnet_->ComPortRefused() && connection_.IsOpen()) {
        const uint32_t spent = MsSince(start);
        if (spent >= limit || Pull(limit - spent) < 0) break;
    }
    // A server that closes now will not serve this line: say why (its own words when it gave some).
    if (!connection_.IsOpen()) {
        lost_ = true;
        return false;
    }
    if (telnet_->ComPortRefused()) {
        problem_ = "o servidor não aceita mudar a taxa da linha (opção COM-PORT do RFC 2217)";
        return false;
    }
    const ComPortLine& line = telnet_->Confirmed();
    if (line.baud == 0) {
        problem_ = "o servidor não confirmou a taxa de " + std::to_string(baud) + " bit/s (é um servidor RFC 2217?)";
        return false;
    }
    if (!telnet_->LineAnswered()) {
        problem_ = "o servidor não confirmou os bits de dados, a paridade e os bits de parada";
        return false;
    }
    problem_ = KeptSettingsText(static_cast<uint32_t>(baud), line);
    if (!problem_.empty()) return false;
    lineRate_ = baud;
    return true;
}

void TcpSerialDevice::Purge(bool receiveSide, bool transmitSide) {
    if (!IsOpen()) return;
    inFlight_ = false;  // the caller has done with the last exchange
    if (!connection_.IsOpen()) return;
    if (telnet_ && (receiveSide || transmitSide) &&
        !SendBytes(Rfc2217Stream::PurgeData(receiveSide, transmitSide), kRateConfirmMs)) {
        if (!connection_.IsOpen()) NoteSendBroke();
        return;
    }
    if (!receiveSide) return;
    // Whatever the server has already passed on belongs to an earlier exchange. The pull also
    // finds a connection the server closed meanwhile.
    const uint64_t start = NetworkClockUs();
    size_t dropped = 0;
    while (dropped < kPurgeBytes && MsSince(start) < kPurgeMs) {
        const long n = Pull(0);
        dropped += pending_.size();
        pending_.clear();
        if (n <= 0) break;
    }
    pending_.clear();
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
    const uint64_t tookUs = NetworkClockUs() - firstTryUs_;
    allowance_.NoteReplyDelay(tookUs > lineUs ? tookUs - lineUs : 0);
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
    // A try again of the request still unanswered keeps the time of the first: its reply may answer either.
    const bool again =
        awaitingReply_ && lastRequest_.size() == count && std::equal(bytes, bytes + count, lastRequest_.begin());
    inFlight_ = false;
    awaitingReply_ = false;
    for (bool reconnected = false;;) {
        // A close that came after the last purge (and what arrived with it) is found here, before
        // any byte of this request leaves.
        if (connection_.IsOpen() && Pull(0) > 0) pending_.clear();
        if (!connection_.IsOpen()) {
            // Once: a server that closes every new connection at once is not tried again and again.
            if (reconnected) lost_ = true;
            if (reconnected || !Reconnect()) return false;
            reconnected = true;
        }
        size_t handed = 0;
        const bool sent = SendBytes(out, limit, &handed);
        inFlight_ = handed > 0;
        if (sent) {
            sentAtUs_ = NetworkClockUs();
            if (!again) firstTryUs_ = sentAtUs_;
            lastRequest_.assign(bytes, bytes + count);
            replyBytes_ = 0;
            awaitingReply_ = true;
            return true;
        }
        if (connection_.IsOpen()) return false;  // stalled before any byte left: the request is not out
        NoteSendBroke();
        if (inFlight_ || lost_) return false;
    }
}

size_t TcpSerialDevice::Read(uint8_t* buffer, size_t maxCount) {
    if (!IsOpen() || maxCount == 0) return 0;
    const uint64_t start = NetworkClockUs();
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
        const uint64_t now = NetworkClockUs();
        if (now >= limitUs || !connection_.IsOpen()) break;
        const size_t before = pending_.size();
        if (Pull(static_cast<uint32_t>((limitUs - now + 999u) / 1000u)) < 0) break;
        if (pending_.size() > before) lastByteUs = NetworkClockUs();
    }
    return got;
}
