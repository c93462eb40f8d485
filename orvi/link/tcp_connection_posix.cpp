// The TCP connection on POSIX sockets: non-blocking, every wait through poll with a bound.
#include "tcp_connection.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
using Clock = std::chrono::steady_clock;

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

// Connects one address within the deadline; 0 or the errno of the failure.
int ConnectOne(int fd, const addrinfo* address, Clock::time_point deadline) {
    if (connect(fd, address->ai_addr, address->ai_addrlen) == 0) return 0;
    if (errno != EINPROGRESS) return errno;
    const int events = PollUntil(fd, POLLOUT, deadline);
    if (events == 0) return ETIMEDOUT;
    int error = 0;
    socklen_t length = sizeof error;
    if (events < 0 || getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) return errno ? errno : EIO;
    return error;
}

std::string ConnectProblem(int error) {
    switch (error) {
    case ECONNREFUSED: return "a conexão foi recusada (nada escuta nessa porta)";
    case ETIMEDOUT: return "não houve resposta no tempo de espera";
    case ENETUNREACH:
    case EHOSTUNREACH: return "o endereço não pode ser alcançado";
    default: return std::strerror(error);
    }
}
}  // namespace

TcpConnection::TcpConnection() : socket_(-1) {}

TcpConnection::~TcpConnection() { Close(); }

bool TcpConnection::IsOpen() const { return socket_ >= 0; }

void TcpConnection::Close() {
    if (socket_ >= 0) close(static_cast<int>(socket_));
    socket_ = -1;
}

bool TcpConnection::Connect(const std::string& host, uint16_t port, uint32_t timeoutMs, std::string* problem) {
    Close();
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    char service[8];
    std::snprintf(service, sizeof service, "%u", static_cast<unsigned>(port));
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), service, &hints, &found) != 0 || !found) {
        *problem = "o nome " + host + " não foi encontrado";
        return false;
    }
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    int error = ECONNREFUSED;
    for (const addrinfo* address = found; address && socket_ < 0; address = address->ai_next) {
        const int fd = socket(address->ai_family, address->ai_socktype | SOCK_CLOEXEC, address->ai_protocol);
        if (fd < 0) continue;
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
        error = ConnectOne(fd, address, deadline);
        if (error != 0) {
            close(fd);
            continue;
        }
        // Requests are small and each waits for its reply: send them at once.
        const int on = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        socket_ = fd;
    }
    freeaddrinfo(found);
    if (socket_ < 0) *problem = ConnectProblem(error);
    return socket_ >= 0;
}

bool TcpConnection::Send(const uint8_t* bytes, size_t count, uint32_t timeoutMs) {
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
            if (events == 0) return false;  // stalled, but not known to be gone
            if (events > 0 && !(events & (POLLERR | POLLHUP))) continue;
        }
        Close();
    }
    return socket_ >= 0 && sent == count;
}

long TcpConnection::Receive(uint8_t* buffer, size_t maxCount, uint32_t waitMs) {
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
        Close();  // n == 0: the peer closed; otherwise the connection failed
        return -1;
    }
}
