// Debian's ser2net and the test's Modbus TCP gateway in front of orvi-sim's line, on loopback,
// for the native tests of orvictl's network ports. Each is a child of the test, stopped by it.
#pragma once
#include <string>
#include <vector>

#include <sys/types.h>

// A loopback TCP port nobody listens on right now (for a server that cannot report its own).
int FreeLoopbackPort();

// Who ser2net lets in while a client holds the port: nobody more (its default, which the README
// recommends), or the newcomer, who kicks the old one off.
enum class Ser2netUsers { kOne, kKickOldUser };

class RunningSer2net {
public:
    // ser2net with a configuration of its own in dir: a raw accepter and a telnet(rfc2217)
    // accepter, both in front of line at baud.
    RunningSer2net(const std::string& dir, const std::string& line, int baud, Ser2netUsers users = Ser2netUsers::kOne);
    ~RunningSer2net() { Stop(); }
    RunningSer2net(const RunningSer2net&) = delete;
    RunningSer2net& operator=(const RunningSer2net&) = delete;

    bool Started() const { return started_; }
    std::string RawUrl() const { return "tcp://127.0.0.1:" + std::to_string(rawPort_); }
    std::string Rfc2217Url() const { return "rfc2217://127.0.0.1:" + std::to_string(telnetPort_); }
    const std::string& Log() const { return log_; }
    void Stop();

private:
    pid_t pid_ = -1;
    int rawPort_ = 0, telnetPort_ = 0;
    bool started_ = false;
    std::string log_;
};

class RunningGateway {
public:
    // The gateway in front of line at baud; extra: more of its options (--reply-timeout MS, --private drop).
    RunningGateway(const std::string& dir, const std::string& line, int baud,
                   const std::vector<std::string>& extra = {});
    ~RunningGateway() { Stop(); }
    RunningGateway(const RunningGateway&) = delete;
    RunningGateway& operator=(const RunningGateway&) = delete;

    bool Started() const { return port_ > 0; }
    std::string Url() const { return "modbus-tcp://127.0.0.1:" + std::to_string(port_); }
    int Port() const { return port_; }
    // Ends it as a crash or a power cut would end it for its clients: the connection closes.
    void Stop();

private:
    pid_t pid_ = -1;
    int port_ = 0;
    std::string portFile_;
};
