// The TCP connection on POSIX sockets: non-blocking, every wait through poll with a bound.
#include "tcp_connection.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "network_problem.h"
#include "network_wait.h"

namespace {
using Clock = std::chrono::steady_clock;

// Connecting is looked at this often for Ctrl-C.
const int kCancelLookMs = 50;

int MsLeft(Clock::time_point deadline) {
    const long long ms = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return ms < 0 ? 0 : static_cast<int>(ms);
}

// Waits for events on fd until the deadline; a signal (Ctrl-C) does not end the wait early.
int PollUntil(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        pollfd entry{fd, events, 0};
        const int ready = poll(&entry, 1, MsLeft(deadline));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return ready;
        return entry.revents;
    }
}

std::string SocketProblem(int error) {
    switch (error) {
    case ECONNREFUSED: return NetworkProblemText(NetworkProblem::kRefused);
    case ETIMEDOUT: return NetworkProblemText(NetworkProblem::kTimedOut);
    case ENETUNREACH:
    case EHOSTUNREACH:
    case EHOSTDOWN: return NetworkProblemText(NetworkProblem::kUnreachable);
    case ECONNRESET:
    case EPIPE: return NetworkProblemText(NetworkProblem::kReset);
    case ECONNABORTED: return NetworkProblemText(NetworkProblem::kAborted);
    case ENETDOWN: return NetworkProblemText(NetworkProblem::kNetworkDown);
    case EADDRNOTAVAIL: return NetworkProblemText(NetworkProblem::kAddressUnavailable);
    case EACCES:
    case EPERM: return NetworkProblemText(NetworkProblem::kNotPermitted);
    case ENOBUFS:
    case ENOMEM:
    case EMFILE:
    case ENFILE: return NetworkProblemText(NetworkProblem::kNoResources);
    case EAFNOSUPPORT: return NetworkProblemText(NetworkProblem::kFamilyUnsupported);
    default: {
        char text[40];
        std::snprintf(text, sizeof text, "erro de rede %d do sistema", error);
        return text;
    }
    }
}

// What getaddrinfo said, and the list it gave (freed with the last owner: a lookup given up on
// finishes alone).
struct Resolution {
    int result = EAI_AGAIN;
    int error = 0;  // errno with EAI_SYSTEM
    addrinfo* found = nullptr;
    ~Resolution() {
        if (found) freeaddrinfo(found);
    }
};

std::string ResolutionProblem(const Resolution& resolution, const std::string& host) {
    switch (resolution.result) {
    case EAI_NONAME: return NameProblemText(NameProblem::kNotFound, host, 0);
#ifdef EAI_NODATA
    case EAI_NODATA:
#endif
#ifdef EAI_ADDRFAMILY
    case EAI_ADDRFAMILY:
#endif
        return NameProblemText(NameProblem::kNoAddress, host, 0);
    case EAI_AGAIN: return NameProblemText(NameProblem::kServerSilent, host, 0);
    case EAI_SYSTEM: return SocketProblem(resolution.error);
    default: return NameProblemText(NameProblem::kServerFailed, host, 0);
    }
}

// Connects one address within the deadline; 0 or the errno of the failure (ECANCELED for Ctrl-C).
int ConnectOne(int fd, const addrinfo* address, Clock::time_point deadline, CancelCheck cancelled) {
    if (connect(fd, address->ai_addr, address->ai_addrlen) == 0) return 0;
    if (errno != EINPROGRESS) return errno;
    int events = 0;
    while (events == 0) {
        if (cancelled && cancelled()) return ECANCELED;
        if (MsLeft(deadline) == 0) return ETIMEDOUT;
        events = PollUntil(fd, POLLOUT, std::min(deadline, Clock::now() + std::chrono::milliseconds(kCancelLookMs)));
    }
    int error = 0;
    socklen_t length = sizeof error;
    if (events < 0 || getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) return errno ? errno : EIO;
    return error;
}

// The error a failed socket holds (EPIPE when it holds none: it was closed).
int PendingError(int fd) {
    int error = 0;
    socklen_t length = sizeof error;
    if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error == 0) return EPIPE;
    return error;
}

void SetOptions(int fd) {
    // Requests are small and each waits for its reply: send them at once.
    const int on = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
    const int idle = kKeepaliveIdleSeconds, interval = kKeepaliveIntervalSeconds, probes = kKeepaliveProbes;
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof idle);
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof interval);
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &probes, sizeof probes);
}
}  // namespace

TcpConnection::TcpConnection() : socket_(-1) {}

TcpConnection::~TcpConnection() { Close(); }

bool TcpConnection::IsOpen() const { return socket_ >= 0; }

void TcpConnection::Close() {
    if (socket_ >= 0) close(static_cast<int>(socket_));
    socket_ = -1;
    leftover_.clear();
}

void TcpConnection::CloseKeepingWhatArrived() {
    uint8_t bytes[4096];
    ssize_t n = 0;
    while (leftover_.size() < sizeof bytes &&
           (n = recv(static_cast<int>(socket_), bytes, sizeof bytes, MSG_DONTWAIT)) > 0)
        leftover_.insert(leftover_.end(), bytes, bytes + n);
    std::vector<uint8_t> kept;
    kept.swap(leftover_);
    Close();
    leftover_.swap(kept);
}

bool TcpConnection::Connect(const std::string& host, uint16_t port, uint32_t timeoutMs, std::string* problem) {
    Close();
    problem_.clear();
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    char service[8];
    std::snprintf(service, sizeof service, "%u", static_cast<unsigned>(port));
    // The system's lookup has no bound of its own and a silent name server holds it for many
    // seconds: it runs aside, and is left to finish alone when the wait ends first.
    std::shared_ptr<Resolution> resolution = std::make_shared<Resolution>();
    const std::string name = host, serviceText = service;
    const BoundedWait lookup = RunBounded(
        [resolution, name, serviceText] {
            addrinfo hints{};
            hints.ai_family = AF_UNSPEC;
            hints.ai_socktype = SOCK_STREAM;
            resolution->result = getaddrinfo(name.c_str(), serviceText.c_str(), &hints, &resolution->found);
            resolution->error = errno;
        },
        timeoutMs, cancelled_);
    if (lookup == BoundedWait::kCancelled) {
        *problem = problem_ = "interrompido ao procurar o nome " + host;
        return false;
    }
    if (lookup == BoundedWait::kTimedOut) {
        *problem = problem_ = NameProblemText(NameProblem::kTimedOut, host, timeoutMs);
        return false;
    }
    if (resolution->result != 0 || !resolution->found) {
        *problem = problem_ = ResolutionProblem(*resolution, host);
        return false;
    }
    int error = 0;
    for (const addrinfo* address = resolution->found; address && socket_ < 0; address = address->ai_next) {
        const int fd = socket(address->ai_family, address->ai_socktype | SOCK_CLOEXEC, address->ai_protocol);
        if (fd < 0) {
            error = errno;
            continue;
        }
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
        error = ConnectOne(fd, address, deadline, cancelled_);
        if (error != 0) {
            close(fd);
            if (error == ECANCELED || error == ETIMEDOUT) break;
            continue;
        }
        SetOptions(fd);
        socket_ = fd;
    }
    if (socket_ < 0)
        *problem = problem_ = error == ECANCELED ? "interrompido ao conectar a " + host : SocketProblem(error);
    return socket_ >= 0;
}

bool TcpConnection::Send(const uint8_t* bytes, size_t count, uint32_t timeoutMs, size_t* handed) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    size_t sent = 0;
    while (socket_ >= 0 && sent < count) {
        // MSG_NOSIGNAL: a peer that has gone must give an error here, not kill the program.
        const ssize_t n = send(static_cast<int>(socket_), bytes + sent, count - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            const int events = PollUntil(static_cast<int>(socket_), POLLOUT, deadline);
            if (events == 0) {
                // Stalled. Nothing taken: the connection may still serve. Part taken: the peer
                // would read the rest of this frame as the start of the next one.
                if (sent > 0) {
                    problem_ = "o envio parou no meio de um quadro";
                    Close();
                }
                break;
            }
            if (events > 0 && !(events & (POLLERR | POLLHUP))) continue;
            problem_ = SocketProblem(PendingError(static_cast<int>(socket_)));
        } else {
            problem_ = SocketProblem(n < 0 ? errno : EPIPE);
        }
        CloseKeepingWhatArrived();
    }
    if (handed) *handed = sent;
    return socket_ >= 0 && sent == count;
}

long TcpConnection::Receive(uint8_t* buffer, size_t maxCount, uint32_t waitMs) {
    if (!leftover_.empty()) {
        const size_t n = std::min(maxCount, leftover_.size());
        std::memcpy(buffer, leftover_.data(), n);
        leftover_.erase(leftover_.begin(), leftover_.begin() + static_cast<long>(n));
        return static_cast<long>(n);
    }
    if (socket_ < 0) return -1;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        const ssize_t n = recv(static_cast<int>(socket_), buffer, maxCount, 0);
        if (n > 0) return static_cast<long>(n);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            const int events = PollUntil(static_cast<int>(socket_), POLLIN, deadline);
            if (events == 0) return 0;
            if (events > 0) continue;  // readable, closed or failed: the next recv tells which
        }
        // n == 0: the peer closed in order; otherwise the connection failed.
        if (n == 0)
            problem_.clear();
        else
            problem_ = SocketProblem(errno);
        Close();
        return -1;
    }
}
