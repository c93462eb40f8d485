// The TCP connection on Winsock: non-blocking, every wait through select with a bound.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <mstcpip.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "network_problem.h"
#include "network_wait.h"
#include "tcp_connection.h"
#include "ui_text.h"

namespace {
const intptr_t kNoSocket = static_cast<intptr_t>(INVALID_SOCKET);

// Connecting is looked at this often for Ctrl-C.
const DWORD kCancelLookMs = 50;

// Winsock is started once for the process and left running until it ends.
bool StartWinsock() {
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

SOCKET Handle(intptr_t socket) { return static_cast<SOCKET>(socket); }

DWORD MsLeft(ULONGLONG deadline) {
    const ULONGLONG now = GetTickCount64();
    return deadline > now ? static_cast<DWORD>(deadline - now) : 0;
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

// The system's own text of an error, in Portuguese where the system has it, in its own language
// otherwise; "" when it has none.
std::string SystemText(int error) {
    const DWORD languages[] = {MAKELANGID(LANG_PORTUGUESE, SUBLANG_PORTUGUESE_BRAZILIAN), 0};
    for (DWORD language : languages) {
        wchar_t* text = nullptr;
        const DWORD length =
            FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, static_cast<DWORD>(error), language, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
        if (length == 0 || !text) continue;
        std::string result = Text1252FromWide(text);
        LocalFree(text);
        while (!result.empty() &&
               (result.back() == '\r' || result.back() == '\n' || result.back() == '.' || result.back() == ' '))
            result.pop_back();
        return result;
    }
    return "";
}

std::string SocketProblem(int error) {
    switch (error) {
    case WSAECONNREFUSED: return NetworkProblemText(NetworkProblem::kRefused);
    case WSAETIMEDOUT: return NetworkProblemText(NetworkProblem::kTimedOut);
    case WSAENETUNREACH:
    case WSAEHOSTUNREACH:
    case WSAEHOSTDOWN: return NetworkProblemText(NetworkProblem::kUnreachable);
    case WSAECONNRESET:
    case WSAENETRESET:
    case WSAESHUTDOWN: return NetworkProblemText(NetworkProblem::kReset);
    case WSAECONNABORTED: return NetworkProblemText(NetworkProblem::kAborted);
    case WSAENETDOWN: return NetworkProblemText(NetworkProblem::kNetworkDown);
    case WSAEADDRNOTAVAIL: return NetworkProblemText(NetworkProblem::kAddressUnavailable);
    case WSAEACCES: return NetworkProblemText(NetworkProblem::kNotPermitted);
    case WSAENOBUFS:
    case WSAEMFILE:
    case WSA_NOT_ENOUGH_MEMORY: return NetworkProblemText(NetworkProblem::kNoResources);
    case WSAEAFNOSUPPORT: return NetworkProblemText(NetworkProblem::kFamilyUnsupported);
    default: {
        char code[32];
        std::snprintf(code, sizeof code, "erro de rede %d", error);
        const std::string text = SystemText(error);
        return text.empty() ? std::string(code) : text + " (" + code + ")";
    }
    }
}

// What GetAddrInfoW said, and the list it gave (freed with the last owner: a lookup given up on
// finishes alone).
struct Resolution {
    int result = WSATRY_AGAIN;
    ADDRINFOW* found = nullptr;
    ~Resolution() {
        if (found) FreeAddrInfoW(found);
    }
};

std::string ResolutionProblem(int result, const std::string& host) {
    switch (result) {
    case WSAHOST_NOT_FOUND: return NameProblemText(NameProblem::kNotFound, host, 0);
    case WSANO_DATA: return NameProblemText(NameProblem::kNoAddress, host, 0);
    case WSATRY_AGAIN: return NameProblemText(NameProblem::kServerSilent, host, 0);
    case WSANO_RECOVERY: return NameProblemText(NameProblem::kServerFailed, host, 0);
    default: return SocketProblem(result);
    }
}

// The socket error a failed connect or a failed socket holds.
int PendingError(SOCKET s, int otherwise) {
    int error = 0;
    int length = sizeof error;
    if (getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) != 0 || error == 0)
        return otherwise;
    return error;
}

// Connects one address within the deadline; 0 or the Winsock error (WSAEINTR for Ctrl-C).
int ConnectOne(SOCKET s, const ADDRINFOW* address, ULONGLONG deadline, CancelCheck cancelled) {
    if (connect(s, address->ai_addr, static_cast<int>(address->ai_addrlen)) == 0) return 0;
    const int error = WSAGetLastError();
    if (error != WSAEWOULDBLOCK) return error;
    for (;;) {
        if (cancelled && cancelled()) return WSAEINTR;
        const DWORD left = MsLeft(deadline);
        if (left == 0) return WSAETIMEDOUT;
        const int ready = SelectOne(s, false, true, true, left < kCancelLookMs ? left : kCancelLookMs);
        if (ready > 0) return 0;
        // The socket holds why; "refused" is said only when it says so.
        if (ready < 0) return PendingError(s, WSAECONNABORTED);
    }
}

void SetOptions(SOCKET s) {
    // Requests are small and each waits for its reply: send them at once.
    const BOOL on = TRUE;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
    setsockopt(s, SOL_SOCKET, SO_KEEPALIVE, reinterpret_cast<const char*>(&on), sizeof on);
    // The probe count is the system's own (ten since Vista); the idle time and interval are ours.
    tcp_keepalive values;
    values.onoff = 1;
    values.keepalivetime = kKeepaliveIdleSeconds * 1000u;
    values.keepaliveinterval = kKeepaliveIntervalSeconds * 1000u;
    DWORD returned = 0;
    WSAIoctl(s, SIO_KEEPALIVE_VALS, &values, sizeof values, nullptr, 0, &returned, nullptr, nullptr);
}
}  // namespace

TcpConnection::TcpConnection() : socket_(kNoSocket) {}

TcpConnection::~TcpConnection() { Close(); }

bool TcpConnection::IsOpen() const { return socket_ != kNoSocket; }

void TcpConnection::Close() {
    if (socket_ != kNoSocket) closesocket(Handle(socket_));
    socket_ = kNoSocket;
    leftover_.clear();
}

void TcpConnection::CloseKeepingWhatArrived() {
    char bytes[4096];
    int n = 0;
    while (leftover_.size() < sizeof bytes && (n = recv(Handle(socket_), bytes, sizeof bytes, 0)) > 0)
        leftover_.insert(leftover_.end(), bytes, bytes + n);
    std::vector<uint8_t> kept;
    kept.swap(leftover_);
    Close();
    leftover_.swap(kept);
}

bool TcpConnection::Connect(const std::string& host, uint16_t port, uint32_t timeoutMs, std::string* problem) {
    Close();
    problem_.clear();
    if (!StartWinsock()) {
        *problem = problem_ = "a rede do Windows (Winsock) não iniciou";
        return false;
    }
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    // The host name is the user's (UTF-8): Windows gets it as UTF-16. The lookup has no bound that
    // every supported Windows honours, so it runs aside and is left to finish alone when the wait
    // ends first.
    std::shared_ptr<Resolution> resolution = std::make_shared<Resolution>();
    const std::wstring name = WideFromUtf8(host), service = std::to_wstring(static_cast<unsigned>(port));
    const BoundedWait lookup = RunBounded(
        [resolution, name, service] {
            ADDRINFOW hints{};
            hints.ai_family = AF_UNSPEC;
            hints.ai_socktype = SOCK_STREAM;
            hints.ai_protocol = IPPROTO_TCP;
            resolution->result = GetAddrInfoW(name.c_str(), service.c_str(), &hints, &resolution->found);
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
        *problem = problem_ = ResolutionProblem(resolution->result, host);
        return false;
    }
    int error = 0;
    for (const ADDRINFOW* address = resolution->found; address && socket_ == kNoSocket; address = address->ai_next) {
        const SOCKET s = socket(address->ai_family, address->ai_socktype, address->ai_protocol);
        if (s == INVALID_SOCKET) {
            error = WSAGetLastError();
            continue;
        }
        u_long nonBlocking = 1;
        ioctlsocket(s, FIONBIO, &nonBlocking);
        error = ConnectOne(s, address, deadline, cancelled_);
        if (error != 0) {
            closesocket(s);
            if (error == WSAEINTR || error == WSAETIMEDOUT) break;
            continue;
        }
        SetOptions(s);
        socket_ = static_cast<intptr_t>(s);
    }
    if (socket_ == kNoSocket)
        *problem = problem_ = error == WSAEINTR ? "interrompido ao conectar a " + host : SocketProblem(error);
    return socket_ != kNoSocket;
}

bool TcpConnection::Send(const uint8_t* bytes, size_t count, uint32_t timeoutMs, size_t* handed) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    size_t sent = 0;
    while (socket_ != kNoSocket && sent < count) {
        const int n =
            send(Handle(socket_), reinterpret_cast<const char*>(bytes + sent), static_cast<int>(count - sent), 0);
        if (n > 0) {
            sent += static_cast<size_t>(n);
            continue;
        }
        const int error = n == SOCKET_ERROR ? WSAGetLastError() : WSAECONNRESET;
        if (error == WSAEWOULDBLOCK) {
            const int ready = SelectOne(Handle(socket_), false, true, true, MsLeft(deadline));
            if (ready == 0) {
                // Stalled. Nothing taken: the connection may still serve. Part taken: the peer
                // would read the rest of this frame as the start of the next one.
                if (sent > 0) {
                    problem_ = "o envio parou no meio de um quadro";
                    Close();
                }
                break;
            }
            if (ready > 0) continue;
            problem_ = SocketProblem(PendingError(Handle(socket_), WSAECONNRESET));
        } else {
            problem_ = SocketProblem(error);
        }
        CloseKeepingWhatArrived();
    }
    if (handed) *handed = sent;
    return socket_ != kNoSocket && sent == count;
}

long TcpConnection::Receive(uint8_t* buffer, size_t maxCount, uint32_t waitMs) {
    if (!leftover_.empty()) {
        const size_t n = maxCount < leftover_.size() ? maxCount : leftover_.size();
        std::memcpy(buffer, leftover_.data(), n);
        leftover_.erase(leftover_.begin(), leftover_.begin() + static_cast<long>(n));
        return static_cast<long>(n);
    }
    if (socket_ == kNoSocket) return -1;
    const ULONGLONG deadline = GetTickCount64() + waitMs;
    for (;;) {
        const int n = recv(Handle(socket_), reinterpret_cast<char*>(buffer), static_cast<int>(maxCount), 0);
        if (n > 0) return n;
        const int error = n == 0 ? 0 : WSAGetLastError();
        if (error == WSAEWOULDBLOCK) {
            const int ready = SelectOne(Handle(socket_), true, false, true, MsLeft(deadline));
            if (ready == 0) return 0;
            if (ready > 0) continue;  // readable or closed: the next recv tells which
        }
        // 0: the peer closed in order; otherwise the connection failed.
        if (n == 0)
            problem_.clear();
        else
            problem_ = SocketProblem(error == WSAEWOULDBLOCK ? PendingError(Handle(socket_), WSAECONNRESET) : error);
        Close();
        return -1;
    }
}
