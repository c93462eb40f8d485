// The real orvictl program against the real orvi-sim on a pseudo-terminal: the fixture that starts both
// and the small text helpers its tests share.
#pragma once
#include <gtest/gtest.h>

#include <fcntl.h>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "sim_process.h"

struct CtlRun {
    int code;
    std::string out;
    std::string err;
};

inline std::string ReadWhole(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

inline void WriteWhole(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

inline std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream in(line);
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

class Orvictl : public ::testing::Test {
protected:
    void Start(const std::vector<std::string>& extra = {}) {
        sim_.reset(new RunningSim(extra));
        ASSERT_TRUE(sim_->Started()) << "orvi-sim did not come up";
        // The journal of every write goes beside the line, never into the home of whoever runs the tests.
        setenv("XDG_STATE_HOME", sim_->Dir().c_str(), 1);
    }

    void TearDown() override {
        if (sim_) {
            EXPECT_TRUE(sim_->Stop());
        }
    }

    std::string Path(const std::string& name) const { return sim_->Dir() + "/" + name; }

    // orvictl with its output in files; the caller waits for it.
    pid_t Launch(std::vector<std::string> args) {
        args.insert(args.begin(), ORVICTL_PATH);
        const std::string out = Path("out"), err = Path("err");
        const pid_t pid = fork();
        if (pid == 0) {
            const int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            const int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            dup2(o, 1);
            dup2(e, 2);
            // A disk that fills up: a write past the limit fails with EFBIG instead of ending the program.
            if (fileSizeLimit_ != 0) {
                std::signal(SIGXFSZ, SIG_IGN);
                const rlimit limit = {fileSizeLimit_, fileSizeLimit_};
                setrlimit(RLIMIT_FSIZE, &limit);
            }
            std::vector<char*> argv;
            for (std::string& arg : args) argv.push_back(&arg[0]);
            argv.push_back(nullptr);
            execv(ORVICTL_PATH, argv.data());
            _exit(127);
        }
        return pid;
    }

    CtlRun Finish(pid_t pid) {
        int status = 0;
        waitpid(pid, &status, 0);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadWhole(Path("out")), ReadWhole(Path("err"))};
    }

    CtlRun Run(const std::vector<std::string>& args) { return Finish(Launch(args)); }

    // Registers written with function 6 at an address, in the order they reached the line.
    std::vector<int> WrittenRegisters(int address) {
        std::vector<int> registers;
        for (const std::string& frame : sim_->Control().Log())
            if (std::stoi(frame.substr(0, 2), nullptr, 16) == address && frame.substr(2, 2) == "06")
                registers.push_back(std::stoi(frame.substr(4, 4), nullptr, 16));
        return registers;
    }

    std::unique_ptr<RunningSim> sim_;
    rlim_t fileSizeLimit_ = 0;  // bytes a launched orvictl may write to one file; 0: no limit
};
