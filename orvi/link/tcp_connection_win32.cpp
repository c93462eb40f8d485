// The TCP connection on Winsock: non-blocking, every wait through select with a bound.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdio>

#include "tcp_connection.h"

namespace {
const intptr_t kNoSocket = static_cast<intptr_t>(INVALID_SOCKET);

// Winsock is started once for the process and left running until it ends.
bool StartWinsock() {
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

SOCKET Handle(intptr_t socket) { return static_cast<SOCKET>(socket); }

DWORD MsLeft(DWORD deadline) {
    const DWORD now = GetTickCount();
    return static_cast<LONG>(deadline - now) > 0 ? deadline - now : 0;
}

// select on one socket for at most ms; > 0 ready, 0 time-out, < 0 failure. A failed non-blocking
// connect shows in the exception set, not the write set.
int SelectOne(SOCKET s, bool read, bool write, bool except, DWORD ms) {
    fd_set readSet, writeSet, exceptSet;
    FD_ZERO(&readSet);
    FD_ZERO(&writeSet);
    FD_ZERO(&exceptSet);
    if (read) FD_SET(s, &readSet);
    if (write) FD_SET(s, &writeSet);
    if (except) FD_SET(s, &exceptSet);
    timeval wait;
    wait.tv_sec = static_cast<long>(ms / 1000);
    wait.tv_usec = static_cast<long>((ms % 1000) * 1000);
    const int ready =
        select(0, read ? &readSet : nullptr, write ? &writeSet : nullptr, except ? &exceptSet : nullptr, &wait);
    if (ready <= 0) return ready == 0 ? 0 : -1;
    if (except && FD_ISSET(s, &exceptSet)) return -1;
    return 1;
}

std::string ConnectProblem(int error) {
    switch (error) {
    case WSAECONNREFUSED: return "a conexão foi recusada (nada escuta nessa porta)";
    case WSAETIMEDOUT: return "não houve resposta no tempo de espera";
    case WSAENETUNREACH:
    case WSAEHOSTUNREACH: return "o endereço não pode ser alcançado";
    default: {
        char text[48];
        std::snprintf(text, sizeof text, "erro de rede %d", error);
        return text;
    }
    }
}
}  // namespace

TcpConnection::TcpConnection() : socket_(kNoSocket) {}

TcpConnection::~TcpConnection() { Close(); }

bool TcpConnection::IsOpen() const { return socket_ != kNoSocket; }

void TcpConnection::Close() {
    if (socket_ != kNoSocket) closesocket(Handle(socket_));
    socket_ = kNoSocket;
}

bool TcpConnection::Connect(const std::string& host, uint16_t port, uint32_t timeoutMs, std::string* problem) {
    Close();
    if (!StartWinsock()) {
        *problem = "a rede do Windows (Winsock) não iniciou";
        return false;
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    char service[8];
    std::snprintf(service, sizeof service, "%u", static_cast<unsigned>(port));
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), service, &hints, &found) != 0 || !found) {
        *problem = "o nome " + host + " não foi encontrado";
        return false;
    }
    const DWORD deadline = GetTickCount() + timeoutMs;
    int error = WSAECONNREFUSED;
    for (const addrinfo* address = found; address && socket_ == kNoSocket; address = address->ai_next) {
        const SOCKET s = socket(address->ai_family, address->ai_socktype, address->ai_protocol);
        if (s == INVALID_SOCKET) continue;
        u_long nonBlocking = 1;
        ioctlsocket(s, FIONBIO, &nonBlocking);
        error = 0;
        if (connect(s, address->ai_addr, static_cast<int>(address->ai_addrlen)) != 0) {
            error = WSAGetLastError();
            if (error == WSAEWOULDBLOCK) {
                const int ready = SelectOne(s, false, true, true, MsLeft(deadline));
                if (ready > 0) {
                    error = 0;
                } else if (ready == 0) {
                    error = WSAETIMEDOUT;
                } else {
                    int soError = 0;
                    int length = sizeof soError;
                    getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&soError), &length);
                    error = soError ? soError : WSAECONNREFUSED;
                }
            }
        }
        if (error != 0) {
            closesocket(s);
            continue;
        }
        // Requests are small and each waits for its reply: send them at once.
        const BOOL on = TRUE;
        setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
        socket_ = static_cast<intptr_t>(s);
    }
    freeaddrinfo(found);
    if (socket_ == kNoSocket) *problem = ConnectProblem(error);
    return socket_ != kNoSocket;
}

bool TcpConnection::Send(const uint8_t* bytes, size_t count, uint32_t timeoutMs) {
    const DWORD deadline = GetTickCount() + timeoutMs;
    size_t sent = 0;
    while (socket_ != kNoSocket && sent < count) {
        const int n =
            send(Handle(socket_), reinterpret_cast<const char*>(bytes + sent), static_cast<int>(count - sent), 0);
        if (n > 0) {
            sent += static_cast<size_t>(n);
            continue;
        }
        if (n == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK) {
            const int ready = SelectOne(Handle(socket_), false, true, true, MsLeft(deadline));
            if (ready == 0) return false;  // stalled, but not known to be gone
            if (ready > 0) continue;
        }
        Close();
    }
    return socket_ != kNoSocket && sent == count;
}

long TcpConnection::Receive(uint8_t* buffer, size_t maxCount, uint32_t waitMs) {
    if (socket_ == kNoSocket) return -1;
    const DWORD deadline = GetTickCount() + waitMs;
    for (;;) {
        const int n = recv(Handle(socket_), reinterpret_cast<char*>(buffer), static_cast<int>(maxCount), 0);
        if (n > 0) return n;
        if (n == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK) {
            const int ready = SelectOne(Handle(socket_), true, false, true, MsLeft(deadline));
            if (ready == 0) return 0;
            if (ready > 0) continue;  // readable or closed: the next recv tells which
        }
        Close();  // 0: the peer closed; otherwise the connection failed
        return -1;
    }
}
