// Line-based TCP client of orvi-sim's control channel, over Winsock on Windows and BSD sockets elsewhere.
#include "sim_client.h"

#include <cstdlib>
#include <sstream>
#include <stdexcept>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
using SocketHandle = SOCKET;
namespace {
const long long kNoSocket = static_cast<long long>(INVALID_SOCKET);
void CloseSocket(SocketHandle s) { closesocket(s); }
// Winsock needs starting once per process; tests create many clients, so start it on first use.
bool StartSockets() {
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}
void SetReceiveTimeout(SocketHandle s, int ms) {
    const DWORD timeout = static_cast<DWORD>(ms);
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
}
}  // namespace
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>
using SocketHandle = int;
namespace {
const long long kNoSocket = -1;
void CloseSocket(SocketHandle s) { close(s); }
bool StartSockets() { return true; }
void SetReceiveTimeout(SocketHandle s, int ms) {
    timeval timeout{};
    timeout.tv_sec = ms / 1000;
    timeout.tv_usec = (ms % 1000) * 1000;
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
}
}  // namespace
#endif

namespace {
// Far above any reply time of the simulator, which answers commands at once.
const int kReplyTimeoutMs = 5000;

SocketHandle Handle(long long socket) { return static_cast<SocketHandle>(socket); }
}  // namespace

SimClient::SimClient(int port) : socket_(kNoSocket) {
    if (!StartSockets() || port <= 0 || port > 65535) return;
    const SocketHandle s = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (static_cast<long long>(s) == kNoSocket) return;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<unsigned short>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        CloseSocket(s);
        return;
    }
    SetReceiveTimeout(s, kReplyTimeoutMs);
    socket_ = static_cast<long long>(s);
}

SimClient::~SimClient() {
    if (Connected()) CloseSocket(Handle(socket_));
}

bool SimClient::Connected() const { return socket_ != kNoSocket; }

std::string SimClient::Command(const std::string& line) {
    if (!Connected()) return std::string();
    const std::string out = line + "\n";
    std::size_t sent = 0;
    while (sent < out.size()) {
        const int n = ::send(Handle(socket_), out.data() + sent, static_cast<int>(out.size() - sent), 0);
        if (n <= 0) return std::string();
        sent += static_cast<std::size_t>(n);
    }
    std::size_t newline;
    while ((newline = pending_.find('\n')) == std::string::npos) {
        char buffer[4096];
        const int n = ::recv(Handle(socket_), buffer, static_cast<int>(sizeof buffer), 0);
        if (n <= 0) return std::string();
        pending_.append(buffer, static_cast<std::size_t>(n));
    }
    std::string reply = pending_.substr(0, newline);
    pending_.erase(0, newline + 1);
    if (!reply.empty() && reply.back() == '\r') reply.pop_back();
    return reply;
}

std::string SimClient::Expect(const std::string& line) {
    const std::string reply = Command(line);
    if (reply == "OK") return std::string();
    if (reply.compare(0, 3, "OK ") == 0) return reply.substr(3);
    throw std::runtime_error("orvi-sim: '" + line + "' answered '" + reply + "'");
}

int SimClient::Get(int addr, int reg) {
    return std::atoi(Expect("get " + std::to_string(addr) + " " + std::to_string(reg)).c_str());
}

void SimClient::Set(int addr, int reg, int value) {
    Expect("set " + std::to_string(addr) + " " + std::to_string(reg) + " " + std::to_string(value));
}

int SimClient::GetPrivate(int addr, int n) {
    return std::atoi(Expect("getp " + std::to_string(addr) + " " + std::to_string(n)).c_str());
}

void SimClient::SetPrivate(int addr, int n, int value) {
    Expect("setp " + std::to_string(addr) + " " + std::to_string(n) + " " + std::to_string(value));
}

void SimClient::Fault(int addr, const std::string& mode, int count) {
    std::string line = "fault " + std::to_string(addr) + " " + mode;
    if (count >= 0) line += " " + std::to_string(count);
    Expect(line);
}

void SimClient::Reset() { Expect("reset"); }

std::vector<std::string> SimClient::Log() {
    std::istringstream frames(Expect("log"));
    std::vector<std::string> log;
    std::string frame;
    while (frames >> frame) log.push_back(frame);
    return log;
}

void SimClient::ClearLog() { Expect("clearlog"); }

int SimControlPortFromEnv(const char* var) {
    const char* text = std::getenv(var);
    if (text == nullptr || *text == '\0') return 0;
    char* end = nullptr;
    const long port = std::strtol(text, &end, 10);
    if (*end != '\0' || port <= 0 || port > 65535) return 0;
    return static_cast<int>(port);
}
