// Non-blocking TCP handling of the control channel: each received line gets its reply queued.
#include "control_server.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace orvisim {

namespace {
// A client that sends this much without a newline is not speaking the protocol.
constexpr std::size_t kMaxLine = 4096;

void MakeNonBlocking(int fd) { fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK); }
}  // namespace

ControlServer::~ControlServer() {
    for (const Client& client : clients_) close(client.fd);
    if (listener_ >= 0) close(listener_);
}

bool ControlServer::Listen(int port, std::string* error) {
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    if (listener_ < 0) {
        *error = std::string("socket: ") + std::strerror(errno);
        return false;
    }
    const int yes = 1;
    setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listener_, 16) != 0) {
        *error = "control port " + std::to_string(port) + ": " + std::strerror(errno);
        return false;
    }
    socklen_t length = sizeof address;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    MakeNonBlocking(listener_);
    return true;
}

void ControlServer::AppendPollFds(std::vector<pollfd>& fds) const {
    if (listener_ < 0) return;
    fds.push_back({listener_, POLLIN, 0});
    for (const Client& client : clients_) {
        const short events = static_cast<short>(POLLIN | (client.output.empty() ? 0 : POLLOUT));
        fds.push_back({client.fd, events, 0});
    }
}

void ControlServer::Service(const pollfd* fds, std::size_t count, const LineHandler& handler) {
    if (listener_ < 0 || count == 0) return;
    // Clients accepted now were not polled: handle only those that were, by position.
    std::vector<Client> kept;
    for (std::size_t i = 1; i < count && i - 1 < clients_.size(); ++i) {
        Client& client = clients_[i - 1];
        bool alive = true;
        if (fds[i].revents & (POLLIN | POLLHUP | POLLERR)) alive = ReadFrom(client, handler);
        if (alive && !client.output.empty()) alive = WriteTo(client);
        if (alive) {
            kept.push_back(std::move(client));
        } else {
            close(client.fd);
        }
    }
    clients_ = std::move(kept);
    if (fds[0].revents & POLLIN) Accept();
}

void ControlServer::Accept() {
    for (;;) {
        const int fd = accept(listener_, nullptr, nullptr);
        if (fd < 0) return;
        MakeNonBlocking(fd);
        clients_.push_back({fd, std::string(), std::string()});
    }
}

bool ControlServer::ReadFrom(Client& client, const LineHandler& handler) {
    char buffer[1024];
    const ssize_t n = read(client.fd, buffer, sizeof buffer);
    if (n == 0) return false;
    if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    client.input.append(buffer, static_cast<std::size_t>(n));
    std::size_t newline;
    while ((newline = client.input.find('\n')) != std::string::npos) {
        std::string line = client.input.substr(0, newline);
        client.input.erase(0, newline + 1);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        client.output += handler(line) + "\n";
    }
    return client.input.size() <= kMaxLine;
}

bool ControlServer::WriteTo(Client& client) {
    const ssize_t n = send(client.fd, client.output.data(), client.output.size(), MSG_NOSIGNAL);
    if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    client.output.erase(0, static_cast<std::size_t>(n));
    return true;
}

}  // namespace orvisim
