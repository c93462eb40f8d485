// Starting and stopping ser2net and the Modbus TCP gateway for the network tests.
#include "network_fixture.h"

#include <csignal>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include "sim_process.h"

namespace {
const char kSer2net[] = "/usr/sbin/ser2net";

pid_t Spawn(std::vector<std::string> args, const std::string& logPath) {
    const pid_t pid = fork();
    if (pid == 0) {
        std::FILE* log = std::fopen(logPath.c_str(), "w");
        if (log) {
            dup2(fileno(log), 1);
            dup2(fileno(log), 2);
        }
        std::vector<char*> argv;
        for (std::string& arg : args) argv.push_back(&arg[0]);
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    return pid;
}

// Listening on the loopback port, read from the kernel's table: a test connection would make
// ser2net open the line and hold it a moment after, in the way of the next client.
bool Listening(int port) {
    std::ifstream table("/proc/net/tcp");
    char wanted[16];
    std::snprintf(wanted, sizeof wanted, ":%04X", port);
    std::string line;
    std::getline(table, line);  // headings
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string slot, local, remote, state;
        fields >> slot >> local >> remote >> state;
        if (state == "0A" && local.size() > 5 && local.compare(local.size() - 5, 5, wanted) == 0) return true;
    }
    return false;
}

bool Running(pid_t pid) {
    int status = 0;
    return pid > 0 && waitpid(pid, &status, WNOHANG) == 0;
}

void Terminate(pid_t* pid) {
    if (*pid <= 0) return;
    kill(*pid, SIGTERM);
    int status = 0;
    waitpid(*pid, &status, 0);
    *pid = -1;
}
}  // namespace

int FreeLoopbackPort() {
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    int port = 0;
    if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(s, reinterpret_cast<sockaddr*>(&address), &size) == 0)
        port = ntohs(address.sin_port);
    close(s);
    return port;
}

RunningSer2net::RunningSer2net(const std::string& dir, const std::string& line, int baud, Ser2netUsers users) {
    rawPort_ = FreeLoopbackPort();
    telnetPort_ = FreeLoopbackPort();
    const std::string config = dir + "/ser2net.yaml";
    const std::string connector = "serialdev," + line + "," + std::to_string(baud) + "n81,local";
    const std::string options = std::string("\n  options:\n    kickolduser: ") +
                                (users == Ser2netUsers::kKickOldUser ? "true" : "false") + "\n";
    std::ofstream(config) << "%YAML 1.1\n---\n"
                          << "connection: &raw\n  accepter: tcp,127.0.0.1," << rawPort_
                          << "\n  connector: " << connector << options
                          << "connection: &rfc2217\n  accepter: telnet(rfc2217),tcp,127.0.0.1," << telnetPort_
                          << "\n  connector: " << connector << options;
    log_ = dir + "/ser2net.log";
    pid_ = Spawn({kSer2net, "-n", "-u", "-c", config, "-P", dir + "/ser2net.pid"}, log_);
    started_ =
        WaitFor([this] { return !Running(pid_) || (Listening(rawPort_) && Listening(telnetPort_)); }) && Running(pid_);
}

void RunningSer2net::Stop() { Terminate(&pid_); }

RunningGateway::RunningGateway(const std::string& dir, const std::string& line, int baud,
                               const std::vector<std::string>& extra) {
#ifdef MODBUS_GATEWAY_PATH
    portFile_ = dir + "/gateway-port";
    std::vector<std::string> args = {MODBUS_GATEWAY_PATH,  "--line",      line,     "--baud",
                                     std::to_string(baud), "--port-file", portFile_};
    args.insert(args.end(), extra.begin(), extra.end());
    pid_ = Spawn(args, dir + "/gateway.log");
    if (WaitFor([this] { return !Running(pid_) || access(portFile_.c_str(), R_OK) == 0; }) && Running(pid_))
        std::ifstream(portFile_) >> port_;
#else
    (void)dir, (void)line, (void)baud, (void)extra;  // libmodbus was missing when the tests were built
#endif
}

void RunningGateway::Stop() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
    }
    if (!portFile_.empty()) unlink(portFile_.c_str());
}
