// The real orvi-sim program on a pseudo-terminal for native tests: started, steered, stopped.
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <sys/types.h>

#include "sim_client.h"

// Polls for a condition until it holds or the limit passes (a bound against hangs, not a timing).
template <typename Condition>
bool WaitFor(Condition condition, std::chrono::milliseconds limit = std::chrono::milliseconds(5000)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

class RunningSim {
public:
    // orvi-sim with its line at DIR/com1, a control channel on a free port and the extra arguments
    // (for example {"--device", "2:4800"}). Started() tells whether it came up.
    explicit RunningSim(const std::vector<std::string>& extra);
    ~RunningSim();
    RunningSim(const RunningSim&) = delete;
    RunningSim& operator=(const RunningSim&) = delete;

    bool Started() const { return control_ && control_->Connected(); }
    const std::string& Link() const { return link_; }
    const std::string& Dir() const { return dir_; }
    int ControlPort() const { return port_; }
    SimClient& Control() { return *control_; }

    // SIGTERM and wait; true when it exited with 0 and removed its link. Called by the destructor too.
    bool Stop();

private:
    std::string dir_, link_, portFile_;
    pid_t pid_ = -1;
    int port_ = 0;
    std::unique_ptr<SimClient> control_;
};
