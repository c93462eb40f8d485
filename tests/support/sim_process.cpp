// Starting and stopping orvi-sim for the native tests that use the real program.
#include "sim_process.h"

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

RunningSim::RunningSim(const std::vector<std::string>& extra) {
    char pattern[] = "/tmp/orvi-sim-test.XXXXXX";
    if (!mkdtemp(pattern)) return;
    dir_ = pattern;
    link_ = dir_ + "/com1";
    portFile_ = dir_ + "/control-port";
    std::vector<std::string> args = {ORVI_SIM_PATH, "--link",         link_,     "--control",
                                     "0",           "--control-file", portFile_, "--quiet"};
    args.insert(args.end(), extra.begin(), extra.end());
    pid_ = fork();
    if (pid_ == 0) {
        std::vector<char*> argv;
        for (std::string& arg : args) argv.push_back(&arg[0]);
        argv.push_back(nullptr);
        execv(ORVI_SIM_PATH, argv.data());
        _exit(127);
    }
    if (pid_ < 0) return;
    if (!WaitFor([this] { return access(portFile_.c_str(), R_OK) == 0 && access(link_.c_str(), F_OK) == 0; })) return;
    std::ifstream(portFile_) >> port_;
    control_.reset(new SimClient(port_));
}

RunningSim::~RunningSim() { Stop(); }

bool RunningSim::Stop() {
    control_.reset();
    bool clean = true;
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
        clean = WIFEXITED(status) && WEXITSTATUS(status) == 0;
        struct stat info {};
        clean = clean && lstat(link_.c_str(), &info) != 0;
        pid_ = -1;
    }
    if (!dir_.empty()) {
        unlink(portFile_.c_str());
        rmdir(dir_.c_str());
    }
    return clean;
}
