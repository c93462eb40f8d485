// The control channel's TCP side: a listener on 127.0.0.1 and any number of line-based clients.
#pragma once

#include <functional>
#include <poll.h>
#include <string>
#include <vector>

namespace orvisim {

class ControlServer {
public:
    using LineHandler = std::function<std::string(const std::string&)>;

    ControlServer() = default;
    ControlServer(const ControlServer&) = delete;
    ControlServer& operator=(const ControlServer&) = delete;
    ~ControlServer();

    // Listens on 127.0.0.1:port (0 = any free port).
    bool Listen(int port, std::string* error);
    int Port() const { return port_; }

    // Adds the descriptors to watch; Service must then get exactly those entries after poll().
    void AppendPollFds(std::vector<pollfd>& fds) const;
    void Service(const pollfd* fds, std::size_t count, const LineHandler& handler);

private:
    struct Client {
        int fd;
        std::string input;
        std::string output;
    };
    void Accept();
    // False when the client has gone.
    bool ReadFrom(Client& client, const LineHandler& handler);
    bool WriteTo(Client& client);

    int listener_ = -1;
    int port_ = 0;
    std::vector<Client> clients_;
};

}  // namespace orvisim
